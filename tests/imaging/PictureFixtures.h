// Small pictures for the imaging tests: random pixels and hand-made picture files.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QtGlobal>
#include <vector>

namespace plovane::test {

// A 32-bit picture whose four bytes per pixel are all random.
QImage RandomPicture(int width, int height, unsigned seed);

// A GIF of the pixels (palette indexes, width * height of them) in which the palette index
// `transparent` is marked transparent.
QByteArray TransparentGif(int width, int height, const std::vector<quint8>& indexes,
                          const std::vector<QRgb>& palette, int transparent);

// A PCX header for the size and layout, with the 16-colour header palette filled in.
QByteArray PcxHeader(int width, int height, int bits, int planes, int bytesPerLine,
                     const std::vector<QRgb>& headerPalette = {});

}  // namespace plovane::test
