#include "PictureFixtures.h"

#include <gif_lib.h>

#include <QtEndian>
#include <random>

namespace plovane::test {

QImage RandomPicture(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = quint32(random());
    }
    return picture;
}

namespace {
int Append(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}
}  // namespace

QByteArray TransparentGif(int width, int height, const std::vector<quint8>& indexes,
                          const std::vector<QRgb>& palette, int transparent) {
    std::vector<GifColorType> colours(256);
    for (std::size_t i = 0; i < palette.size(); ++i)
        colours[i] = {GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                      GifByteType(qBlue(palette[i]))};
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Append, &error);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    const GraphicsControlBlock control{0, false, 0, transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    std::vector<GifByteType> pixels(indexes.begin(), indexes.end());
    for (int y = 0; y < height; ++y) EGifPutLine(gif, pixels.data() + y * width, width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

QByteArray PcxHeader(int width, int height, int bits, int planes, int bytesPerLine,
                     const std::vector<QRgb>& headerPalette) {
    QByteArray header(128, '\0');
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    bytes[0] = 10;
    bytes[1] = 5;
    bytes[2] = 1;
    bytes[3] = uchar(bits);
    qToLittleEndian<quint16>(quint16(width - 1), bytes + 8);
    qToLittleEndian<quint16>(quint16(height - 1), bytes + 10);
    for (std::size_t i = 0; i < headerPalette.size() && i < 16; ++i) {
        bytes[16 + 3 * i] = uchar(qRed(headerPalette[i]));
        bytes[17 + 3 * i] = uchar(qGreen(headerPalette[i]));
        bytes[18 + 3 * i] = uchar(qBlue(headerPalette[i]));
    }
    bytes[65] = uchar(planes);
    qToLittleEndian<quint16>(quint16(bytesPerLine), bytes + 66);
    return header;
}

}  // namespace plovane::test
