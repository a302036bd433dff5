#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>

#include "components/RtfReader.h"

namespace plovane {
namespace {

QString PlainTextOf(const QByteArray& rtf) {
    QTextDocument document;
    ReadRTF(rtf, document);
    return document.toPlainText();
}

TEST(RtfReaderTest, ReadsTheTextOfWellAndBadlyFormedRtf) {
    struct Case {
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {R"({\rtf1{\fonttbl{\f0\fcharset1 Arial;}}{\colortbl\red0\green0\blue0;}\plain\f0\fs20\cf0 a\par b\par })",
         "a\nb"},
        {R"({\rtf1 a\par \par })", "a\n"},
        {R"({\rtf1 \{x\}\\ caf\'e9 \u8364?\u-3?\'4})",
         "{x}\\ caf\xc3\xa9 \xe2\x82\xac\xef\xbf\xbd"
         "4"},
        {R"({\rtf1 {\*\generator skip me;}{\info{\title no}}shown\tab x\~y})", "shown\tx y"},
        {R"({\rtf1 unbalanced}}} text {{{ more)", "unbalanced text  more"},
        {R"({\rtf1 \fs99999999999999999999 \cf-5 \f77 x\)", "x"},
        {R"(\u)", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainTextOf(c.rtf), QString::fromUtf8(c.text)) << c.rtf;
}

TEST(RtfReaderTest, AppliesFontSizeColourAndStyleAndTurnsThemOff) {
    QTextDocument document;
    ReadRTF(R"({\rtf1{\fonttbl{\f0\fcharset1 Arial;}{\f1\fcharset0 Courier New;}})"
            R"({\colortbl\red255\green0\blue0;\red0\green0\blue255;})"
            R"(\plain\f1\fs30\cf1\b\i\ul\strike A\b0\i0\ul0\strike0 B\plain\f0\fs20\cf0 C})",
            document);
    std::vector<QTextCharFormat> formats;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) formats.push_back(it.fragment().charFormat());
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0].fontFamilies().toStringList(), QStringList({"Courier New"}));
    EXPECT_EQ(formats[0].fontPointSize(), 15);
    EXPECT_EQ(formats[0].foreground().color(), QColor(0, 0, 255));
    EXPECT_TRUE(formats[0].fontWeight() >= QFont::Bold && formats[0].fontItalic() &&
                formats[0].fontUnderline() && formats[0].fontStrikeOut());
    EXPECT_FALSE(formats[1].fontWeight() >= QFont::Bold || formats[1].fontItalic() ||
                 formats[1].fontUnderline() || formats[1].fontStrikeOut());
    EXPECT_EQ(formats[2].fontFamilies().toStringList(), QStringList({"Arial"}));
    EXPECT_EQ(formats[2].fontPointSize(), 10);
    EXPECT_EQ(formats[2].foreground().color(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace plovane
