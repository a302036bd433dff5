#include <gtest/gtest.h>

#include "dom/QelColorText.h"
#include "dom/QelHTMLText.h"
#include "platform/Errors.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

TEST(ColorTextTest, WritesLowerCaseDigitsAndReadsLeniently) {
    EXPECT_EQ(ColorToHtmlText(QColor(255, 0, 0)), "ff0000");
    EXPECT_EQ(ColorToHtmlText(QColor::fromHsv(0, 255, 255)), "ff0000");  // any colour model
    const std::pair<const char*, QColor> cases[] = {
        {"ff0000", QColor(255, 0, 0)}, {"#FF8000", QColor(255, 128, 0)},
        {"", QColor(0, 0, 0)},         {"red", QColor(237, 0, 0)},
        {"#FFF", QColor(255, 15, 0)},  {"12 34 56 78", QColor(0x12, 0x34, 0x56)},
    };
    for (const auto& [text, colour] : cases) EXPECT_EQ(HtmlTextToColor(text), colour) << text;
}

TEST(ColorTextTest, ReadsTheEngineRgbForm) {
    const std::pair<const char*, QColor> cases[] = {
        {"rgb(18, 52, 86)", QColor(18, 52, 86)},
        {"RGB( 1 ,2,3 )", QColor(1, 2, 3)},
        {"rgba(255, 128, 0, 0.5)", QColor(255, 128, 0)},
        {"rgb(255 0 0 / 50%)", QColor(255, 0, 0)},
        {"rgb(100%, 50%, 0%)", QColor(255, 128, 0)},
        {"rgb(300, -4, 12.6)", QColor(255, 0, 13)},
        {"rgb(1, 2)", QColor(0xb1, 0x02, 0)},  // not the form: the lenient hex reading ("b12")
    };
    for (const auto& [text, colour] : cases) EXPECT_EQ(HtmlTextToColor(text), colour) << text;
}

TEST(MarkupTextTest, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(QuoteAttrValue("my_applet.class"), "my_applet.class");
    EXPECT_EQ(QuoteAttrValue(""), "");
    EXPECT_EQ(QuoteAttrValue("100%"), "\"100%\"");
    EXPECT_EQ(QuoteAttrValue("say \"hi\""), "\"say \"hi\"\"");
    EXPECT_EQ(AttrText("", "x"), "");
    EXPECT_EQ(AttrText("checked", ""), " checked");
    EXPECT_EQ(AttrText("width", "50%"), " width=\"50%\"");
    EXPECT_EQ(StartTagText("IMG", AttrText("src", "a b.gif") + AttrText("border", "0")),
              "<IMG  src=\"a b.gif\" border=0>");
    EXPECT_EQ(StartTagText("", " x=1"), "");
    EXPECT_EQ(ParamTagText("my name", "1 2"), "<PARAM name=my name value=\"1 2\">");
}

TEST(UrlDecodeTest, DecodesEscapesPlusAndUtf8) {
    const std::pair<const char*, QString> cases[] = {
        {"/home/a%20b/c+d.htm", "/home/a b/c d.htm"},
        {"100%%", "100%"},
        {"caf%C3%A9", QString::fromUtf8("café")},
        {"caf%E9", QString::fromLatin1("caf\xe9")},  // not UTF-8: the byte is taken as Latin-1
        {"ends%4", "ends%4"},                        // "%" among the last two characters stays
        {"ends%", "ends%"},
        {"caf%C3%A9%E9", QString::fromLatin1("caf\xc3\xa9\xe9")},  // one run of escapes, read as a whole
        // Characters beyond U+FFFF and beside escapes that are not UTF-8 stay as written.
        {"/\xF0\x9F\x98\x80 \xC3\xA9/%E9", QString::fromUtf8("/\xF0\x9F\x98\x80 \xC3\xA9/\xC3\xA9")},
    };
    for (const auto& [text, decoded] : cases) EXPECT_EQ(UrlDecode(text), decoded) << text;
}

TEST(UrlDecodeTest, AMalformedEscapeAbandonsNamingIt) {
    try {
        UrlDecode("/a%zzb");
        FAIL() << "no error";
    } catch (const AbortCommand& e) {
        EXPECT_TRUE(e.Text().contains("%zz")) << e.Text().toStdString();
    }
}

TEST(LetterCaseTest, ChangesAsciiLettersAndKeepsNbspLowerCase) {
    EXPECT_EQ(UpperCaseHtml("a&nbsp;b <i class=x>é</i>"), "A&nbsp;B <I CLASS=X>é</I>");
    EXPECT_EQ(LowerCaseHtml("A&NBSP;B <B>Ü</B>"), "a&nbsp;b <b>Ü</b>");
}

TEST(PlainTextTest, Helpers) {
    EXPECT_FALSE(IsEmptyText("  "));
    EXPECT_TRUE(IsEmptyText(""));
    EXPECT_EQ(ReplaceAllNoCase("Ab ab AB", "ab", "x"), "x x x");
    EXPECT_EQ(FreePlaceholder("text {1} and {3}"), "{2}");
    EXPECT_EQ(FreePlaceholder(""), "{1}");

    const SplitText found = SplitAtChar("name=value=2", '=');
    EXPECT_EQ(found.position, 5);
    EXPECT_EQ(found.before, "name");
    EXPECT_EQ(found.after, "value=2");
    const SplitText absent = SplitAtChar("plain", '=');
    EXPECT_EQ(absent.position, 0);
    EXPECT_EQ(absent.before, "plain");
    EXPECT_EQ(absent.after, "plain");

    EXPECT_EQ(ExtractQuotedText("'it''s' rest", '\''), "it's");
    EXPECT_EQ(ExtractQuotedText("'open end", '\''), "open end");
    EXPECT_EQ(ExtractQuotedText("no quote", '\''), "");
}

TEST(PlainTextTest, SaveTextToFileOverwritesAndReportsFailure) {
    test::TempFolder folder;
    const QString path = folder.Write("t.htm", "old and longer");
    SaveTextToFile("new", path);
    EXPECT_EQ(folder.Read("t.htm"), "new");
    EXPECT_THROW(SaveTextToFile("x", folder.Path("missing/t.htm")), AbortCommand);
}

}  // namespace
}  // namespace plovane
