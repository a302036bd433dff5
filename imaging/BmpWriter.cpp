#include "imaging/BmpWriter.h"

#include <QtEndian>
#include <cstring>

namespace plovane {

QByteArray WriteBmp(const QImage& picture) {
    if (picture.isNull()) return {};
    const bool thirtyTwo = picture.depth() == 32;
    QImage pixels = picture;
    if (!thirtyTwo)
        pixels = picture.convertToFormat(QImage::Format_BGR888);
    else if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        pixels =
            picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    const int bitsPerPixel = thirtyTwo ? 32 : 24;
    const qint64 usedBytes = qint64(width) * bitsPerPixel / 8;
    const qint64 rowBytes = (usedBytes + 3) & ~qint64(3);
    const qint64 fileSize = 54 + rowBytes * height;
    if (fileSize > 0x7FFFFFFF) return {};

    QByteArray out(int(fileSize), '\0');
    auto* bytes = reinterpret_cast<uchar*>(out.data());
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileSize), bytes + 2);
    qToLittleEndian<quint32>(54, bytes + 10);
    qToLittleEndian<quint32>(40, bytes + 14);
    qToLittleEndian<qint32>(width, bytes + 18);
    qToLittleEndian<qint32>(height, bytes + 22);  // positive: rows stored bottom-up
    qToLittleEndian<quint16>(1, bytes + 26);
    qToLittleEndian<quint16>(quint16(bitsPerPixel), bytes + 28);
    qToLittleEndian<quint32>(quint32(rowBytes * height), bytes + 34);
    qToLittleEndian<qint32>(2835, bytes + 38);  // 72 dots per inch
    qToLittleEndian<qint32>(2835, bytes + 42);
    for (int y = 0; y < height; ++y)
        std::memcpy(bytes + 54 + rowBytes * (height - 1 - y), pixels.constScanLine(y),
                    std::size_t(usedBytes));
    return out;
}

}  // namespace plovane
