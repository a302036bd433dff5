#include <gtest/gtest.h>

#include <QStringList>

#include "spelling/QelHTMLWalk.h"

namespace plovane {
namespace {

// Writes down every hook call with the fields it is meant to see.
class RecordingWalk : public THTMLWalk {
public:
    QStringList Log;

protected:
    void OnTagBegin() override { Log << "<"; }
    void OnTag() override { Log << QString("tag(%1)@%2").arg(TagName).arg(TagPosition); }
    void OnTagEnd() override { Log << ">"; }
    void OnTextBegin() override { Log << QString("text@%1").arg(Position()); }
    void OnText() override { Log.last() += "(" + TextRun + ")"; }
    void OnAttrBegin() override { Log << "attr"; }
    void OnAttrName() override { Log << "name(" + AttrName + ")" + AttrValue; }
    void OnAttrValue() override { Log << "value(" + AttrValue + ")"; }
    void OnAttrEnd() override { Log << "end"; }
};

TEST(HTMLWalkTest, SplitsTextCommentsTagsAndAttributesAsWritten) {
    struct Case {
        const char* html;
        const char* log;
    };
    const Case cases[] = {
        {"<br/>", "< tag(br/)@1 >"},
        {"<br />", "< tag(br)@1 attr name(/) end >"},
        {"<a =x>", "< tag(a)@1 attr name() value(x) end >"},
        {"<p title='a b' x>", "< tag(p)@1 attr name(title) value(a b) end attr name(x) end >"},
        {"<a\n href = \"x\" >t</a>", "< tag(a)@1 attr name(href) value(x) end > text@17(t) < tag(/a)@18 >"},
        {"<!DOCTYPE html>", "< tag(!DOCTYPE)@1 attr name(html) end >"},
        {"<?xml version=\"1.0\"?>", "< tag(?xml)@1 attr name(version) value(1.0) end attr name(?) end >"},
        {"<!-->x", "text@6(x)"},
        {"a<!-- <b> -->b", "text@1(a) text@14(b)"},
        {"<!-- never closed", ""},
        {"a < b <3 x<", "text@1(a < b <3 x<)"},
        {"<a href=\"x", "< tag(a)@1 attr name(href) value(x) end >"},
        {"x<b", "text@1(x) < tag(b)@2 >"},
        {"", ""},
    };
    for (const Case& c : cases) {
        RecordingWalk walk;
        walk.Walk(QString::fromUtf8(c.html));
        EXPECT_EQ(walk.Log.join(' '), QString::fromUtf8(c.log)) << c.html;
    }
}

TEST(HTMLWalkTest, PlainTextGathersTheRunsEachFollowedByASpace) {
    THTMLWalk walk;
    walk.Walk("<p>one<b>two</b><!-- no -->three</p>");
    EXPECT_EQ(walk.PlainTextRead(), "one two three ");
    walk.Walk("x");
    EXPECT_EQ(walk.PlainTextRead(), "x ");
}

class FindMisspellingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SavedMain = MainDictionary();
        SavedUser = UserDictionary();
        MainDictionary() = WordList::FromWords({"hello", "world", "known"});
        UserDictionary() = WordList::FromWords({"plovane"});
    }
    void TearDown() override {
        MainDictionary() = SavedMain;
        UserDictionary() = SavedUser;
    }
    WordList SavedMain;
    WordList SavedUser;
};

TEST_F(FindMisspellingsTest, ReportsUnknownWordsOfTextRunsOnly) {
    struct Case {
        const char* html;
        std::vector<WordSpan> spans;
    };
    const Case cases[] = {
        {"<p>Helo <b>wrld</b></p>", {{4, 4}, {12, 4}}},
        {"<SCRIPT>var helo;</SCRIPT>wrld", {{27, 4}}},
        {"<style>helo</STYLE>x wrld", {{22, 4}}},
        {"<!-- helo --><img alt=\"helo wrld\" title=helo>Hello Plovane", {}},
        {"<helo wrld=1>", {}},
        {"<script>if (i<n) x;</script>helo</style>wrld", {{41, 4}}},
        {"caf&eacute; known", {{1, 3}, {5, 6}}},
        {"Helo&nbsp;wrld", {{1, 4}, {11, 4}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(FindMisspellings(QString::fromUtf8(c.html)), c.spans) << c.html;
}

TEST_F(FindMisspellingsTest, SpansCoverTheWordsOfTheGivenText) {
    const QString html = "<h1 class=x>Titel</h1>\r\n<p>Some wrds &amp; more\ttxt.</p>";
    QStringList words;
    for (const WordSpan& span : FindMisspellings(html)) words << html.mid(span.position - 1, span.length);
    EXPECT_EQ(words, QStringList({"Titel", "Some", "wrds", "more", "txt"}));
}

}  // namespace
}  // namespace plovane
