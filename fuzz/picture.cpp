// Picture files as the image editor opens them: the bytes are saved once as a PCX file and once
// under a name without a known extension, so that Qt's readers pick the format from the content
// (BMP, PNG, JPEG, GIF, ICO, ...), and each is loaded with LoadImageFile.
#include <QImage>

#include "fuzz/FuzzSupport.h"
#include "imaging/QelBitmap.h"
#include "platform/Errors.h"

using namespace plovane;

namespace {

void Load(const QString& path, const QByteArray& bytes) {
    if (!fuzz::WriteScratchFile(path, bytes)) return;
    QImage bitmap;
    try {
        LoadImageFile(bitmap, path);
    } catch (const AbortCommand&) {
        fuzz::Check(bitmap.isNull(), "a refused picture leaves the bitmap as it was");
        return;
    }
    fuzz::Check(!bitmap.isNull() && bitmap.format() == QImage::Format_RGB888,
                "a loaded picture is a 24-bit bitmap");
    fuzz::Check(qint64(bitmap.width()) * bitmap.height() <= MaxPicturePixels,
                "a loaded picture stays within the pixel limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::EnsureApplication();
    const QByteArray bytes = fuzz::Bytes(data, size);
    Load(fuzz::ScratchFolder() + QStringLiteral("/picture.pcx"), bytes);
    Load(fuzz::ScratchFolder() + QStringLiteral("/picture.img"), bytes);
    return 0;
}
