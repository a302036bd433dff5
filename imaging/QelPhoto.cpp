#include "imaging/QelPhoto.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace plovane {
namespace {

void CheckSameSize(const TPhoto& destination, const TPhoto& source) {
    if (destination.Width != source.Width) throw AssertionFailure("Dst.Width <> Src.Width");
    if (destination.Height != source.Height) throw AssertionFailure("Dst.Height <> Src.Height");
}

QImage::Format ThirtyTwoBitFormat(const QImage& bitmap) {
    if (bitmap.format() == QImage::Format_RGB32 || bitmap.format() == QImage::Format_ARGB32)
        return bitmap.format();
    return bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

void SetThirtyTwoBits(QImage& bitmap) {
    if (!bitmap.isNull()) bitmap.convertTo(ThirtyTwoBitFormat(bitmap));
}

// Applies a per-byte table to blue, green and red and keeps the fourth byte.
void MapColourBytes(const TPhoto& destination, const TPhoto& source, const quint8* red, const quint8* green,
                    const quint8* blue) {
    CheckSameSize(destination, source);
    const int width = source.Width;
    for (int y = 0; y < source.Height; ++y) {
        const quint32* s = source.Rows[y];
        quint32* d = destination.Rows[y];
        for (int x = 0; x < width; ++x) {
            const quint32 p = s[x];
            d[x] = (p & 0xFF000000u) | (quint32(red[(p >> 16) & 255]) << 16) |
                   (quint32(green[(p >> 8) & 255]) << 8) | blue[p & 255];
        }
    }
}

struct KernelTap {
    int Row;
    int Column;
    qint32 Weight;
};

// Sixteen bytes of samples that the compiler keeps in one vector register; the arithmetic wraps
// like the unsigned sample type.
template <typename Sample>
struct SampleVector {
    typedef Sample Type __attribute__((vector_size(16)));
};

// Every source row is widened once into a ring of five rows of samples, two edge pixels repeated
// on each side, so that the inner loops run over plain arrays: all four bytes of a pixel are
// filtered alike, so a row is one line of 4 x width samples and a column step is 4 samples.
// Unsigned samples make the sums wrap like 32-bit (or 16-bit) registers instead of overflowing.
template <typename Sample, typename Finish>
void ConvolveRows(const TPhoto& destination, const TPhoto& source, const std::vector<KernelTap>& taps,
                  const Finish& finish) {
    const int width = source.Width;
    const int height = source.Height;
    const std::size_t lineSamples = std::size_t(width) * 4;
    const std::size_t paddedSamples = lineSamples + 16 + 64;  // edges, then room for a last group
    std::vector<Sample> ring(paddedSamples * 5);
    std::array<int, 5> held;
    held.fill(-1);

    const auto paddedRow = [&](int sourceRow) -> const Sample* {
        const int slot = sourceRow % 5;
        Sample* row = ring.data() + slot * paddedSamples;
        if (held[slot] != sourceRow) {
            const auto* bytes = reinterpret_cast<const quint8*>(source.Rows[sourceRow]);
            for (int c = 0; c < 4; ++c) {
                row[c] = row[4 + c] = bytes[c];
                row[lineSamples + 8 + c] = row[lineSamples + 12 + c] = bytes[lineSamples - 4 + c];
            }
            for (std::size_t i = 0; i < lineSamples; ++i) row[8 + i] = bytes[i];
            held[slot] = sourceRow;
        }
        return row;
    };

    // A group of lanes is summed over all taps in vector registers, then finished at once.
    using Vector = typename SampleVector<Sample>::Type;
    constexpr std::size_t PerVector = sizeof(Vector) / sizeof(Sample);
    constexpr std::size_t Vectors = 4;
    constexpr std::size_t Group = PerVector * Vectors;
    static_assert(Group <= 64, "the padding behind each row holds one group");
    const std::size_t tapCount = taps.size();
    std::vector<const Sample*> inputs(tapCount);
    std::vector<Sample> weights(tapCount);
    for (std::size_t t = 0; t < tapCount; ++t) weights[t] = static_cast<Sample>(taps[t].Weight);
    std::array<Sample, Group> lanes;
    for (int y = 0; y < height; ++y) {
        std::array<const Sample*, 5> rows;
        for (int r = 0; r < 5; ++r) rows[r] = paddedRow(std::clamp(y + r - 2, 0, height - 1));
        for (std::size_t t = 0; t < tapCount; ++t) inputs[t] = rows[taps[t].Row] + taps[t].Column * 4;
        auto* out = reinterpret_cast<quint8*>(destination.Rows[y]);
        for (std::size_t start = 0; start < lineSamples; start += Group) {
            std::array<Vector, Vectors> sum{};
            for (std::size_t t = 0; t < tapCount; ++t) {
                const Sample* in = inputs[t] + start;  // the last group reads into the padding
                const Vector weight = Vector{} + weights[t];
                for (std::size_t v = 0; v < Vectors; ++v) {
                    Vector samples;
                    std::memcpy(&samples, in + v * PerVector, sizeof samples);
                    sum[v] += weight * samples;
                }
            }
            std::memcpy(lanes.data(), sum.data(), sizeof lanes);
            finish(lanes.data(), out + start, std::min(Group, lineSamples - start));
        }
    }
}

quint8 Clamped(qint64 value) { return static_cast<quint8>(std::clamp<qint64>(value, 0, 255)); }

// The integer part as a 32-bit register holds it: its low 32 bits.
quint32 TruncToRegister(double value) {
    if (!std::isfinite(value)) return 0;
    const double limit = 9.2e18;
    return static_cast<quint32>(static_cast<qint64>(std::clamp(value, -limit, limit)));
}

}  // namespace

TPhoto PhotoOfRows(quint32* row0, qint32 width, qint32 height, std::ptrdiff_t rowStepBytes) {
    TPhoto photo;
    if (row0 == nullptr || width <= 0 || height <= 0) return photo;
    photo.Width = width;
    photo.Height = height;
    photo.Rows.resize(std::size_t(height));
    auto* start = reinterpret_cast<quint8*>(row0);
    for (int i = 0; i < height; ++i) photo.Rows[i] = reinterpret_cast<quint32*>(start + i * rowStepBytes);
    return photo;
}

TPhoto MakePhoto(QImage& bitmap) {
    SetThirtyTwoBits(bitmap);
    if (bitmap.isNull()) return {};
    auto* row0 = reinterpret_cast<quint32*>(bitmap.scanLine(0));
    const std::ptrdiff_t step =
        bitmap.height() > 1 ? bitmap.scanLine(1) - reinterpret_cast<quint8*>(row0) : std::ptrdiff_t(0);
    return PhotoOfRows(row0, bitmap.width(), bitmap.height(), step);
}

void MakeSameSize(QImage& destination, QImage& source) {
    SetThirtyTwoBits(source);
    SetThirtyTwoBits(destination);
    if (destination.size() == source.size()) return;
    if (source.isNull()) {
        destination = QImage();
    } else if (destination.isNull()) {
        destination = QImage(source.size(), QImage::Format_RGB32);
        destination.fill(0);
    } else {
        destination = destination.copy(QRect(QPoint(0, 0), source.size()));
    }
}

quint32 ColorToPixel(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return (quint32(rgb.red()) << 16) | (quint32(rgb.green()) << 8) | quint32(rgb.blue());
}

void Mirror(const TPhoto& destination, const TPhoto& source) {
    CheckSameSize(destination, source);
    for (int y = 0; y < source.Height; ++y) {
        const quint32* s = source.Rows[y];
        quint32* d = destination.Rows[y];
        for (int j = 0, k = source.Width - 1; j < k; ++j, --k) {
            const quint32 left = s[j];
            d[j] = s[k];
            d[k] = left;
        }
    }
}

void Flip(const TPhoto& destination, const TPhoto& source) {
    CheckSameSize(destination, source);
    const std::size_t rowBytes = std::size_t(source.Width) * 4;
    std::vector<quint32> top(std::size_t(source.Width));
    for (int j = 0, k = source.Height - 1; j < k; ++j, --k) {
        std::memcpy(top.data(), source.Rows[j], rowBytes);
        std::memmove(destination.Rows[j], source.Rows[k], rowBytes);
        std::memcpy(destination.Rows[k], top.data(), rowBytes);
    }
}

void Invert(const TPhoto& destination, const TPhoto& source) {
    CheckSameSize(destination, source);
    for (int y = 0; y < source.Height; ++y) {
        const quint32* s = source.Rows[y];
        quint32* d = destination.Rows[y];
        for (int x = 0; x < source.Width; ++x) d[x] = s[x] ^ 0xFFFFFFu;
    }
}

void Grayscale(const TPhoto& destination, const TPhoto& source) {
    CheckSameSize(destination, source);
    for (int y = 0; y < source.Height; ++y) {
        const quint32* s = source.Rows[y];
        quint32* d = destination.Rows[y];
        for (int x = 0; x < source.Width; ++x) {
            const quint32 p = s[x];
            const quint32 grey = (29 * (p & 255) + 150 * ((p >> 8) & 255) + 77 * ((p >> 16) & 255)) >> 8;
            d[x] = (p & 0xFF000000u) | (grey * 0x010101u);
        }
    }
}

void Solarize(const TPhoto& destination, const TPhoto& source) {
    LookupTable table;
    BuildLookupTable(20, table);
    std::array<quint8, 256> diagonal;
    for (int v = 0; v < 256; ++v) diagonal[v] = table.At(v, v);
    MapColourBytes(destination, source, diagonal.data(), diagonal.data(), diagonal.data());
}

void Convolve(const TPhoto& destination, const TPhoto& source, const FilterKernel& kernel) {
    CheckSameSize(destination, source);
    if (source.Width <= 0 || source.Height <= 0) return;
    // A zero divisor would stop the program; dividing by 1 leaves the sum as it is.
    const qint64 divisor = kernel.Divisor == 0 ? 1 : kernel.Divisor;
    const qint64 bias = kernel.Bias;
    std::vector<KernelTap> taps;
    qint64 weightMagnitude = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (const qint32 w = kernel.Weight(r, c); w != 0) {
                taps.push_back({r, c, w});
                weightMagnitude += std::abs(qint64(w));
            }

    if (weightMagnitude * 255 <= std::numeric_limits<qint16>::max()) {
        // Every sum fits 16 bits: twice the lanes per vector, and the division, bias and clamp
        // become one table read.
        std::vector<quint8> finalValue(65536);
        for (int u = 0; u < 65536; ++u) finalValue[u] = Clamped(qint16(u) / divisor + bias);
        ConvolveRows<quint16>(destination, source, taps,
                              [&](const quint16* sums, quint8* out, std::size_t count) {
                                  for (std::size_t i = 0; i < count; ++i) out[i] = finalValue[sums[i]];
                              });
    } else {
        ConvolveRows<quint32>(destination, source, taps,
                              [&](const quint32* sums, quint8* out, std::size_t count) {
                                  for (std::size_t i = 0; i < count; ++i)
                                      out[i] = Clamped(qint32(sums[i]) / divisor + bias);
                              });
    }
}

void ApplyChannelTables(const TPhoto& destination, const TPhoto& source, const LookupTable& table, int rowRed,
                        int rowGreen, int rowBlue) {
    // A row outside the table would read past its end.
    MapColourBytes(destination, source, table.Row(std::clamp(rowRed, 0, 255)),
                   table.Row(std::clamp(rowGreen, 0, 255)), table.Row(std::clamp(rowBlue, 0, 255)));
}

void RotatePhoto(const TPhoto& destination, const TPhoto& source, quint32 background, double angle,
                 double scale) {
    // Unsigned 32-bit arithmetic wraps exactly like the fixed-point registers it stands for.
    const quint32 kc = TruncToRegister(65536.0 * std::cos(-angle) / scale);
    const quint32 ks = TruncToRegister(65536.0 * std::sin(-angle) / scale);
    const auto hw = quint32(destination.Width / 2);
    const auto hh = quint32(destination.Height / 2);
    const quint32 firstX =
        65536u * hw - kc * hw + ks * hh + 32768u * quint32(source.Width - destination.Width);
    const quint32 firstY =
        65536u * hh - ks * hw - kc * hh + 32768u * quint32(source.Height - destination.Height);
    const auto sourceWidth = quint32(std::max(source.Width, 0));
    const auto sourceHeight = quint32(std::max(source.Height, 0));
    quint32* const* sourceRows = source.Rows.data();
    // The destination is walked in tiles so that the source pixels a tile reads stay in the cache
    // (and their pages in the translation buffer) from one row to the next. A row of a tile starts
    // at the first row's start plus whole steps, which in wrapping arithmetic is exactly where the
    // step-by-step walk would be.
    constexpr int TileWidth = 64;
    constexpr int TileHeight = 64;
    for (int top = 0; top < destination.Height; top += TileHeight) {
        const int bottom = std::min(top + TileHeight, destination.Height);
        for (int left = 0; left < destination.Width; left += TileWidth) {
            const int right = std::min(left + TileWidth, destination.Width);
            quint32 rowX = firstX + kc * quint32(left) - ks * quint32(top);
            quint32 rowY = firstY + ks * quint32(left) + kc * quint32(top);
            for (int y = top; y < bottom; ++y) {
                quint32* d = destination.Rows[y];
                quint32 x = rowX;
                quint32 yy = rowY;
                for (int i = left; i < right; ++i) {
                    const quint32 sx = x >> 16;
                    const quint32 sy = yy >> 16;
                    d[i] = (sx < sourceWidth && sy < sourceHeight) ? sourceRows[sy][sx] : background;
                    x += kc;
                    yy += ks;
                }
                rowX -= ks;
                rowY += kc;
            }
        }
    }
}

QSize RotatedSize(const QImage& bitmap, double angle, double scale) {
    const double w = bitmap.width();
    const double h = bitmap.height();
    const double c = scale * std::cos(angle);
    const double s = scale * std::sin(angle);
    // Truncation of a size no bitmap could have is left undefined by the language; cap it instead.
    const auto truncated = [](double size) {
        return std::isfinite(size) ? static_cast<int>(std::min(size, double(std::numeric_limits<int>::max())))
                                   : 0;
    };
    return QSize(truncated(std::abs(c * w) + std::abs(s * h)), truncated(std::abs(s * w) + std::abs(c * h)));
}

}  // namespace plovane
