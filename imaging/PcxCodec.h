// imaging/PcxCodec.h — PCX pictures: 1-, 2-, 4- and 8-bit palette pictures and 24-bit pictures,
// run-length encoded or raw.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

namespace plovane {

// A 32-bit picture, or a null image with the reason in *error. Sizes are checked against
// maxPixels and against the length of the data before anything is allocated.
QImage ReadPcx(const QByteArray& data, qint64 maxPixels, QString* error);

// A 24-bit run-length encoded PCX file of the picture (which must not be empty).
QByteArray WritePcx(const QImage& picture);

}  // namespace plovane
