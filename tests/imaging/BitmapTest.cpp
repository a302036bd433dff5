#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>
#include <random>

#include "PictureFixtures.h"
#include "imaging/QelBitmap.h"
#include "imaging/QelPhoto.h"
#include "platform/Errors.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

QRgb ColourAt(const QImage& bitmap, int x, int y) { return bitmap.pixel(x, y) & 0xFFFFFFu; }

// A picture with flat areas and a gradient, so that lossy formats keep it recognisable.
QImage Sample(int width = 24, int height = 16) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, x < width / 2 ? qRgb(200, 30, 40) : qRgb(10 * (y % 16), 120, 250 - 4 * x));
    return picture;
}

QString ReadError(const QString& fileName) {
    QImage bitmap(2, 2, QImage::Format_RGB888);
    try {
        LoadImageFile(bitmap, fileName);
    } catch (const AbortCommand& abort) {
        EXPECT_EQ(bitmap.size(), QSize(2, 2)) << "a failed load changed the bitmap";
        return abort.Text();
    }
    return {};
}

QImage Loaded(const QString& fileName) {
    QImage bitmap;
    LoadImageFile(bitmap, fileName);
    return bitmap;
}

// Lossless formats give back every pixel; loading always yields 24 bits per pixel.
TEST(PictureFileTest, LosslessFormatsRoundTripIntoATwentyFourBitBitmap) {
    test::TempFolder folder;
    const QImage picture = test::RandomPicture(13, 7, 21).convertToFormat(QImage::Format_RGB888);
    for (const char* name : {"a.bmp", "a.png", "a.pcx", "a.BMP", "a.Pcx"}) {
        SaveImageFile(picture, folder.Path(name), 0);
        const QImage loaded = Loaded(folder.Path(name));
        EXPECT_EQ(loaded.format(), QImage::Format_RGB888) << name;
        EXPECT_EQ(loaded, picture) << name;
    }
}

TEST(PictureFileTest, TheExtensionChoosesTheFormatWithoutRegardToCase) {
    struct Case {
        const char* name;
        QByteArray magic;
    };
    test::TempFolder folder;
    for (const Case& c :
         {Case{"p.gif", "GIF8"}, Case{"p.GIF", "GIF8"}, Case{"p.JPG", "\xFF\xD8\xFF"},
          Case{"p.jpeg", "\xFF\xD8\xFF"}, Case{"p.jpe", "\xFF\xD8\xFF"}, Case{"p.png", "\x89PNG"},
          Case{"p.PCX", "\x0A\x05\x01\x08"}, Case{"p.bmp", "BM"}, Case{"p.xyz", "BM"},
          Case{"noextension", "BM"}, Case{"p.tar.jpg", "\xFF\xD8\xFF"}}) {
        SaveImageFile(Sample(), folder.Path(c.name), 0);
        EXPECT_TRUE(folder.Read(c.name).startsWith(c.magic)) << c.name;
        EXPECT_EQ(Loaded(folder.Path(c.name)).size(), QSize(24, 16)) << c.name;
    }
}

TEST(PictureFileTest, LossyFormatsKeepThePictureClose) {
    test::TempFolder folder;
    const QImage picture = Sample();
    for (const char* name : {"s.gif", "s.jpg"}) {
        SaveImageFile(picture, folder.Path(name), 0);
        const QImage loaded = Loaded(folder.Path(name));
        for (const QPoint at : {QPoint(2, 2), QPoint(20, 3), QPoint(18, 12)}) {
            const QRgb want = picture.pixel(at), got = loaded.pixel(at);
            EXPECT_NEAR(qRed(got), qRed(want), 12) << name;
            EXPECT_NEAR(qGreen(got), qGreen(want), 12) << name;
            EXPECT_NEAR(qBlue(got), qBlue(want), 12) << name;
        }
    }
}

TEST(PictureFileTest, JpegQualityIsUsedOnlyAboveZero) {
    test::TempFolder folder;
    const QImage picture = test::RandomPicture(64, 64, 2);
    for (const auto& [name, quality] :
         {std::pair{"q0.jpg", 0}, {"qminus.jpg", -3}, {"q10.jpg", 10}, {"q95.jpg", 95}})
        SaveImageFile(picture, folder.Path(name), quality);
    EXPECT_EQ(folder.Read("q0.jpg"), folder.Read("qminus.jpg"));
    EXPECT_LT(folder.Read("q10.jpg").size(), folder.Read("q0.jpg").size());
    EXPECT_GT(folder.Read("q95.jpg").size(), folder.Read("q0.jpg").size());
}

TEST(PictureFileTest, BitmapFilesKeepTheBitmapsOwnDepth) {
    test::TempFolder folder;
    QImage filtered = Sample(5, 3);
    const TPhoto photo = MakePhoto(filtered);
    photo.Rows[1][2] = 0x7B112233u;  // a fourth byte a filter left behind
    SaveImageFile(filtered, folder.Path("deep.bmp"), 0);
    SaveImageFile(Sample(5, 3).convertToFormat(QImage::Format_RGB888), folder.Path("flat.bmp"), 0);
    const QByteArray deep = folder.Read("deep.bmp"), flat = folder.Read("flat.bmp");
    EXPECT_EQ(qFromLittleEndian<quint16>(deep.constData() + 28), 32);
    EXPECT_EQ(qFromLittleEndian<quint16>(flat.constData() + 28), 24);
    EXPECT_EQ(qFromLittleEndian<qint32>(flat.constData() + 22), 3);
    const QImage loaded = Loaded(folder.Path("deep.bmp"));
    EXPECT_EQ(ColourAt(loaded, 2, 1), 0x112233u);
    EXPECT_EQ(ColourAt(loaded, 0, 0), ColourAt(filtered, 0, 0));
    EXPECT_EQ(Loaded(folder.Path("flat.bmp")), Sample(5, 3).convertToFormat(QImage::Format_RGB888));
}

TEST(PictureFileTest, TransparentAreasLoadAsMagenta) {
    test::TempFolder folder;
    QImage withAlpha(3, 1, QImage::Format_ARGB32);
    withAlpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    withAlpha.setPixel(1, 0, qRgba(0, 0, 255, 255));
    withAlpha.setPixel(2, 0, qRgba(0, 255, 0, 0));
    ASSERT_TRUE(withAlpha.save(folder.Path("t.png")));
    const QString gif =
        folder.Write("t.gif", test::TransparentGif(3, 1, {2, 0, 2}, {qRgb(0, 0, 255), 0, 0}, 2));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(3, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(QImageWriter(folder.Path("t.ico"), "ico").write(icon));

    for (const QString& name : {folder.Path("t.png"), gif, folder.Path("t.ico")}) {
        const QImage loaded = Loaded(name);
        EXPECT_EQ(loaded.depth(), 24) << name.toStdString();
        EXPECT_EQ(ColourAt(loaded, 0, 0), 0xFF00FFu) << name.toStdString();
        EXPECT_EQ(ColourAt(loaded, 2, 0), 0xFF00FFu) << name.toStdString();
    }
    EXPECT_EQ(ColourAt(Loaded(folder.Path("t.png")), 1, 0), 0x0000FFu);
    EXPECT_EQ(ColourAt(Loaded(gif), 1, 0), 0x0000FFu);
    EXPECT_EQ(ColourAt(Loaded(folder.Path("t.ico")), 3, 0), 0x0000FFu);
}

// Hand-made PCX files of each layout the reader knows, with runs, literal escapes and a run
// that carries over into the next line.
TEST(PictureFileTest, PcxReaderKnowsOneFourEightAndTwentyFourBitPictures) {
    test::TempFolder folder;
    const std::vector<QRgb> palette16 = {
        qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(70, 80, 90), qRgb(1, 1, 1), qRgb(2, 2, 2),
        qRgb(3, 3, 3), qRgb(4, 4, 4),    qRgb(5, 5, 5),    qRgb(6, 6, 6),    qRgb(7, 7, 7), qRgb(8, 8, 8),
        qRgb(9, 9, 9), qRgb(11, 11, 11), qRgb(12, 12, 12), qRgb(200, 100, 0)};

    // 1 bit: 10 x 2, bits 1010 0000 11, then a line of all ones; 2 bytes per line.
    QByteArray mono = test::PcxHeader(10, 2, 1, 1, 2) + QByteArray("\xA0\xC1\xC0\xC2\xFF", 5);
    const QImage monoLoaded = Loaded(folder.Write("mono.pcx", mono));
    EXPECT_EQ(ColourAt(monoLoaded, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(monoLoaded, 1, 0), 0u);
    EXPECT_EQ(ColourAt(monoLoaded, 9, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(monoLoaded, 8, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(monoLoaded, 5, 1), 0xFFFFFFu);

    // 4 bits in four planes of one bit: pixel 0 has index 1 + 2 = 3, pixel 1 index 15.
    QByteArray planar = test::PcxHeader(2, 1, 1, 4, 2, palette16) +
                        QByteArray("\xC1\xC0\x00\xC1\xC0\x00\x40\x00\x40\x00", 10);
    const QImage planarLoaded = Loaded(folder.Write("planar.pcx", planar));
    EXPECT_EQ(ColourAt(planarLoaded, 0, 0), qRgb(70, 80, 90) & 0xFFFFFFu);
    EXPECT_EQ(ColourAt(planarLoaded, 1, 0), qRgb(200, 100, 0) & 0xFFFFFFu);

    // 8 bits with the 256-colour palette at the end; a run of four crosses the line end.
    QByteArray eight = test::PcxHeader(3, 2, 8, 1, 4) + QByteArray("\x05\xC5\x07\x09\x09", 5);
    QByteArray vga(769, '\0');
    vga[0] = 12;
    for (int i = 0; i < 256; ++i) {
        vga[1 + 3 * i] = char(i);
        vga[2 + 3 * i] = char(255 - i);
        vga[3 + 3 * i] = char(i / 2);
    }
    const QImage eightLoaded = Loaded(folder.Write("eight.pcx", eight + vga));
    EXPECT_EQ(ColourAt(eightLoaded, 0, 0), qRgb(5, 250, 2) & 0xFFFFFFu);
    EXPECT_EQ(ColourAt(eightLoaded, 1, 0), qRgb(7, 248, 3) & 0xFFFFFFu);
    EXPECT_EQ(ColourAt(eightLoaded, 1, 1), qRgb(7, 248, 3) & 0xFFFFFFu);
    EXPECT_EQ(ColourAt(eightLoaded, 2, 1), qRgb(9, 246, 4) & 0xFFFFFFu);

    // 24 bits in red, green and blue planes.
    QByteArray rgb = test::PcxHeader(2, 1, 8, 3, 2) + QByteArray("\x10\x20\xC2\x30\xC1\xF0\x40", 7);
    const QImage rgbLoaded = Loaded(folder.Write("rgb.pcx", rgb));
    EXPECT_EQ(ColourAt(rgbLoaded, 0, 0), 0x1030F0u);
    EXPECT_EQ(ColourAt(rgbLoaded, 1, 0), 0x203040u);
}

TEST(PictureFileTest, ConvertWritesTheNewFormatAndKeepsTheOldFile) {
    test::TempFolder folder;
    const QImage picture = test::RandomPicture(6, 4, 12);
    SaveImageFile(picture, folder.Path("logo.png"), 0);
    const QByteArray original = folder.Read("logo.png");
    ConvertImageFile(folder.Path("logo.bmp"), folder.Path("logo.png"));
    EXPECT_EQ(folder.Read("logo.png"), original);
    EXPECT_EQ(Loaded(folder.Path("logo.bmp")), picture.convertToFormat(QImage::Format_RGB888));
}

TEST(PictureFileTest, AFileThatCannotBeWrittenNamesItAndLeavesTheOldFile) {
    test::TempFolder folder;
    const QString existing = folder.Write("old.bmp", "old bytes");
    const QString underAFile = folder.Path("old.bmp/new.png");
    struct Case {
        QImage picture;
        QString name;
    };
    for (const Case& c :
         {Case{Sample(), underAFile}, Case{QImage(), existing}, Case{Sample(), folder.Root()}}) {
        try {
            SaveImageFile(c.picture, c.name, 0);
            ADD_FAILURE() << "saved " << c.name.toStdString();
        } catch (const AbortCommand& abort) {
            EXPECT_TRUE(abort.Text().contains(c.name)) << abort.Text().toStdString();
        }
    }
    EXPECT_EQ(folder.Read("old.bmp"), "old bytes");
}

// Keeps the process's data segment within a gigabyte of what it uses now, so that a reader that
// trusted a header's size would fail to allocate instead of quietly reserving gigabytes.
class ScopedMemoryCeiling {
public:
    ScopedMemoryCeiling() {
        getrlimit(RLIMIT_DATA, &Saved);
        rlimit ceiling = Saved;
        ceiling.rlim_cur = std::min<rlim_t>(Saved.rlim_max, CurrentDataBytes() + (rlim_t(1) << 30));
        setrlimit(RLIMIT_DATA, &ceiling);
    }
    ~ScopedMemoryCeiling() { setrlimit(RLIMIT_DATA, &Saved); }

private:
    static rlim_t CurrentDataBytes() {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmData:"))
                return rlim_t(line.mid(7).trimmed().split(' ')[0].toLongLong()) * 1024;
        return rlim_t(1) << 32;
    }
    rlimit Saved{};
};

QByteArray BmpHeader(qint32 width, qint32 height) {
    QByteArray bytes(54, '\0');
    auto* b = reinterpret_cast<uchar*>(bytes.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(54 + 64, b + 2);
    qToLittleEndian<quint32>(54, b + 10);
    qToLittleEndian<quint32>(40, b + 14);
    qToLittleEndian<qint32>(width, b + 18);
    qToLittleEndian<qint32>(height, b + 22);
    qToLittleEndian<quint16>(1, b + 26);
    qToLittleEndian<quint16>(24, b + 28);
    return bytes + QByteArray(64, '\x55');
}

TEST(PictureFileTest, BrokenFilesAreRefusedWithTheFileNamed) {
    test::TempFolder folder;
    const QImage picture = Sample(40, 30);
    QMap<QString, QByteArray> valid;
    for (const char* extension : {"bmp", "png", "jpg", "gif", "pcx"}) {
        SaveImageFile(picture, folder.Path(QStringLiteral("valid.") + extension), 0);
        valid[extension] = folder.Read(QStringLiteral("valid.") + extension);
    }
    ASSERT_TRUE(QImageWriter(folder.Path("valid.ico"), "ico").write(picture.copy(0, 0, 16, 16)));
    valid["ico"] = folder.Read("valid.ico");

    QMap<QString, QByteArray> broken;
    for (auto it = valid.cbegin(); it != valid.cend(); ++it) {
        broken["empty." + it.key()] = QByteArray();
        broken["header-only." + it.key()] = it.value().left(20);
        broken["half." + it.key()] = it.value().left(it.value().size() / 2);
        QByteArray garbage = it.value();
        for (int i = 0; i < 16 && i < garbage.size(); ++i) garbage[i] = char(0xA5 ^ i);
        broken["garbage." + it.key()] = garbage;
    }
    QByteArray huge = test::PcxHeader(60000, 60000, 8, 3, 60000) + QByteArray(4096, '\xC1');
    broken["huge.pcx"] = huge;
    broken["huge.bmp"] = BmpHeader(60000, 60000);
    broken["huge-bottom-up.bmp"] = BmpHeader(60000, -60000);
    broken["overflowing-size.bmp"] = BmpHeader(0x7fffffff, 0x7fffffff);
    broken["large-claim-short-file.pcx"] = test::PcxHeader(8000, 8000, 8, 3, 8000) + QByteArray(100, '\0');
    QByteArray zeroSize = test::PcxHeader(4, 4, 8, 1, 4);
    zeroSize[8] = 3;  // right edge left of the left edge
    zeroSize[4] = 9;
    broken["zero-size.pcx"] = zeroSize + QByteArray(64, '\0');
    broken["zero-size.bmp"] = BmpHeader(0, 4);
    broken["empty-runs.pcx"] = test::PcxHeader(4, 4, 8, 1, 4) + QByteArray(1 << 20, '\xC0');
    broken["odd-layout.pcx"] = test::PcxHeader(4, 4, 16, 1, 8) + QByteArray(256, '\0');
    broken["not-a-picture.png"] = "just some text, not a picture";

    const ScopedMemoryCeiling ceiling;
    for (auto it = broken.cbegin(); it != broken.cend(); ++it) {
        const QString path = folder.Write(it.key(), it.value());
        const QString error = ReadError(path);
        EXPECT_TRUE(error.contains(path)) << it.key().toStdString() << ": " << error.toStdString();
    }
    EXPECT_TRUE(ReadError(folder.Path("missing.png")).contains("missing.png"));
}

// Random damage anywhere in a file either still reads or is refused; it never stops the program.
TEST(PictureFileTest, DamagedFilesNeverStopTheProgram) {
    test::TempFolder folder;
    std::mt19937 random(77);
    const QImage picture = Sample(33, 21);
    for (const char* extension : {"bmp", "png", "jpg", "gif", "pcx"}) {
        const QString valid = folder.Path(QStringLiteral("valid.") + extension);
        SaveImageFile(picture.convertToFormat(QImage::Format_RGB888), valid, 0);
        const QByteArray bytes = folder.Read(QStringLiteral("valid.") + extension);
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = bytes;
            for (int hits = 1 + int(random() % 4); hits > 0; --hits)
                damaged[int(random() % damaged.size())] = char(random());
            const QString path = folder.Write(QStringLiteral("damaged.") + extension, damaged);
            QImage bitmap;
            try {
                LoadImageFile(bitmap, path);
                EXPECT_FALSE(bitmap.isNull());
            } catch (const AbortCommand& abort) {
                EXPECT_TRUE(abort.Text().contains(path));
            }
        }
    }
}

TEST(DrawZoomedTest, EnlargementsAreDrawnInTilesThatMatchOneStretch) {
    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(0, 255, 0));
    bitmap.setPixel(0, 1, qRgb(0, 0, 255));
    bitmap.setPixel(1, 1, qRgb(255, 255, 0));
    QImage surface(600, 600, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        QPainter painter(&surface);
        DrawZoomed(bitmap, painter, QRect(10, 20, 512, 512), 256);
    }
    struct Probe {
        QPoint at;
        QRgb colour;
    };
    for (const Probe& p : {Probe{{10, 20}, qRgb(255, 0, 0)}, Probe{{265, 275}, qRgb(255, 0, 0)},
                           Probe{{266, 20}, qRgb(0, 255, 0)}, Probe{{10, 276}, qRgb(0, 0, 255)},
                           Probe{{521, 531}, qRgb(255, 255, 0)}, Probe{{522, 300}, qRgb(255, 255, 255)},
                           Probe{{9, 19}, qRgb(255, 255, 255)}})
        EXPECT_EQ(surface.pixel(p.at), p.colour) << p.at.x() << "," << p.at.y();

    // A small tile and a reduction are both drawn as one stretch.
    for (const auto& [rectangle, tile] : {std::pair{QRect(0, 0, 512, 512), 16}, {QRect(0, 0, 1, 512), 256}}) {
        surface.fill(Qt::white);
        QPainter painter(&surface);
        DrawZoomed(bitmap, painter, rectangle, tile);
        painter.end();
        EXPECT_EQ(surface.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(surface.pixel(0, 511), qRgb(0, 0, 255));
    }
}

}  // namespace
}  // namespace plovane
