#include <gtest/gtest.h>

#include <QIODevice>
#include <QTextBlock>
#include <QTextEdit>

#include "sourceeditor/QelRTF.h"

namespace plovane {
namespace {

const QString EmptyTables = R"({\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl}{\colortbl})";

TEST(RTFProducerTest, AnEmptyProducerGivesTheHeaderWithEmptyTables) {
    TJclRTFProducer producer;
    EXPECT_EQ(producer.GetRTF(), EmptyTables + R"(\par })");
    EXPECT_EQ(producer.GetRTFStream()->readAll(), (EmptyTables + R"(\par })").toLatin1());
}

TEST(RTFProducerTest, ConvertsEachCharacterOfTheText) {
    struct Case {
        QString text;
        QString rtf;
    };
    const Case cases[] = {
        {"a{b}\\c", R"(a\{b\}\\c)"},
        {"\t", R"(\'09)"},
        {"x\r\ny", "x\\par \r\ny"},
        {QString(QChar(233)), R"(\'e9)"},
        {QString(QChar(0x80)) + QChar(0xff), R"(\'80\'ff)"},
        {QString("a") + QChar(1) + QChar(31) + "b", "ab"},
        {QString(QChar(0x20ac)) + QChar(0xfffd), R"(\u8364?\u-3?)"},
    };
    for (const Case& c : cases) {
        TJclRTFProducer producer;
        producer.AddText("");
        const QString before = producer.GetRTF().chopped(6);  // without the closing "\par }"
        producer.AddText(c.text);
        EXPECT_EQ(producer.GetRTF(), before + c.rtf + R"(\par })") << c.text.toStdString();
    }
}

TEST(RTFProducerTest, WritesOneFontGroupPerChangeAndFillsTheTablesInOrderOfUse) {
    TJclRTFProducer producer;
    TRTFFont& font = producer.Font();
    font.SetName("Arial");
    font.SetSize(10);
    font.SetColor(Qt::red);
    font.SetBold(true);
    producer.AddText("Hi");
    font.SetBold(true);  // no change, no new group
    producer.AddText(" there");
    font.SetSize(12);
    producer.AddText(" more");
    font.SetColor(Qt::blue);
    font.SetItalic(true);
    font.SetUnderline(true);
    font.SetStrikeOut(true);
    producer.AddText(" x");
    font.SetName("arial");
    font.SetColor(Qt::red);
    producer.AddText("!");
    EXPECT_EQ(
        producer.GetRTF(),
        R"({\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl{\f0\fcharset1 Arial;}{\f1\fcharset1 arial;}})"
        R"({\colortbl\red255\green0\blue0;\red0\green0\blue255;})"
        R"(\plain\f0\fs20\cf0\b Hi there\plain\f0\fs24\cf0\b  more)"
        R"(\plain\f0\fs24\cf1\b\i\ul\strike  x\plain\f1\fs24\cf0\b\i\ul\strike !\par })");
}

TEST(RTFProducerTest, IndexesMatchExactlyAndResetEmptiesEverything) {
    TJclRTFProducer producer;
    EXPECT_EQ(producer.FontIndex("Arial", 0), 0);
    EXPECT_EQ(producer.FontIndex("Arial", 1), 1);
    EXPECT_EQ(producer.FontIndex("ARIAL", 0), 2);
    EXPECT_EQ(producer.FontIndex("Arial", 0), 0);
    EXPECT_EQ(producer.ColorIndex(QColor(0, 0, 128)), 0);
    EXPECT_EQ(producer.ColorIndex(Qt::black), 1);
    EXPECT_EQ(producer.ColorIndex(QColor(0, 0, 128)), 0);
    producer.AddText("x");

    producer.ResetProducer();
    EXPECT_EQ(producer.GetRTF(), EmptyTables + R"(\par })");
    producer.AddText("y");  // a reset asks for a font group again
    EXPECT_TRUE(producer.GetRTF().contains(R"(\plain\f0\fs16\cf0 y)"));
}

struct ColouredRun {
    QString text;
    QColor colour;
    bool bold;
    bool operator==(const ColouredRun& o) const {
        return text == o.text && colour == o.colour && bold == o.bold;
    }
};

void PrintTo(const ColouredRun& run, std::ostream* out) {
    *out << '"' << run.text.toStdString() << "\" " << run.colour.name().toStdString()
         << (run.bold ? " bold" : "");
}

std::vector<ColouredRun> RunsOf(const QTextEdit& box) {
    std::vector<ColouredRun> runs;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            runs.push_back(
                {fragment.text(), format.foreground().color(), format.fontWeight() >= QFont::Bold});
        }
    return runs;
}

const QColor Black(0, 0, 0), Navy(0, 0, 128), Purple(128, 0, 128), Red(255, 0, 0), Green(0, 128, 0),
    Blue(0, 0, 255);

TEST(ShowHTMLColouredTest, ColoursEachPartOfTheMarkup) {
    struct Case {
        QString html;
        std::vector<ColouredRun> runs;
    };
    const Case cases[] = {
        {"<b class=x>Hi</b>",
         {{"<", Navy, false},
          {"b", Purple, true},
          {" class", Red, false},
          {"=", Green, false},
          {"x", Blue, false},
          {">", Navy, false},
          {"Hi", Black, false},
          {"<", Navy, false},
          {"/b", Purple, true},
          {">", Navy, false}}},
        {"<a title='x y' href= \"u v\">",
         {{"<", Navy, false},
          {"a", Purple, true},
          {" title", Red, false},
          {"=", Green, false},
          {"'x", Blue, false},
          {" y' href", Red, false},
          {"= ", Green, false},
          {"\"u v\"", Blue, false},
          {">", Navy, false}}},
        {"a < b <br", {{"a ", Black, false}, {"<", Navy, false}, {" b <br", Red, false}}},
        {"<p selected>",
         {{"<", Navy, false}, {"p", Purple, true}, {" selected", Red, false}, {">", Navy, false}}},
    };
    for (const Case& c : cases) {
        QTextEdit box;
        ShowHTMLColoured(&box, c.html);
        EXPECT_EQ(RunsOf(box), c.runs) << c.html.toStdString();
        EXPECT_TRUE(box.isReadOnly());
    }
}

TEST(ShowHTMLColouredTest, ShowsTheTextUnchangedInTheBoxFont) {
    const QString html = QString::fromUtf8(
        "<p align=\"left\">caf\xc3\xa9 \xe2\x82\xac {x} \\ a&amp;b\ttab</p>\n\n<!-- c -->\n<br>\n");
    QTextEdit box;
    QFont font("Courier New", 11);
    box.setFont(font);
    box.setPlainText("old text");
    ShowHTMLColoured(&box, html);
    EXPECT_EQ(box.toPlainText(), html);
    const QTextCharFormat format = box.document()->begin().begin().fragment().charFormat();
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList({"Courier New"}));
    EXPECT_EQ(format.fontPointSize(), 11);

    ShowHTMLColoured(&box, "a\r\nb");
    EXPECT_EQ(box.toPlainText(), "a\nb");
}

}  // namespace
}  // namespace plovane
