#include "imaging/PcxCodec.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <vector>

namespace plovane {
namespace {

constexpr int HeaderSize = 128;
constexpr int VgaPaletteSize = 769;  // the marker byte 12, then 256 red, green, blue triples

quint16 Word(const QByteArray& data, int offset) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(data.constData()) + offset);
}

// Decodes one scan line of all planes; a run may carry over into the next line.
class RunDecoder {
public:
    RunDecoder(const QByteArray& data, bool encoded) : Data(data), Encoded(encoded), Position(HeaderSize) {}

    bool Line(quint8* out, int length) {
        for (int i = 0; i < length; ++i) {
            if (Pending == 0 && !NextRun()) return false;
            out[i] = Value;
            --Pending;
        }
        return true;
    }

private:
    // A run of length zero yields nothing; such runs are skipped in a loop so that a file full
    // of them cannot exhaust the stack.
    bool NextRun() {
        while (Position < Data.size()) {
            const auto byte = quint8(Data[Position++]);
            if (!Encoded || (byte & 0xC0) != 0xC0) {
                Pending = 1;
                Value = byte;
                return true;
            }
            if (Position >= Data.size()) return false;
            Pending = byte & 0x3F;
            Value = quint8(Data[Position++]);
            if (Pending > 0) return true;
        }
        return false;
    }

    const QByteArray& Data;
    const bool Encoded;
    int Position;
    int Pending = 0;
    quint8 Value = 0;
};

}  // namespace

QImage ReadPcx(const QByteArray& data, qint64 maxPixels, QString* error) {
    const auto fail = [error](const QString& why) {
        *error = why;
        return QImage();
    };
    if (data.size() < HeaderSize || quint8(data[0]) != 10 || quint8(data[2]) > 1)
        return fail(QStringLiteral("Not a PCX picture"));
    const bool encoded = data[2] == 1;
    const int bits = quint8(data[3]);
    const int planes = quint8(data[65]);
    const int bytesPerLine = Word(data, 66);
    const qint64 width = qint64(Word(data, 8)) - Word(data, 4) + 1;
    const qint64 height = qint64(Word(data, 10)) - Word(data, 6) + 1;
    const bool trueColour = bits == 8 && (planes == 3 || planes == 4);
    const bool palette = (bits == 1 || bits == 2 || bits == 4 || bits == 8) && planes >= 1 &&
                         (bits * planes <= 4 || (bits == 8 && planes == 1));
    if (!trueColour && !palette)
        return fail(
            QStringLiteral("Unsupported PCX picture (%1 bits per pixel, %2 planes)").arg(bits).arg(planes));
    if (width <= 0 || height <= 0) return fail(QStringLiteral("The picture has no pixels"));
    if (width * height > maxPixels)
        return fail(QStringLiteral("The picture is too large (%1 x %2 pixels)").arg(width).arg(height));
    if (qint64(bytesPerLine) * 8 < width * bits) return fail(QStringLiteral("Corrupt PCX header"));
    // Each byte of data yields at most 63 bytes of pixels, so a short file is known before allocating.
    const qint64 needed = height * planes * bytesPerLine;
    const qint64 available = data.size() - HeaderSize;
    if ((encoded ? available * 32 : available) < needed) return fail(QStringLiteral("The file is truncated"));

    std::array<QRgb, 256> colours{};
    if (bits * planes == 1) {
        colours[0] = qRgb(0, 0, 0);
        colours[1] = qRgb(255, 255, 255);
    } else if (palette && bits * planes <= 4) {
        for (int i = 0; i < 16; ++i)
            colours[i] = qRgb(quint8(data[16 + 3 * i]), quint8(data[17 + 3 * i]), quint8(data[18 + 3 * i]));
    } else if (palette) {
        const int marker = data.size() - VgaPaletteSize;
        const bool hasPalette = marker >= HeaderSize && quint8(data[marker]) == 12;
        for (int i = 0; i < 256; ++i)
            colours[i] = hasPalette ? qRgb(quint8(data[marker + 1 + 3 * i]), quint8(data[marker + 2 + 3 * i]),
                                           quint8(data[marker + 3 + 3 * i]))
                                    : qRgb(i, i, i);
    }

    QImage picture(int(width), int(height), QImage::Format_RGB32);
    if (picture.isNull()) return fail(QStringLiteral("Not enough memory for the picture"));
    std::vector<quint8> line(std::size_t(planes) * bytesPerLine);
    RunDecoder decoder(data, encoded);
    for (int y = 0; y < height; ++y) {
        if (!decoder.Line(line.data(), int(line.size())))
            return fail(QStringLiteral("The file is truncated"));
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        if (trueColour) {
            const quint8* red = line.data();
            const quint8* green = red + bytesPerLine;
            const quint8* blue = green + bytesPerLine;
            for (int x = 0; x < width; ++x) out[x] = qRgb(red[x], green[x], blue[x]);
            continue;
        }
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (int x = 0; x < width; ++x) {
            int index = 0;
            for (int p = 0; p < planes; ++p) {
                const quint8 byte = line[std::size_t(p) * bytesPerLine + x / perByte];
                const int shift = 8 - bits * (x % perByte + 1);
                index |= ((byte >> shift) & mask) << (p * bits);
            }
            out[x] = colours[index];
        }
    }
    return picture;
}

QByteArray WritePcx(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const int bytesPerLine = (width + 1) & ~1;  // lines hold an even number of bytes
    QByteArray out(HeaderSize, '\0');
    auto* header = reinterpret_cast<uchar*>(out.data());
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    qToLittleEndian<quint16>(quint16(width - 1), header + 8);
    qToLittleEndian<quint16>(quint16(height - 1), header + 10);
    qToLittleEndian<quint16>(96, header + 12);
    qToLittleEndian<quint16>(96, header + 14);
    header[65] = 3;
    qToLittleEndian<quint16>(quint16(bytesPerLine), header + 66);
    qToLittleEndian<quint16>(1, header + 68);

    std::vector<quint8> line(std::size_t(bytesPerLine), 0);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (const int shift : {16, 8, 0}) {  // red, green and blue planes
            for (int x = 0; x < width; ++x) line[x] = quint8(row[x] >> shift);
            for (int i = 0; i < bytesPerLine;) {
                const quint8 value = line[i];
                int run = 1;
                while (i + run < bytesPerLine && run < 63 && line[i + run] == value) ++run;
                if (run > 1 || (value & 0xC0) == 0xC0) out.append(char(0xC0 | run));
                out.append(char(value));
                i += run;
            }
        }
    }
    return out;
}

}  // namespace plovane
