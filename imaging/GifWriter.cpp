#include "imaging/GifWriter.h"

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace plovane {
namespace {

int AppendToArray(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

QString GifMessage(int code) {
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

QByteArray WriteGif(const QImage& picture, QString* error) {
    if (picture.width() > 65535 || picture.height() > 65535) {
        *error = QStringLiteral("A GIF picture holds at most 65535 x 65535 pixels");
        return {};
    }
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<GifByteType> red(count), green(count), blue(count), indexes(count);
    for (int y = 0; y < height; ++y) {
        const uchar* row = rgb.constScanLine(y);
        const std::size_t start = std::size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            red[start + x] = row[3 * x];
            green[start + x] = row[3 * x + 1];
            blue[start + x] = row[3 * x + 2];
        }
    }
    int colourCount = 256;
    std::vector<GifColorType> colours(256);
    if (GifQuantizeBuffer(unsigned(width), unsigned(height), &colourCount, red.data(), green.data(),
                          blue.data(), indexes.data(), colours.data()) == GIF_ERROR) {
        *error = QStringLiteral("Cannot reduce the picture to 256 colours");
        return {};
    }
    const std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, colours.data()));
    if (!map) {
        *error = QStringLiteral("Not enough memory for the GIF colour map");
        return {};
    }

    QByteArray out;
    int code = 0;
    GifFileType* gif = EGifOpen(&out, AppendToArray, &code);
    if (!gif) {
        *error = GifMessage(code);
        return {};
    }
    bool written = EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) == GIF_OK &&
                   EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; written && y < height; ++y)
        written = EGifPutLine(gif, indexes.data() + std::size_t(y) * width, width) == GIF_OK;
    const int failure = written ? 0 : gif->Error;
    int closeCode = 0;
    const bool closed = EGifCloseFile(gif, &closeCode) == GIF_OK;
    if (!written || !closed) {
        *error = GifMessage(written ? closeCode : failure);
        return {};
    }
    return out;
}

}  // namespace plovane
