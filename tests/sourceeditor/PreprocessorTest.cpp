#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "platform/Errors.h"
#include "sourceeditor/QelPreprocessor.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

class PreprocessorTest : public ::testing::Test {
protected:
    test::TempFolder site;
    QString Index() const { return site.Path("index.htm"); }
};

TEST_F(PreprocessorTest, SubstitutesVariablesAndObeysDefineAndUndef) {
    struct Case {
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {"Saved as $FileName$, $filename$ ($FILEEXT$)", "Saved as index.htm, index.htm (.htm)\r\n"},
        {"#define COLOR red\r\nCOLOR and color", "red and red\r\n"},
        {"   #define A b\r\n\t# DEFINE B c=d\r\nA B", "c=d c=d\r\n"},  // later pairs see earlier results
        {"#define X\r\nx y", "X y\r\n"},
        {"#define X\r\nx\r\n#undef X\r\nx", "X\r\nx\r\n"},
        // The directive line is substituted first, so "#undef A" names the value and removes nothing.
        {"#define A b\r\n#undef A\r\nA", "b\r\n"},
        {"#define NUM 1\r\n#if NUM\r\n#undef other\r\n#", "#if 1\r\n#\r\n"},
        {"a\rb\nc\r\n\r\nd", "a\r\nb\r\nc\r\n\r\nd\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Preprocess(c.text, Index()), c.result) << c.text;
}

TEST_F(PreprocessorTest, FileVariablesFollowTheFileName) {
    EXPECT_EQ(Preprocess("$FilePath$|$FileName$|$FileExt$", "/site/sub/page.tar.gz"),
              "/site/sub/|page.tar.gz|.gz\r\n");
    EXPECT_EQ(Preprocess("$FilePath$|$FileName$|$FileExt$", "Untitled"), "|Untitled|\r\n");
}

TEST_F(PreprocessorTest, DateAndTimeComeFirstInTheLocaleFormats) {
    const VariableTable table = VariableTable::WithDateAndTime();
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Name(0), "$Time$");
    EXPECT_EQ(table.Name(1), "$DateTime$");
    EXPECT_EQ(table.Name(2), "$Date$");
    EXPECT_EQ(table.Value(2), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_TRUE(table.Value(1).startsWith(table.Value(2)));
}

TEST_F(PreprocessorTest, IncludesRelativeToTheIncludingFileWithItsOwnFileVariables) {
    site.Write("footer.htm", "f $FileName$\r\n#define COLOR blue\r\nf2");
    site.Write("sub/part.htm", "in $FilePath$");
    const QString text =
        "a $FileName$\r\n#include \"footer.htm\" ignored\r\nb $FileName$ COLOR\r\n"
        "#include \"$FilePath$sub/part.htm\"";
    EXPECT_EQ(Preprocess(text, Index()),
              "a index.htm\r\nf footer.htm\r\nf2\r\n\r\nb index.htm blue\r\n"
              "in " +
                  site.Path("sub/") + "\r\n\r\n");
}

TEST_F(PreprocessorTest, IncludesThatCannotBeReadStopTheRunNamingTheFile) {
    site.Write("footer.htm", "f");
    site.Write("loop.htm", "x\r\n#include \"loop.htm\"");
    site.Write("q\"uote.htm", "quoted");
    EXPECT_EQ(Preprocess("#include \"q\"\"uote.htm\"", Index()), "quoted\r\n\r\n");
    struct Case {
        const char* text;
        QString named;
    };
    const Case cases[] = {
        {"#include $FilePath$footer.htm", site.Root()},
        {"#include \"missing.htm\"", site.Path("missing.htm")},
        {"#include \"loop.htm\"", site.Path("loop.htm")},
    };
    for (const Case& c : cases) {
        try {
            Preprocess(c.text, Index());
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const AbortCommand& error) {
            EXPECT_TRUE(error.Text().contains(c.named)) << error.Text().toStdString();
        }
    }
}

// Variables can multiply a short text without end; the run stops before memory runs out.
TEST_F(PreprocessorTest, TextThatGrowsBeyondTheLimitStopsTheRunNamingTheFile) {
    QString doubling = "#define v0 xx\n";
    for (int i = 1; i < 40; ++i) doubling += QStringLiteral("#define v%1 v%2v%2\n").arg(i).arg(i - 1);
    const QString big = "#define big " + QString(MaxPreprocessedLength / 8, QLatin1Char('x')) + "\n";
    const QString manyUses = big + QString("big").repeated(9);
    const QString manyLines = big + QString("big\n").repeated(9);
    site.Write("part.htm", (big + "big\nbig\n").toUtf8());
    const QString throughIncludes = "#include \"part.htm\"\n#include \"part.htm\"\n#include \"part.htm\"\n";
    for (const QString& text : {doubling, manyUses, manyLines, throughIncludes}) {
        try {
            Preprocess(text, Index());
            ADD_FAILURE() << "no error for " << text.left(40).toStdString();
        } catch (const AbortCommand& error) {
            EXPECT_TRUE(error.Text().contains("longer than") &&
                        (error.Text().contains("index.htm") || error.Text().contains("part.htm")))
                << error.Text().toStdString();
        }
    }
    EXPECT_EQ(Preprocess(big + "big", Index()).size(), MaxPreprocessedLength / 8 + 2);
}

TEST_F(PreprocessorTest, ATextWithoutAFolderIncludesFromTheHomeFolder) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", site.Root().toUtf8());
    site.Write("part.htm", "from home");
    const QString result = Preprocess("#include \"part.htm\"", "Untitled.htm");
    qputenv("HOME", home);
    EXPECT_EQ(result, "from home\r\n\r\n");
}

}  // namespace
}  // namespace plovane
