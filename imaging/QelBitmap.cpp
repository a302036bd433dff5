#include "imaging/QelBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include "imaging/BmpWriter.h"
#include "imaging/GifWriter.h"
#include "imaging/PcxCodec.h"
#include "platform/Errors.h"
#include "platform/FileTests.h"

namespace plovane {
namespace {

[[noreturn]] void CannotRead(const QString& fileName, const QString& why) {
    RaiseMessage(QStringLiteral("The picture file \"%1\" could not be read: %2").arg(fileName, why));
}

[[noreturn]] void CannotWrite(const QString& fileName, const QString& why) {
    RaiseMessage(QStringLiteral("The picture file \"%1\" could not be written: %2").arg(fileName, why));
}

QString Extension(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

void CheckPictureSize(const QString& fileName, qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) CannotRead(fileName, QStringLiteral("The picture has no pixels"));
    if (width * height > MaxPicturePixels)
        CannotRead(fileName,
                   QStringLiteral("The picture is too large (%1 x %2 pixels)").arg(width).arg(height));
}

QImage ReadPcxFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) CannotRead(fileName, file.errorString());
    // A PCX file never needs more than a header, four bytes per pixel and a palette.
    if (file.size() > MaxPicturePixels * 4 + 1024)
        CannotRead(fileName, QStringLiteral("The file is too large for a picture"));
    const QByteArray data = file.readAll();
    QString error;
    QImage picture = ReadPcx(data, MaxPicturePixels, &error);
    if (picture.isNull()) CannotRead(fileName, error);
    return picture;
}

// Qt's bitmap reader hands back a partly blank picture for a cut-off uncompressed file; the
// header tells how many bytes the pixels need, so a short file is refused instead.
bool IsTruncatedBitmap(QFile& file) {
    const QByteArray head = file.peek(54);
    if (head.size() < 54 || !head.startsWith("BM")) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    if (qFromLittleEndian<quint32>(bytes + 14) < 40) return false;  // old core headers: left to Qt
    const qint64 width = qFromLittleEndian<qint32>(bytes + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    const qint64 bits = qFromLittleEndian<quint16>(bytes + 28);
    const quint32 compression = qFromLittleEndian<quint32>(bytes + 30);
    if (compression != 0 && compression != 3) return false;  // run-length data has no fixed size
    if (width <= 0) return false;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const qint64 pixelBytes = file.size() - qFromLittleEndian<quint32>(bytes + 10);
    if (pixelBytes < 0) return true;
    // Compared by division: the product of a hostile width, depth and height does not fit 64 bits.
    return height > 0 && rowBytes > pixelBytes / height;
}

// Qt's readers refuse pictures above their own allocation limit with a vague message; while a
// picture is read the limit is the one checked here, with room for 32-bit pixels.
class ScopedReaderLimit {
public:
    ScopedReaderLimit() : Saved(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)));
    }
    ~ScopedReaderLimit() { QImageReader::setAllocationLimit(Saved); }
    ScopedReaderLimit(const ScopedReaderLimit&) = delete;
    ScopedReaderLimit& operator=(const ScopedReaderLimit&) = delete;

private:
    const int Saved;
};

QImage ReadPicture(const QString& fileName) {
    if (Extension(fileName) == QLatin1String("pcx")) return ReadPcxFile(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) CannotRead(fileName, file.errorString());
    if (IsTruncatedBitmap(file)) CannotRead(fileName, QStringLiteral("The file is truncated"));
    const ScopedReaderLimit limit;
    QImageReader reader(&file);
    const QSize claimed = reader.size();  // from the header, before any pixel is decoded
    if (claimed.isValid()) CheckPictureSize(fileName, claimed.width(), claimed.height());
    QImage picture;
    if (!reader.read(&picture)) CannotRead(fileName, reader.errorString());
    CheckPictureSize(fileName, picture.width(), picture.height());
    return picture;
}

QByteArray EncodeWithQt(const QImage& bitmap, const char* format, int quality, QString* error) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality > 0) writer.setQuality(quality);
    if (!writer.write(bitmap)) {
        *error = writer.errorString();
        return {};
    }
    return out;
}

QByteArray Encode(const QImage& bitmap, const QString& extension, int jpegQuality, QString* error) {
    if (extension == QLatin1String("gif")) return WriteGif(bitmap, error);
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ||
        extension == QLatin1String("jpe"))
        return EncodeWithQt(bitmap, "jpeg", jpegQuality, error);
    if (extension == QLatin1String("png")) return EncodeWithQt(bitmap, "png", 0, error);
    if (extension == QLatin1String("pcx")) {
        if (bitmap.width() > 65536 || bitmap.height() > 65536) {
            *error = QStringLiteral("A PCX picture holds at most 65536 x 65536 pixels");
            return {};
        }
        return WritePcx(bitmap);
    }
    QByteArray bmp = WriteBmp(bitmap);
    if (bmp.isEmpty()) *error = QStringLiteral("The picture is too large for a bitmap file");
    return bmp;
}

}  // namespace

void LoadImageFile(QImage& bitmap, const QString& fileName) {
    const QImage picture = ReadPicture(fileName);
    QImage result(picture.size(), QImage::Format_RGB888);
    if (result.isNull()) CannotRead(fileName, QStringLiteral("Not enough memory for the picture"));
    result.fill(QColor(255, 0, 255));
    {
        QPainter painter(&result);
        painter.drawImage(0, 0, picture);
    }
    bitmap = result;
}

void SaveImageFile(const QImage& bitmap, const QString& fileName, int jpegQuality) {
    if (bitmap.isNull()) CannotWrite(fileName, QStringLiteral("The picture is empty"));
    QString error;
    const QByteArray data = Encode(bitmap, Extension(fileName), jpegQuality, &error);
    if (data.isEmpty()) CannotWrite(fileName, error);
    if (!WriteFileAtomically(fileName, data, &error)) CannotWrite(fileName, error);
}

void ConvertImageFile(const QString& newFileName, const QString& oldFileName) {
    QImage bitmap;
    LoadImageFile(bitmap, oldFileName);
    SaveImageFile(bitmap, newFileName, 0);
}

void DrawZoomed(const QImage& bitmap, QPainter& target, const QRect& rectangle, int tileSize) {
    if (bitmap.isNull() || rectangle.isEmpty()) return;
    const bool enlarging = rectangle.width() > bitmap.width() && rectangle.height() > bitmap.height();
    // 16.16 fixed-point source steps per tile; 64-bit so that wide pictures cannot overflow them.
    const qint64 xs = qint64(tileSize) * ((qint64(bitmap.width()) << 16) / rectangle.width());
    const qint64 ys = qint64(tileSize) * ((qint64(bitmap.height()) << 16) / rectangle.height());
    // A tile smaller than one source pixel would stretch nothing; one stretch draws it instead.
    if (!enlarging || tileSize <= 0 || (xs >> 16) == 0 || (ys >> 16) == 0) {
        target.drawImage(rectangle, bitmap);
        return;
    }
    target.save();
    target.setClipRect(rectangle, Qt::IntersectClip);
    for (int j = 0; qint64(j) * tileSize < rectangle.height(); ++j) {
        for (int i = 0; qint64(i) * tileSize < rectangle.width(); ++i) {
            const QRect tile(rectangle.left() + i * tileSize, rectangle.top() + j * tileSize, tileSize,
                             tileSize);
            const QRect from(int((i * xs) >> 16), int((j * ys) >> 16), int(xs >> 16), int(ys >> 16));
            target.drawImage(tile, bitmap, from);
        }
    }
    target.restore();
}

}  // namespace plovane
