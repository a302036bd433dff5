// imaging/BmpWriter.h — Windows bitmap files in the picture's own depth.
#pragma once
#include <QByteArray>
#include <QImage>

namespace plovane {

// A bottom-up, uncompressed BMP: 32 bits per pixel (all four bytes as they are) for a 32-bit
// picture, else 24 bits. Empty when the picture is empty or too large for the format.
QByteArray WriteBmp(const QImage& picture);

}  // namespace plovane
