#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <optional>

#include "platform/IniFile.h"
#include "support/ScopedState.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// One name or value through a file and back, with the line it is written as.
struct TextCase {
    const char* what;
    QString section;
    QString key;
    QString value;
    QByteArray line;  // the entry line, or the section line when it starts with '['
};

class IniTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(IniTextTest, SurvivesAWriteAndARead) {
    const TextCase& c = GetParam();
    test::TempFolder folder;
    const QString path = folder.Path("text.ini");
    ASSERT_TRUE(TIniFile(path).WriteString(c.section, c.key, c.value));
    ASSERT_TRUE(TIniFile(path).WriteString("Next", "Key", "after"));  // nothing spills over

    const TIniFile file(path);
    EXPECT_EQ(file.ReadSections(), (QStringList{c.section, "Next"}));
    EXPECT_EQ(file.ReadSection(c.section), QStringList{c.key});
    EXPECT_EQ(file.ReadString(c.section, c.key, "missing"), c.value);
    EXPECT_EQ(file.ReadString("Next", "Key"), "after");
    EXPECT_TRUE(folder.Read("text.ini").split('\n').contains(c.line)) << folder.Read("text.ini").constData();
}

const QString Plain = QStringLiteral("Plain");

INSTANTIATE_TEST_SUITE_P(
    Values, IniTextTest,
    ::testing::Values(
        TextCase{"plain", Plain, "Key", "C:/Program Files/x.htm", "Key=C:/Program Files/x.htm"},
        TextCase{"empty", Plain, "Key", "", "Key="},
        TextCase{"separators", Plain, "Key", "a;b=c#d[e]f,g", "Key=a;b=c#d[e]f,g"},
        TextCase{"leading separator", Plain, "Key", ";x", "Key=;x"},
        TextCase{"inner quote", Plain, "Key", "say \"hi\"", "Key=say \"hi\""},
        TextCase{"quoted", Plain, "Key", "\"quoted\"", "Key=\"\\\"quoted\\\"\""},
        TextCase{"lone quote", Plain, "Key", "\"", "Key=\"\\\"\""},
        TextCase{"backslash", Plain, "Key", "DOMAIN\\new\\x41\\", "Key=\"DOMAIN\\\\new\\\\x41\\\\\""},
        TextCase{"blanks", Plain, "Key", "  both  ", "Key=\"  both  \""},
        TextCase{"line breaks and tab", Plain, "Key", "a\r\nb\rc\nd\te", "Key=\"a\\r\\nb\\rc\\nd\\te\""},
        TextCase{"control and NUL", Plain, "Key",
                 QString("a\x01"
                         "1") +
                     QChar(0) + "\x7f",
                 "Key=\"a\\x011\\x00\\x7f\""},
        TextCase{"non-ASCII", Plain, "Key", QString::fromUtf8("é € 中 😀"), QByteArray("Key=é € 中 😀")},
        TextCase{"at sign", Plain, "Key", "@Invalid()", "Key=\"@Invalid()\""},
        TextCase{"key with =", Plain, "a=b", "v", "a\\x3db=v"},
        TextCase{"key like a section", Plain, "[x]", "v", "\\x5bx]=v"},
        TextCase{"key like comments", Plain, ";c#", "v", "\\x3bc#=v"},
        TextCase{"key with hash", Plain, "#c", "v", "\\x23c=v"},
        TextCase{"key with blanks", Plain, " k k ", "v", "\\x20k k\\x20=v"},
        TextCase{"key with backslash", Plain, "a\\b\"", "v", "a\\\\b\"=v"},
        TextCase{"section with brackets", "a]b[", "Key", "v", "[a\\x5db[]"},
        TextCase{"section with blanks", "  s ; t  ", "Key", "v", "[  s ; t  ]"},
        TextCase{"section path", "Software\\Quenlock", "Key", "v", "[Software\\\\Quenlock]"},
        TextCase{"section with line break", QString::fromUtf8("é\n中"), "Key", "v", QByteArray("[é\\n中]")}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        return QString::fromLatin1(info.param.what)
            .replace(QRegularExpression("[^A-Za-z]"), "_")
            .toStdString();
    });

// Texts written by hand or by earlier versions, and what they read as.
struct ReadCase {
    const char* what;
    QByteArray text;
    QString section;
    QString key;
    std::optional<QString> value;
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsAsExpected) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ParseIni(c.text).Value(c.section, c.key), c.value);
}

// As Qt's INI format wrote the program's Settings.ini.
const QByteArray QtSettings =
    "[FormTidyProperties]\nCheck.Checked=true\nCombo.ItemIndex=-1\nV1.Text=\"a;b\"\nV10.Text=tab\\there\n"
    "V11.Text=\xc3\xa9\xe2\x82\xac\nV12.Text=\nV14.Text=\\x1\\x31x\nV15.Text=C:\\\\new\\\\x41\n"
    "V16.Text=\\\"quoted\\\"\nV17.Text=@@at\nV7.Text=\" lead\"\nV9.Text=cr\\rlf\\n\n\n"
    "[TFormFTPSite]\nCBSiteName.Text=\"site; one\"\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, IniReadTest,
    ::testing::Values(
        ReadCase{"qt bool", QtSettings, "FormTidyProperties", "Check.Checked", "true"},
        ReadCase{"qt quoted", QtSettings, "FormTidyProperties", "V1.Text", "a;b"},
        ReadCase{"qt escape", QtSettings, "FormTidyProperties", "V10.Text", "tab\there"},
        ReadCase{"qt utf-8", QtSettings, "FormTidyProperties", "V11.Text", QString::fromUtf8("é€")},
        ReadCase{"qt empty", QtSettings, "FormTidyProperties", "V12.Text", ""},
        ReadCase{"qt hex", QtSettings, "FormTidyProperties", "V14.Text",
                 "\x01"
                 "1x"},
        ReadCase{"qt backslash", QtSettings, "FormTidyProperties", "V15.Text", "C:\\new\\x41"},
        ReadCase{"qt quotes", QtSettings, "FormTidyProperties", "V16.Text", "\"quoted\""},
        ReadCase{"qt at", QtSettings, "FormTidyProperties", "V17.Text", "@at"},
        ReadCase{"qt blank", QtSettings, "FormTidyProperties", "V7.Text", " lead"},
        ReadCase{"qt breaks", QtSettings, "FormTidyProperties", "V9.Text", "cr\rlf\n"},
        ReadCase{"qt other section", QtSettings, "tformftpsite", "cbsitename.text", "site; one"},
        ReadCase{"registry", "[Software\\\\Quenlock]\na\\x3db=x\\\\y\\nz\n", "software\\quenlock", "a=b",
                 "x\\y\nz"},
        ReadCase{"typed backslash", "[s]\nUserName=DOMAIN\\user\\\n", "s", "UserName", "DOMAIN\\user\\"},
        ReadCase{"typed blanks", "[s]\nPassword= two  \n", "s", "Password", " two  "},
        ReadCase{"blanks around key", "[s]\n\t key \t=v\n", "s", "key", "v"},
        ReadCase{"quotes within blanks", "[s]\nk=  \"x\"  \n", "s", "k", "x"},
        ReadCase{"unterminated quote", "[s]\nk=\"abc\n", "s", "k", "\"abc"},
        ReadCase{"escaped closing quote", "[s]\nk=\"abc\\\"\n", "s", "k", "\"abc\""},
        ReadCase{"quote in the middle", "[s]\nk=\"a\"b\"\n", "s", "k", "\"a\"b\""},
        ReadCase{"CR LF and BOM", "\xef\xbb\xbf[s]\r\nk=v\r\n", "s", "k", "v"},
        ReadCase{"lone CR", "[s]\rk=v\rj=w", "s", "j", "w"},
        ReadCase{"comments", "[s]\n;k=1\n  # j=2\nk=3 ;not a comment\n", "s", "k", "3 ;not a comment"},
        ReadCase{"commented key", "[s]\n;k=1\n", "s", ";k", std::nullopt},
        ReadCase{"first of twice", "[s]\nk=1\n[S]\nK=2\n", "s", "k", "1"},
        ReadCase{"merged section", "[s]\nk=1\n[t]\n[S]\nj=2\n", "s", "j", "2"},
        ReadCase{"text after header", "[s] ; note\nk=1\n", "s", "k", "1"},
        ReadCase{"no section", "k=1\n[s]\n", "", "k", std::nullopt},
        ReadCase{"broken header", "[s]\nk=1\n[t\nj=2\n", "s", "j", std::nullopt},
        ReadCase{"empty section name", "[]\nk=1\n", "", "k", "1"},
        ReadCase{"NUL bytes", QByteArray("[s]\nk=a\0b\n", 10), "s", "k", QString("a") + QChar(0) + "b"},
        ReadCase{"invalid UTF-8", "[s]\nk=\xff\n", "s", "k", QString(QChar(0xfffd))}),
    [](const ::testing::TestParamInfo<ReadCase>& info) {
        return QString::fromLatin1(info.param.what)
            .replace(QRegularExpression("[^A-Za-z]"), "_")
            .toStdString();
    });

TEST(IniFileTest, OrderIsFileOrderAndNamesMatchWithoutRegardToCase) {
    test::TempFolder folder;
    const QString path = folder.Write("order.ini", "[Zeta]\nb=1\na=2\n[alpha]\nC=3\n");
    TIniFile file(path);
    ASSERT_TRUE(file.WriteString("ZETA", "B", "changed"));
    ASSERT_TRUE(file.WriteString("Alpha", "new", "4"));
    ASSERT_TRUE(file.WriteString("Mid", "x", "5"));
    EXPECT_EQ(folder.Read("order.ini"), "[Zeta]\nb=changed\na=2\n\n[alpha]\nC=3\nnew=4\n\n[Mid]\nx=5\n\n");
    EXPECT_TRUE(file.SectionExists("ALPHA"));
    EXPECT_TRUE(file.ValueExists("alpha", "c"));
    ASSERT_TRUE(file.DeleteKey("zeta", "A"));
    ASSERT_TRUE(file.EraseSection("mid"));
    EXPECT_EQ(folder.Read("order.ini"), "[Zeta]\nb=changed\n\n[alpha]\nC=3\nnew=4\n\n");
}

TEST(IniFileTest, NumbersAndBooleansReadLikeQtsFormatAndFallBackOnJunk) {
    test::TempFolder folder;
    TIniFile file(folder.Write("n.ini", "[s]\nt=TRUE\nf=false\none=1\nzero= 0\nn= -42 \njunk=yes\n"));
    EXPECT_TRUE(file.ReadBool("s", "t", false));
    EXPECT_FALSE(file.ReadBool("s", "f", true));
    EXPECT_TRUE(file.ReadBool("s", "one", false));
    EXPECT_FALSE(file.ReadBool("s", "zero", true));
    EXPECT_TRUE(file.ReadBool("s", "junk", true));
    EXPECT_FALSE(file.ReadBool("s", "missing", false));
    EXPECT_EQ(file.ReadInteger("s", "n", 7), -42);
    EXPECT_EQ(file.ReadInteger("s", "junk", 7), 7);
    ASSERT_TRUE(file.WriteBool("s", "w", true));
    ASSERT_TRUE(file.WriteInteger("s", "i", -3));
    EXPECT_EQ(file.ReadString("s", "w"), "true");
    EXPECT_EQ(file.ReadString("s", "i"), "-3");
}

// The program's own files hold passwords: a file it makes is its owner's only.
TEST(IniFileTest, ANewFileIsForItsOwnerAndAnExistingOneKeepsItsPermissions) {
    test::TempFolder folder;
    const QString made = folder.Path("made.ini");
    ASSERT_TRUE(TIniFile(made).WriteString("s", "k", "v"));
    const auto others =
        QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(made) & others, QFile::Permissions());

    const QString shared = folder.Write("shared.ini", "[s]\n");
    QFile::setPermissions(shared, QFile::permissions(shared) | QFile::ReadOther);
    ASSERT_TRUE(TIniFile(shared).WriteString("s", "k", "v"));
    EXPECT_TRUE(QFile::permissions(shared) & QFile::ReadOther);
}

TEST(IniFileTest, AFailedWriteReportsFailureAndLeavesTheOldFile) {
    test::TempFolder folder;
    const QByteArray old = "[s]\nk=old\n";
    const QString path = folder.Write("s.ini", old);
    {
        const test::ScopedFileSizeLimit limit(64);
        EXPECT_FALSE(TIniFile(path).WriteString("s", "k", QString(1000, 'x')));
    }
    EXPECT_EQ(folder.Read("s.ini"), old);
    EXPECT_FALSE(TIniFile(folder.Path("no/such/folder/s.ini")).WriteString("s", "k", "v"));
    EXPECT_FALSE(TIniFile(path + "/below-a-file.ini").WriteString("s", "k", "v"));
}

TEST(IniFileTest, AFileTooLargeToReadIsNeverOverwritten) {
    test::TempFolder folder;
    QByteArray huge = "[s]\nk=" + QByteArray(MaxIniFileBytes, 'x') + "\n";
    const QString path = folder.Write("huge.ini", huge);
    IniDocument document;
    EXPECT_FALSE(ReadIniFile(path, document));
    EXPECT_TRUE(document.Sections.isEmpty());
    TIniFile file(path);
    EXPECT_EQ(file.ReadString("s", "k", "fallback"), "fallback");
    EXPECT_FALSE(file.WriteString("s", "k", "v"));
    EXPECT_FALSE(file.EraseSection("s"));
    EXPECT_EQ(QFileInfo(path).size(), huge.size());

    EXPECT_TRUE(ReadIniFile(folder.Path("missing.ini"), document));
    EXPECT_TRUE(document.Sections.isEmpty());
}

// What a fuzzer checks: any bytes parse, and what they parse to is written so that it parses
// back the same.
void ExpectStableRoundTrip(const QByteArray& bytes) {
    const IniDocument parsed = ParseIni(bytes);
    const QByteArray written = WriteIni(parsed);
    const IniDocument again = ParseIni(written);
    EXPECT_TRUE(again == parsed) << "input: " << bytes.toPercentEncoding().constData()
                                 << "\nwritten: " << written.toPercentEncoding().constData();
    EXPECT_EQ(WriteIni(again), written);
}

TEST(IniFileTest, HostileBytesParseAndRoundTrip) {
    ExpectStableRoundTrip(QByteArray(1024 * 1024, 'a'));               // one line of 1 MB
    ExpectStableRoundTrip("[s]\nk=" + QByteArray(1024 * 1024, '\\'));  // 1 MB of backslashes
    ExpectStableRoundTrip("[s]\nk=\"" + QByteArray(1024 * 1024, '"') + "\n");
    ExpectStableRoundTrip("[" + QByteArray(1024 * 1024, '['));
    QByteArray manySections;
    for (int i = 0; i < 100000; ++i) manySections += "[s" + QByteArray::number(i % 5000) + "]\nk=v\n";
    ExpectStableRoundTrip(manySections);
    QByteArray binary(64 * 1024, '\0');
    QRandomGenerator junk(7);
    for (char& byte : binary) byte = char(junk.bounded(256));
    ExpectStableRoundTrip(binary);
    ExpectStableRoundTrip("[s]\n" + binary);

    // Short lines of the characters the format gives a meaning to, in many orders.
    static const char meaningful[] = "[]=\"\\;# \t\r\nax01@\xc3\xa9\xff";
    const QByteArray alphabet(meaningful, sizeof meaningful);  // the closing '\0' is one of them
    QRandomGenerator random(1);
    for (int round = 0; round < 20000; ++round) {
        QByteArray text = "[s]\n";
        const int length = int(random.bounded(24));
        for (int i = 0; i < length; ++i) text += alphabet[int(random.bounded(alphabet.size()))];
        ExpectStableRoundTrip(text);
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace plovane
