#include <gtest/gtest.h>

#include <QHash>
#include <QRegularExpression>

#include "platform/Errors.h"
#include "platform/Translation.h"
#include "tidy/TidyRun.h"

namespace plovane {
namespace {

// A Tidy document for reading options back; released with the object.
struct Document {
    Document() : doc(tidyCreate()) {
        TidyOutputSink quiet;
        if (tidyInitSink(&quiet, this, [](void*, byte) {})) tidySetErrorSink(doc, &quiet);
    }
    ~Document() { tidyRelease(doc); }
    bool Flag(TidyOptionId id) const {
        const TidyOption option = tidyGetOption(doc, id);
        if (tidyOptGetType(option) == TidyBoolean) return tidyOptGetBool(doc, id);
        return tidyOptGetInt(doc, id) == 1;
    }
    QString Encoding(TidyOptionId id) const { return QString::fromLatin1(tidyOptGetEncName(doc, id)); }
    const TidyDoc doc;
};

// The page has one finding on line 12: the stray end tag at column 5.
const char* const kTwelveLines =
    "<!DOCTYPE html>\n<html>\n<head>\n<title>t</title>\n</head>\n<body>\n"
    "<p>one</p>\n<p>two</p>\n<p>three</p>\n<p>four</p>\n<p>five</p>\n    </div>\n</body>\n</html>\n";

TEST(ApplyTidyOptionsTest, WrapOptionsAreSetOnlyWhenWrappingIsOn) {
    TidyOptions options;
    options.wrapAsp = false;  // Tidy's own default is yes
    options.wrapAttributes = true;
    {
        Document off;
        ApplyTidyOptions(off.doc, options);
        EXPECT_EQ(tidyOptGetInt(off.doc, TidyWrapLen), 0u);
        EXPECT_TRUE(off.Flag(TidyWrapAsp));
        EXPECT_FALSE(off.Flag(TidyWrapAttVals));
    }
    options.wrapEnabled = true;
    options.wrapWidth = "72";
    Document on;
    ApplyTidyOptions(on.doc, options);
    EXPECT_EQ(tidyOptGetInt(on.doc, TidyWrapLen), 72u);
    EXPECT_FALSE(on.Flag(TidyWrapAsp));
    EXPECT_TRUE(on.Flag(TidyWrapAttVals));
}

TEST(ApplyTidyOptionsTest, AltTextOnlyWhenTickedAndTabSizeOnlyWhenChosen) {
    TidyOptions options;
    options.altText = "picture";
    options.tabSize.reset();
    Document plain;
    ApplyTidyOptions(plain.doc, options);
    EXPECT_EQ(tidyOptGetValue(plain.doc, TidyAltText), nullptr);
    EXPECT_EQ(tidyOptGetInt(plain.doc, TidyTabSize), 8u);  // Tidy's own

    options.altTextEnabled = true;
    options.tabSize = 4;
    Document set;
    ApplyTidyOptions(set.doc, options);
    EXPECT_STREQ(tidyOptGetValue(set.doc, TidyAltText), "picture");
    EXPECT_EQ(tidyOptGetInt(set.doc, TidyTabSize), 4u);
}

TEST(ApplyTidyOptionsTest, ARefusedValueStopsTheRestOfTheChain) {
    TidyOptions options;
    options.inputEncoding = "klingon";
    options.outputEncoding = "latin1";
    Document document;
    ApplyTidyOptions(document.doc, options);
    EXPECT_TRUE(document.Flag(TidyUpperCaseTags));              // set before the refusal
    EXPECT_EQ(document.Encoding(TidyOutCharEncoding), "utf8");  // never reached
    EXPECT_FALSE(document.Flag(TidyForceOutput));
}

TEST(ApplyTidyOptionsTest, UnchosenEncodingsAndAnEmptyWrapWidthAbandonTheRun) {
    struct Case {
        TidyOptions options;
        QString message;
    };
    TidyOptions noInput, noOutput, noWidth;
    noInput.inputEncoding.clear();
    noOutput.outputEncoding.clear();
    noWidth.wrapEnabled = true;
    noWidth.wrapWidth.clear();
    const Case cases[] = {{noInput, "Invalid Input encoding"},
                          {noOutput, "Invalid Output encoding"},
                          {noWidth, "'' is not a valid integer value"}};
    for (const Case& c : cases) {
        try {
            RunTidy("<p>x</p>", c.options);
            ADD_FAILURE() << "no error for " << c.message.toStdString();
        } catch (const AbortCommand& error) {
            EXPECT_EQ(error.Text(), c.message);
        }
    }
}

TEST(RunTidyTest, AWarningBecomesAReportLineThatParsesBack) {
    const TidyResult result = RunTidy(kTwelveLines, TidyOptions{});
    ASSERT_TRUE(result.success);
    EXPECT_EQ(result.report, "Line 12, Column 5 - Warninig: discarding unexpected </div>\r\n");

    const auto position = ParseReportLine(result.report.trimmed());
    ASSERT_TRUE(position);
    EXPECT_EQ(position->line, 12);
    EXPECT_EQ(position->column, 5);
    EXPECT_EQ(position->message, "Warninig: discarding unexpected </div>");
}

TEST(RunTidyTest, AMessageIsCutAtItsFirstHyphenWhileLineAndColumnStay) {
    const TidyResult result = RunTidy(
        "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n<p foo-bar=\"1\">y</p>\n</body></html>",
        TidyOptions{});
    const QStringList lines = result.report.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << result.report.toStdString();
    EXPECT_EQ(lines[0], "Line 3, Column 1 - Warninig: <p> proprietary attribute \"foo-bar\"");
    const auto position = ParseReportLine(lines[0]);
    ASSERT_TRUE(position);
    EXPECT_EQ(position->line, 3);
    EXPECT_EQ(position->column, 1);
    EXPECT_EQ(position->message, "Warninig: <p> proprietary attribute \"foo");
}

TEST(RunTidyTest, ADocumentWithErrorsStillGivesCleanedText) {
    const TidyResult result = RunTidy("<html><body>\n<my-tag>x</my-tag><p>kept</body>", TidyOptions{});
    EXPECT_TRUE(result.success);
    EXPECT_TRUE(result.report.contains("Line 2, Column 1 - Error: <my-tag> is not recognized!\r\n"))
        << result.report.toStdString();
    EXPECT_TRUE(result.cleanedText.contains("<P>\n      kept\n    </P>") ||
                result.cleanedText.contains("<P>kept</P>"))
        << result.cleanedText.toStdString();
}

TEST(RunTidyTest, ErrorsWithoutOutputMakeAFailedRun) {
    TidyOptions refused;
    refused.inputEncoding = "klingon";  // the chain stops before force-output
    const TidyResult failed = RunTidy("<html><body>\n<my-tag>x</my-tag></body>", refused);
    EXPECT_FALSE(failed.success);
    EXPECT_TRUE(failed.cleanedText.isEmpty());
    EXPECT_TRUE(failed.report.contains("Error: <my-tag> is not recognized!"));

    const TidyResult warnings = RunTidy("<p>fine</p>", refused);  // warnings alone still write
    EXPECT_TRUE(warnings.success);
    EXPECT_TRUE(warnings.cleanedText.contains("fine"));
}

TEST(RunTidyTest, TheCleaningOptionsTakeEffect) {
    const QString page =
        "<html><head><title>t</title></head><body><p><font color=\"red\">x</font></p><p></p>"
        "</body></html>";
    const TidyResult cleaned = RunTidy(page, TidyOptions{});
    EXPECT_FALSE(cleaned.cleanedText.contains("<FONT")) << cleaned.cleanedText.toStdString();
    EXPECT_TRUE(cleaned.cleanedText.contains("color: red"));
    EXPECT_FALSE(cleaned.cleanedText.contains("<P></P>"));
    EXPECT_TRUE(cleaned.cleanedText.contains("<BODY>"));

    TidyOptions keep;
    keep.makeClean = keep.upperCaseTags = keep.upperCaseAttributes = keep.dropEmptyParas = false;
    const TidyResult kept = RunTidy(page, keep);
    EXPECT_TRUE(kept.cleanedText.contains("<font color=\"red\">x</font>")) << kept.cleanedText.toStdString();
    EXPECT_TRUE(kept.cleanedText.contains("<p></p>"));
}

// Character references in the forms Tidy or the fixtures write, decoded; any other name stays as
// written, so it shows up as a difference.
QString DecodeReferences(const QString& html) {
    static const QRegularExpression reference("&(#[xX][0-9a-fA-F]+|#[0-9]+|[A-Za-z]+);");
    const QHash<QString, QString> named = {{"nbsp", QString(QChar(0xA0))},
                                           {"copy", "\u00A9"},
                                           {"eacute", "\u00E9"},
                                           {"amp", "&"},
                                           {"lt", "<"},
                                           {"gt", ">"},
                                           {"quot", "\""}};
    QString out;
    qsizetype last = 0;
    for (auto it = reference.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += html.mid(last, match.capturedStart() - last);
        last = match.capturedEnd();
        const QString name = match.captured(1);
        if (name.startsWith('#')) {
            const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            const char32_t code = name.mid(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10);
            out += QString::fromUcs4(&code, 1);
        } else {
            out += named.value(name, match.captured(0));
        }
    }
    return out + html.mid(last);
}

// What "bare" is documented to change: non-breaking spaces and typographic quotes and dashes.
QString Bare(QString text) {
    text.replace(QChar(0xA0), ' ').replace(QChar(0x2013), '-').replace(QChar(0x2014), '-');
    for (const char16_t quote : {u'\u2018', u'\u2019', u'\u201A'}) text.replace(QChar(quote), '\'');
    for (const char16_t quote : {u'\u201C', u'\u201D', u'\u201E'}) text.replace(QChar(quote), '"');
    return text;
}

struct CharactersCase {
    const char* name;
    const char* html;     // the page fragment Tidy gets
    const char* meaning;  // what the cleaned page must hold once references are decoded
};
void PrintTo(const CharactersCase& c, std::ostream* out) { *out << c.name; }
class RunTidyCharactersTest : public ::testing::TestWithParam<CharactersCase> {};

TEST_P(RunTidyCharactersTest, SurviveEveryEncodingOptionWithAndWithoutBare) {
    const CharactersCase& c = GetParam();
    const QString meaning = DecodeReferences(QString::fromUtf8(c.meaning));
    for (const QString& input : TidyEncodingNames()) {
        for (const QString& output : TidyEncodingNames()) {
            for (const bool bare : {false, true}) {
                TidyOptions options;
                options.inputEncoding = input;
                options.outputEncoding = output;
                options.makeBare = bare;
                const TidyResult result = RunTidy(QString::fromUtf8(c.html), options);
                ASSERT_TRUE(result.success);
                const QString cleaned = DecodeReferences(result.cleanedText);
                const QString expected = bare ? Bare(meaning) : meaning;
                EXPECT_FALSE(result.cleanedText.contains(QChar::ReplacementCharacter));
                EXPECT_TRUE((bare ? Bare(cleaned) : cleaned).contains(expected))
                    << input.toStdString() << " -> " << output.toStdString() << (bare ? " bare" : "") << ":\n"
                    << result.cleanedText.toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RunTidyCharactersTest,
    ::testing::Values(
        CharactersCase{"Mixed", "<p>voilà Š Рус † | &copy; &eacute; &#8364;</p>",
                       "voilà Š Рус † | &copy; &eacute; &#8364;"},
        CharactersCase{"AccentedLatin", "<p>àáâãäå çèéêë ìíîï ñòóôõö ùúûüý ÿ ÀÉÎÕÜ ß æø</p>",
                       "àáâãäå çèéêë ìíîï ñòóôõö ùúûüý ÿ ÀÉÎÕÜ ß æø"},
        CharactersCase{"LatinExtended", "<p>Šš Žž Łł Őő Ćč Ğğ İı Œœ Ÿ ŉ ǅ</p>",
                       "Šš Žž Łł Őő Ćč Ğğ İı Œœ Ÿ ŉ ǅ"},
        CharactersCase{"Cyrillic", "<p>Русский текст: съешь же ещё этих булок</p>",
                       "Русский текст: съешь же ещё этих булок"},
        CharactersCase{"Cjk", "<p>日本語のテキスト 中文 한국어</p>", "日本語のテキスト 中文 한국어"},
        CharactersCase{"Astral", "<p>😀 🎉 𝄞 𠀋</p>", "😀 🎉 𝄞 𠀋"},
        CharactersCase{"Symbols", "<p>† ‡ € £ ¥ © ® ™ § ¶ ° ± × ÷ “q” ‘q’ – — …</p>",
                       "† ‡ € £ ¥ © ® ™ § ¶ ° ± × ÷ “q” ‘q’ – — …"},
        CharactersCase{"Entities", "<p>a&nbsp;b &copy; &eacute; &#8364; &#x1F600; &#1056;</p>",
                       "a&nbsp;b &copy; &eacute; &#8364; &#x1F600; &#1056;"},
        CharactersCase{"Attribute", "<p title=\"é€Р😀 &copy;\">x</p>", "é€Р😀 &copy;"},
        CharactersCase{"Script", "<script>var s = \"é€Р😀\";</script><p>x</p>", "var s = \"é€Р😀\";"},
        CharactersCase{"Comment", "<!-- é€Р😀 --><p>x</p>", "é€Р😀"}),
    [](const ::testing::TestParamInfo<CharactersCase>& info) { return std::string(info.param.name); });

TEST(RunTidyTest, TheOutputEncodingStillNamesThePageCharset) {
    const QString page =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
        "<title>t</title></head><body><p>é</p></body></html>";
    struct Case {
        const char* output;
        const char* charset;
    };
    for (const Case& c :
         {Case{"raw", "iso-8859-1"}, Case{"utf8", "utf-8"}, Case{"win1252", "windows-1252"}}) {
        TidyOptions options;
        options.outputEncoding = c.output;
        const QString cleaned = RunTidy(page, options).cleanedText;
        EXPECT_TRUE(cleaned.contains(QString("charset=") + c.charset))
            << c.output << ": " << cleaned.toStdString();
        EXPECT_TRUE(cleaned.contains("<P>é</P>")) << cleaned.toStdString();
    }
}

TEST(RunTidyTest, TextAfterANulCharacterIsKept) {
    const TidyResult result = RunTidy(QString("<p>ab") + QChar(0) + "cd</p><p>after</p>", TidyOptions{});
    EXPECT_TRUE(result.cleanedText.contains("cd</P>")) << result.cleanedText.toStdString();
    EXPECT_TRUE(result.cleanedText.contains("after"));
    EXPECT_TRUE(RunTidy(QString(), TidyOptions{}).success);
}

TEST(RunTidyTest, AHostileTranslatedFormatIsFilledSafely) {
    SetLanguage(
        LanguageTable::FromText("<//STRING_TABLE-x>\n"
                                "E=Line %d, Column %d - %s: %s\nT=%s %n %x %s %d %s %s %s %s %%\n"
                                "E=Warninig\nT=Aviso\n"));
    const QString line = TidyReportLine(TidyWarning, 7, 3, "text");
    SetLanguage(LanguageTable());
    EXPECT_EQ(line, "7 %n %x 3 Aviso text    %");
    EXPECT_EQ(TidyReportLine(TidyReportLevel(999), 1, 2, "m"), "Line 1, Column 2 - : m");
}

struct ParseCase {
    const char* line;
    bool parses;
    int lineNumber;
    int column;
    const char* message;
};
class ParseReportLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseReportLineTest, FollowsTheThreePieceRule) {
    const ParseCase& c = GetParam();
    const auto position = ParseReportLine(c.line);
    ASSERT_EQ(position.has_value(), c.parses) << c.line;
    if (!position) return;
    EXPECT_EQ(position->line, c.lineNumber);
    EXPECT_EQ(position->column, c.column);
    EXPECT_EQ(position->message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseReportLineTest,
    ::testing::Values(ParseCase{"Line 12, Column 5 - Warninig: text", true, 12, 5, "Warninig: text"},
                      ParseCase{"Line 1, Column 2 - Error: a, b", true, 1, 2, "Error: a"},
                      ParseCase{"Linea 3, Columna 4 - Aviso: x", true, 3, 4, "Aviso: x"},
                      ParseCase{"Line 1, Column 2", false, 0, 0, ""},
                      ParseCase{"Line x, Column 2 - Error: m", false, 0, 0, ""},
                      ParseCase{"Line 1, Column - Error: m", false, 0, 0, ""},
                      ParseCase{"HTML Tidy Completed. Click [Undo] to return to your original source.", false,
                                0, 0, ""},
                      ParseCase{"", false, 0, 0, ""}));

}  // namespace
}  // namespace plovane
