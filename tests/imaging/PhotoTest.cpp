#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>
#include <cmath>
#include <random>

#include "PictureFixtures.h"
#include "imaging/QelPhoto.h"

namespace plovane {
namespace {

quint32 PixelAt(const QImage& bitmap, int x, int y) {
    return reinterpret_cast<const quint32*>(bitmap.constScanLine(y))[x];
}

quint8 ByteOf(quint32 pixel, int byte) { return quint8(pixel >> (8 * byte)); }

// Convolution computed pixel by pixel straight from its definition.
QImage ReferenceConvolve(const QImage& source, const FilterKernel& kernel) {
    QImage result(source.size(), QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            quint32 pixel = 0;
            for (int byte = 0; byte < 4; ++byte) {
                qint64 sum = 0;
                for (int r = 0; r < 5; ++r)
                    for (int q = 0; q < 5; ++q) {
                        const int sy = std::min(std::max(y + r - 2, 0), h - 1);
                        const int sx = std::min(std::max(x + q - 2, 0), w - 1);
                        sum += qint64(kernel.Weights[r * 5 + q]) * ByteOf(PixelAt(source, sx, sy), byte);
                    }
                const qint64 value =
                    std::min<qint64>(std::max<qint64>(sum / kernel.Divisor + kernel.Bias, 0), 255);
                pixel |= quint32(value) << (8 * byte);
            }
            reinterpret_cast<quint32*>(result.scanLine(y))[x] = pixel;
        }
    return result;
}

QImage Convolved(const QImage& source, const FilterKernel& kernel) {
    QImage input = source;
    QImage output;
    MakeSameSize(output, input);
    Convolve(MakePhoto(output), MakePhoto(input), kernel);
    return output;
}

QImage Filled(int width, int height, quint32 pixel) {
    QImage bitmap(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)  // fill() would force the fourth byte to 255
        std::fill_n(reinterpret_cast<quint32*>(bitmap.scanLine(y)), width, pixel);
    return bitmap;
}

FilterKernel LargeWeights() {
    FilterKernel kernel;
    for (int i = 0; i < 25; ++i) kernel.Weights[i] = (i % 3 - 1) * (1000 + 37 * i);
    kernel.Divisor = -700;
    kernel.Bias = 90;
    return kernel;
}

TEST(ConvolveTest, EveryNamedKernelMatchesTheDirectComputation) {
    const QImage source = test::RandomPicture(9, 7, 11);
    for (const QString& name : KernelNames()) {
        const FilterKernel* kernel = KernelByName(name);
        ASSERT_NE(kernel, nullptr) << name.toStdString();
        EXPECT_EQ(Convolved(source, *kernel), ReferenceConvolve(source, *kernel)) << name.toStdString();
    }
    EXPECT_EQ(Convolved(source, LargeWeights()), ReferenceConvolve(source, LargeWeights()));
}

TEST(ConvolveTest, NarrowPicturesRepeatTheirEdgePixels) {
    for (const QSize size : {QSize(1, 1), QSize(1, 6), QSize(6, 1), QSize(2, 3)}) {
        const QImage source = test::RandomPicture(size.width(), size.height(), 5);
        EXPECT_EQ(Convolved(source, KernelSharpenHigh), ReferenceConvolve(source, KernelSharpenHigh))
            << size.width() << "x" << size.height();
    }
}

TEST(ConvolveTest, BlurLowOfASinglePixelAddsTheBiasAndClamps) {
    const QImage single = Filled(1, 1, 0xFFFE6400u);  // bytes 0, 100, 254, 255
    EXPECT_EQ(PixelAt(Convolved(single, KernelBlurLow), 0, 0), 0xFFFF6501u);
}

TEST(ConvolveTest, FlatPicturesGiveTheBiasOfEmbossAndNothingOfEdgeDetect) {
    const QImage flat = Filled(6, 5, 0xFF3C8AD2u);
    for (const FilterKernel* emboss : {&KernelEmbossHigh, &KernelEmbossLow})
        EXPECT_EQ(Convolved(flat, *emboss), Filled(6, 5, 0xCCCCCCCCu));
    for (const FilterKernel* edges :
         {&KernelEdgeDetect1, &KernelEdgeDetect2, &KernelEdgeDetect3, &KernelEdgeDetect4})
        EXPECT_EQ(PixelAt(Convolved(flat, *edges), 3, 2) & 0xFFFFFFu, 0u);
}

TEST(ConvolveTest, AZeroDivisorCountsAsOneInsteadOfStoppingTheProgram) {
    FilterKernel kernel = KernelEmbossLow;
    kernel.Divisor = 0;
    FilterKernel one = KernelEmbossLow;
    one.Divisor = 1;
    const QImage source = test::RandomPicture(4, 4, 3);
    EXPECT_EQ(Convolved(source, kernel), ReferenceConvolve(source, one));
}

TEST(ConvolveTest, RowsStoredBottomUpAreSeenTopRowFirst) {
    const QImage topDown = test::RandomPicture(5, 4, 8);
    // The same picture laid out bottom-up in a plain buffer.
    std::vector<quint32> stored(5 * 4), filtered(5 * 4);
    for (int y = 0; y < 4; ++y)
        std::copy_n(reinterpret_cast<const quint32*>(topDown.constScanLine(y)), 5,
                    stored.begin() + (3 - y) * 5);
    const TPhoto source = PhotoOfRows(stored.data() + 15, 5, 4, -20);
    const TPhoto destination = PhotoOfRows(filtered.data() + 15, 5, 4, -20);
    Convolve(destination, source, KernelEmbossHigh);
    const QImage expected = ReferenceConvolve(topDown, KernelEmbossHigh);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(filtered[(3 - y) * 5 + x], PixelAt(expected, x, y)) << x << "," << y;
}

TEST(PhotoTest, AMadePhotoIsThirtyTwoBitsWithRowZeroAtTheTop) {
    QImage bitmap(3, 4, QImage::Format_RGB888);
    bitmap.fill(QColor(10, 20, 30));
    const TPhoto photo = MakePhoto(bitmap);
    EXPECT_EQ(bitmap.depth(), 32);
    ASSERT_EQ(photo.Rows.size(), 4u);
    EXPECT_EQ(photo.Width, 3);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(photo.Rows[y], reinterpret_cast<quint32*>(bitmap.scanLine(y)));
    EXPECT_EQ(photo.Rows[0][0] & 0xFFFFFFu, 0x0A141Eu);

    QImage destination(1, 1, QImage::Format_RGB888);
    MakeSameSize(destination, bitmap);
    EXPECT_EQ(destination.size(), QSize(3, 4));
    EXPECT_EQ(destination.depth(), 32);
    QImage empty;
    EXPECT_TRUE(MakePhoto(empty).Rows.empty());
}

TEST(PhotoTest, PhotosOfDifferentSizesAreAnAssertionFailure) {
    QImage a = Filled(3, 2, 0), wider = Filled(4, 2, 0), taller = Filled(3, 3, 0);
    const TPhoto photo = MakePhoto(a);
    try {
        Invert(MakePhoto(wider), photo);
        ADD_FAILURE() << "no assertion";
    } catch (const AssertionFailure& failure) {
        EXPECT_STREQ(failure.what(), "Dst.Width <> Src.Width");
    }
    try {
        Convolve(MakePhoto(taller), photo, KernelBlurLow);
        ADD_FAILURE() << "no assertion";
    } catch (const AssertionFailure& failure) {
        EXPECT_STREQ(failure.what(), "Dst.Height <> Src.Height");
    }
}

TEST(PhotoTest, MirrorAndFlipReverseAndLeaveTheMiddleOfOddSizesUnwritten) {
    QImage source(3, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) reinterpret_cast<quint32*>(source.scanLine(y))[x] = quint32(10 * y + x);
    QImage mirrored = Filled(3, 3, 0xEEu);
    Mirror(MakePhoto(mirrored), MakePhoto(source));
    QImage flipped = Filled(3, 3, 0xEEu);
    Flip(MakePhoto(flipped), MakePhoto(source));
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(PixelAt(mirrored, 0, y), quint32(10 * y + 2));
        EXPECT_EQ(PixelAt(mirrored, 1, y), 0xEEu);
        EXPECT_EQ(PixelAt(mirrored, 2, y), quint32(10 * y));
        EXPECT_EQ(PixelAt(flipped, y, 0), quint32(20 + y));
        EXPECT_EQ(PixelAt(flipped, y, 1), 0xEEu);
        EXPECT_EQ(PixelAt(flipped, y, 2), quint32(y));
    }
    // In place, an even size reverses completely.
    QImage even = test::RandomPicture(4, 2, 1);
    const QImage before = even;
    const TPhoto photo = MakePhoto(even);
    Mirror(photo, photo);
    Flip(photo, photo);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(even, x, y), PixelAt(before, 3 - x, 1 - y));
}

TEST(PhotoTest, PointFiltersWorkOnTheColourBytesAndKeepTheFourth) {
    QImage picture = test::RandomPicture(7, 3, 4);
    const QImage original = picture;
    const TPhoto photo = MakePhoto(picture);

    Invert(photo, photo);
    EXPECT_EQ(PixelAt(picture, 2, 1), PixelAt(original, 2, 1) ^ 0xFFFFFFu);
    Invert(photo, photo);
    EXPECT_EQ(picture, original);

    Solarize(photo, photo);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            const quint32 was = PixelAt(original, x, y), now = PixelAt(picture, x, y);
            for (int byte = 0; byte < 3; ++byte)
                EXPECT_EQ(ByteOf(now, byte), std::abs(255 - 2 * ByteOf(was, byte)));
            EXPECT_EQ(ByteOf(now, 3), ByteOf(was, 3));
        }
}

TEST(PhotoTest, GrayscaleWeighsBlueGreenAndRed) {
    struct Case {
        quint32 pixel;
        quint32 grey;
    };
    for (const Case c :
         {Case{0x12FFFFFFu, 0x12FFFFFFu}, Case{0x00FF0000u, 0x004C4C4Cu}, Case{0x0000FF00u, 0x00959595u},
          Case{0x000000FFu, 0x001C1C1Cu}, Case{0xAB102030u, 0xAB1D1D1Du}}) {
        QImage bitmap = Filled(1, 1, c.pixel);
        const TPhoto photo = MakePhoto(bitmap);
        Grayscale(photo, photo);
        EXPECT_EQ(PixelAt(bitmap, 0, 0), c.grey) << std::hex << c.pixel;
    }
}

TEST(PhotoTest, ChannelTablesReadEachColourThroughItsOwnRow) {
    LookupTable table;
    BuildLookupTable(11, table);  // k * v / 255
    QImage source = test::RandomPicture(5, 5, 9);
    QImage result;
    MakeSameSize(result, source);
    ApplyChannelTables(MakePhoto(result), MakePhoto(source), table, 255, 128, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const quint32 was = PixelAt(source, x, y), now = PixelAt(result, x, y);
            EXPECT_EQ(ByteOf(now, 2), ByteOf(was, 2));
            EXPECT_EQ(ByteOf(now, 1), 128 * ByteOf(was, 1) / 255);
            EXPECT_EQ(ByteOf(now, 0), 0);
            EXPECT_EQ(ByteOf(now, 3), ByteOf(was, 3));
        }

    // Rows outside the table are read as its first or last row instead of memory beyond it.
    QImage clamped;
    MakeSameSize(clamped, source);
    ApplyChannelTables(MakePhoto(clamped), MakePhoto(source), table, 300, 128, -5);
    EXPECT_EQ(clamped, result);
}

TEST(RotateTest, ByZeroReproducesAndALargerDestinationCentresTheSource) {
    QImage source = test::RandomPicture(4, 3, 2);
    QImage same;
    MakeSameSize(same, source);
    RotatePhoto(MakePhoto(same), MakePhoto(source), 0, 0.0, 1.0);
    EXPECT_EQ(same, source);

    QImage larger = Filled(8, 7, 0);
    const quint32 background = ColorToPixel(QColor(1, 2, 3));
    RotatePhoto(MakePhoto(larger), MakePhoto(source), background, 0.0, 1.0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 5;
            EXPECT_EQ(PixelAt(larger, x, y), inside ? PixelAt(source, x - 2, y - 2) : 0x010203u)
                << x << "," << y;
        }
}

TEST(RotateTest, APositiveAngleTurnsClockwise) {
    QImage source(3, 2, QImage::Format_RGB32);  // a b c / d e f
    for (int i = 0; i < 6; ++i) reinterpret_cast<quint32*>(source.scanLine(i / 3))[i % 3] = quint32('a' + i);
    QImage turned = Filled(2, 3, 0);
    RotatePhoto(MakePhoto(turned), MakePhoto(source), 0, M_PI / 2, 1.0);
    const char* expected[] = {"da", "eb", "fc"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(turned, x, y), quint32(expected[y][x])) << x << "," << y;

    QImage doubled = Filled(2, 2, 0);  // scale 2 shows each source pixel twice, about the centre
    RotatePhoto(MakePhoto(doubled), MakePhoto(source), 0, 0.0, 2.0);
    EXPECT_EQ(PixelAt(doubled, 0, 0), quint32('b'));
    EXPECT_EQ(PixelAt(doubled, 1, 0), quint32('b'));
    EXPECT_EQ(PixelAt(doubled, 1, 1), quint32('e'));
}

// Each destination pixel computed on its own from the fixed-point start and steps.
TEST(RotateTest, WidePicturesMatchTheFixedPointWalkPixelByPixel) {
    QImage source = test::RandomPicture(300, 170, 6);
    const double angle = M_PI / 6;
    QImage turned(RotatedSize(source, angle, 1.0), QImage::Format_RGB32);
    RotatePhoto(MakePhoto(turned), MakePhoto(source), 0x123456, angle, 1.0);

    const auto kc = quint32(qint64(65536 * std::cos(-angle)));
    const auto ks = quint32(qint64(65536 * std::sin(-angle)));
    const auto hw = quint32(turned.width() / 2), hh = quint32(turned.height() / 2);
    const quint32 x0 = 65536 * hw - kc * hw + ks * hh + 32768 * quint32(300 - turned.width());
    const quint32 y0 = 65536 * hh - ks * hw - kc * hh + 32768 * quint32(170 - turned.height());
    int mismatches = 0;
    for (int y = 0; y < turned.height(); ++y)
        for (int x = 0; x < turned.width(); ++x) {
            const quint32 sx = (x0 - quint32(y) * ks + quint32(x) * kc) >> 16;
            const quint32 sy = (y0 + quint32(y) * kc + quint32(x) * ks) >> 16;
            const quint32 expected = sx < 300 && sy < 170 ? PixelAt(source, int(sx), int(sy)) : 0x123456u;
            mismatches += PixelAt(turned, x, y) != expected;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(PixelAt(turned, 0, 0), 0x123456u);
}

TEST(RotateTest, RotatedSizeIsTheBoundingBox) {
    const QImage bitmap(100, 50, QImage::Format_RGB32);
    EXPECT_EQ(RotatedSize(bitmap, 0.0, 1.0), QSize(100, 50));
    EXPECT_EQ(RotatedSize(bitmap, M_PI / 2, 1.0), QSize(50, 100));
    EXPECT_EQ(RotatedSize(bitmap, M_PI / 6, 1.0), QSize(111, 93));
    EXPECT_EQ(RotatedSize(bitmap, -M_PI / 6, 2.0), QSize(223, 186));
}

}  // namespace
}  // namespace plovane
