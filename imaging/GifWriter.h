// imaging/GifWriter.h — GIF files through giflib, reduced to at most 256 colours.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

namespace plovane {

// The GIF file of the picture, or an empty array with giflib's reason in *error.
QByteArray WriteGif(const QImage& picture, QString* error);

}  // namespace plovane
