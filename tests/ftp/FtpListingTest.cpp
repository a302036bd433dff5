#include <gtest/gtest.h>

#include "ftp/FtpListing.h"
#include "ftp/UnitFTPClient.h"

namespace plovane {
namespace {

const QDateTime Now(QDate(2024, 3, 15), QTime(12, 0), Qt::UTC);

struct ListCase {
    const char* line;
    const char* name;  // nullptr: the line gives no entry
    qint64 size;
    bool directory;
    QDateTime modified;
};

class ParseListLineTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ParseListLineTest, ReadsUnixAndDosLines) {
    const ListCase& c = GetParam();
    const std::optional<FtpEntry> entry = ParseListLine(QString::fromUtf8(c.line), Now);
    if (!c.name) {
        EXPECT_FALSE(entry) << c.line;
        return;
    }
    ASSERT_TRUE(entry) << c.line;
    EXPECT_EQ(entry->Name, QString::fromUtf8(c.name));
    EXPECT_EQ(entry->Size, c.size);
    EXPECT_EQ(entry->IsDirectory, c.directory);
    EXPECT_EQ(entry->Modified, c.modified) << c.line;
}

QDateTime At(int y, int mo, int d, int h = 0, int mi = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseListLineTest,
    ::testing::Values(ListCase{"-rw-r--r--   1 owner    group        7045 Mar 02 03:47 music.mp3",
                               "music.mp3", 7045, false, At(2024, 3, 2, 3, 47)},
                      // A date later than now belongs to last year.
                      ListCase{"drwxr-xr-x   2 owner    group        4096 Dec 31 18:50 e-books", "e-books", 0,
                               true, At(2023, 12, 31, 18, 50)},
                      ListCase{"-rw-r--r--   1 1000     1000          380 Sep 02  2019 two  spaces.txt",
                               "two  spaces.txt", 380, false, At(2019, 9, 2)},
                      ListCase{"-rw-r--r--   1 ftp          12 Jan 05  2021 nogroup", "nogroup", 12, false,
                               At(2021, 1, 5)},
                      ListCase{"lrwxrwxrwx   1 owner    group          7 Jan 05  2021 link -> target", "link",
                               7, false, At(2021, 1, 5)},
                      ListCase{"01-31-20  10:15PM       <DIR>          Old Site", "Old Site", 0, true,
                               At(2020, 1, 31, 22, 15)},
                      ListCase{"12-01-99  12:05AM                 1234 page.htm", "page.htm", 1234, false,
                               At(1999, 12, 1, 0, 5)},
                      ListCase{"total 12", nullptr, 0, false, {}},
                      ListCase{"garbage", nullptr, 0, false, {}}));

TEST(ParseMlsdLineTest, ReadsFactsAndKeepsTheWholeName) {
    const auto file =
        ParseMlsdLine(QStringLiteral("type=file;size=156;modify=20071029155301; my; file .txt"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name, QStringLiteral("my; file .txt"));
    EXPECT_EQ(file->Size, 156);
    EXPECT_FALSE(file->IsDirectory);
    EXPECT_EQ(file->Modified, QDateTime(QDate(2007, 10, 29), QTime(15, 53, 1), Qt::UTC));

    const auto dir = ParseMlsdLine(QStringLiteral("Type=DIR;Size=4096;Perm=el; ebooks"));
    ASSERT_TRUE(dir);
    EXPECT_TRUE(dir->IsDirectory);
    EXPECT_EQ(dir->Size, 0);
    EXPECT_FALSE(dir->Modified.isValid());

    EXPECT_FALSE(ParseMlsdLine(QStringLiteral("type=cdir; .")));
    EXPECT_FALSE(ParseMlsdLine(QStringLiteral("size=5; untyped")));
    EXPECT_FALSE(ParseMlsdLine(QStringLiteral("type=file;")));
}

TEST(ParseListingTest, LeavesOutDotEntriesAndHandlesLineEnds) {
    const QByteArray listing =
        "type=cdir; .\r\ntype=pdir; ..\r\ntype=dir; ..\r\ntype=file;size=1; a\nbroken line\r\ntype=dir; "
        "b\r\n";
    const QVector<FtpEntry> entries = ParseListing(listing, true);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].Name, QStringLiteral("a"));
    EXPECT_EQ(entries[1].Name, QStringLiteral("b"));
    EXPECT_TRUE(ParseListing("drwxr-xr-x 2 o g 0 Jan 01  2020 .\r\n", false).isEmpty());
}

TEST(FileNameTest, OnlyPlainNamesStayInTheFolder) {
    for (const char* good : {"index.htm", "..hidden", "a..b", "name with spaces", ".profile"})
        EXPECT_TRUE(IsPlainFileName(QString::fromUtf8(good))) << good;
    for (const QString& bad : {QString(), QStringLiteral("."), QStringLiteral(".."),
                               QStringLiteral("../evil"), QStringLiteral("/etc/passwd"),
                               QStringLiteral("a\\b"), QStringLiteral("a/b"), QString::fromUtf8("nul\0x", 5)})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad.toStdString();

    EXPECT_TRUE(IsSendableName(QStringLiteral("a name; with \"quotes\"")));
    EXPECT_FALSE(IsSendableName(QStringLiteral("a\r\nDELE b")));
    EXPECT_FALSE(IsSendableName(QStringLiteral("a\nb")));
}

TEST(QuotedPathOfTest, UndoesDoubledQuotes) {
    EXPECT_EQ(QuotedPathOf(QStringLiteral("257 \"/\" is the current directory.")), QStringLiteral("/"));
    EXPECT_EQ(QuotedPathOf(QStringLiteral("257 \"/a \"\"b\"\"\" here")), QStringLiteral("/a \"b\""));
    EXPECT_EQ(QuotedPathOf(QStringLiteral("257 no quotes")), QString());
    EXPECT_EQ(QuotedPathOf(QStringLiteral("257 \"unclosed")), QString());
}

TEST(FtpTextsTest, ErrorAndStatusTables) {
    EXPECT_EQ(FtpErrorText(0), QString());
    EXPECT_EQ(FtpErrorText(87), QString());
    EXPECT_EQ(FtpErrorText(18), QStringLiteral("No More Files"));
    EXPECT_EQ(FtpErrorText(12003, QStringLiteral("550 No such file.")), QStringLiteral("550 No such file."));
    EXPECT_EQ(FtpErrorText(12017), QStringLiteral("ERROR! Operation Cancelled"));
    EXPECT_EQ(FtpErrorText(12345), QStringLiteral("ERROR! Error Code #12345"));
    EXPECT_EQ(FtpStatusText(10), QStringLiteral("Resolving Name"));
    EXPECT_EQ(FtpStatusText(200), QStringLiteral("State Changed"));
    EXPECT_EQ(FtpStatusText(41), QString());
}

}  // namespace
}  // namespace plovane
