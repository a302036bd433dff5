#include <gtest/gtest.h>

#include <QFile>

#include "platform/FilePlaces.h"
#include "support/TestPlaces.h"
#include "tidy/TidyOptionsStore.h"

namespace plovane {

// Failure messages name every field.
void PrintTo(const TidyOptions& o, std::ostream* out) {
    const auto flag = [](bool on) { return on ? '1' : '0'; };
    *out << "flags " << flag(o.breakBeforeBR) << flag(o.makeBare) << flag(o.makeClean) << flag(o.word2000)
         << flag(o.indent) << flag(o.upperCaseTags) << flag(o.upperCaseAttributes) << flag(o.dropEmptyParas)
         << flag(o.fixComments) << flag(o.fixUri) << flag(o.tidyMark) << " wrap " << flag(o.wrapEnabled)
         << o.wrapWidth.toStdString() << ' ' << flag(o.wrapAttributes) << flag(o.wrapAsp) << flag(o.wrapPhp)
         << flag(o.wrapJste) << flag(o.wrapScriptLiterals) << flag(o.wrapSections) << " alt "
         << flag(o.altTextEnabled) << '"' << o.altText.toStdString() << "\" tab "
         << (o.tabSize ? std::to_string(*o.tabSize) : std::string("none")) << " in '"
         << o.inputEncoding.toStdString() << "' out '" << o.outputEncoding.toStdString() << "'";
}

namespace {

TidyOptionsStore StoreOver(const QString& path) { return TidyOptionsStore(TIniFile(path)); }

// Settings.ini as the options window wrote it through its controls, beside another window's section.
const char kOldSettings[] =
    "[FormOther]\n"
    "EditName.Text=\"kept, as written\"\n"
    "\n"
    "[FormTidyProperties]\n"
    "CBAltText.Checked=true\n"
    "CBBare.Checked=false\n"
    "CBBreakBeforeBR.Checked=true\n"
    "CBClean.Checked=true\n"
    "CBDropEmptyParas.Checked=false\n"
    "CBFixBadComments.Checked=true\n"
    "CBFixURI.Checked=false\n"
    "CBIndent.Checked=true\n"
    "CBInputEncoding.ItemIndex=3\n"
    "CBInputEncoding.Text=utf8\n"
    "CBOutputEncoding.ItemIndex=1\n"
    "CBOutputEncoding.Text=latin1\n"
    "CBTabSize.ItemIndex=3\n"
    "CBTabSize.Text=4\n"
    "CBWord2000.Checked=false\n"
    "CBWrapSections.Checked=true\n"
    "EditAltText.Text=\"a picture, framed \xC3\xA9\"\n"
    "EditWrapWidth.Text=72\n"
    "cbEnableTextWrapping.Checked=true\n"
    "cbTidyMark.Checked=false\n"
    "cbUppercaseAttributes.Checked=false\n"
    "cbUppercaseTags.Checked=true\n"
    "cbWrapASP.Checked=false\n"
    "cbWrapAttributes.Checked=true\n"
    "cbWrapJSTE.Checked=true\n"
    "cbWrapLiterals.Checked=false\n"
    "cbWrapPHP.Checked=true\n";

TidyOptions OldSettingsOptions() {
    TidyOptions o;
    o.altTextEnabled = true;
    o.makeBare = false;
    o.breakBeforeBR = true;
    o.makeClean = true;
    o.dropEmptyParas = false;
    o.fixComments = true;
    o.fixUri = false;
    o.indent = true;
    o.inputEncoding = "utf8";
    o.outputEncoding = "latin1";
    o.tabSize = 4;
    o.word2000 = false;
    o.wrapSections = true;
    o.altText = QString::fromUtf8("a picture, framed \xC3\xA9");
    o.wrapWidth = "72";
    o.wrapEnabled = true;
    o.tidyMark = false;
    o.upperCaseAttributes = false;
    o.upperCaseTags = true;
    o.wrapAsp = false;
    o.wrapAttributes = true;
    o.wrapJste = true;
    o.wrapScriptLiterals = false;
    o.wrapPhp = true;
    return o;
}

TEST(TidyOptionsStoreTest, ReadsAnOldSettingsFileAndWritesItBackUnderTheSameKeys) {
    test::TempFolder folder;
    const QString path = folder.Write("Settings.ini", kOldSettings);
    TidyOptionsStore store = StoreOver(path);
    EXPECT_EQ(store.Options(), TidyOptions{});  // nothing read before Load
    store.Load();
    EXPECT_EQ(store.Options(), OldSettingsOptions());

    // Saved values read back the same, under the window's key names; the other section stays.
    TidyOptions changed = OldSettingsOptions();
    changed.indent = false;
    changed.tabSize = 10;  // typed: beyond the list
    changed.outputEncoding = "win1252";
    changed.altText = "x = y; z, \"w\"";
    store.SetOptions(changed);
    ASSERT_TRUE(store.Save());
    TidyOptionsStore again = StoreOver(path);
    again.Load();
    EXPECT_EQ(again.Options(), changed);

    const TIniFile file(path);
    const QString section = "FormTidyProperties";
    EXPECT_EQ(file.ReadString(section, "CBIndent.Checked"), "false");
    EXPECT_EQ(file.ReadString(section, "cbWrapPHP.Checked"), "true");
    EXPECT_EQ(file.ReadString(section, "CBOutputEncoding.ItemIndex"), "6");
    EXPECT_EQ(file.ReadString(section, "CBOutputEncoding.Text"), "win1252");
    EXPECT_EQ(file.ReadString(section, "CBTabSize.Text"), "10");
    EXPECT_EQ(file.ReadString(section, "EditAltText.Text"), "x = y; z, \"w\"");
    EXPECT_EQ(file.ReadString("FormOther", "EditName.Text"), "kept, as written");
}

TEST(TidyOptionsStoreTest, AMissingFileGivesTheBuiltInOptionsAndSaveCreatesIt) {
    test::TempFolder folder;
    TidyOptionsStore store = StoreOver(folder.Path("Settings.ini"));
    TidyOptions changed;
    changed.indent = true;
    store.SetOptions(changed);
    store.Load();
    EXPECT_EQ(store.Options(), TidyOptions{});
    store.SetOptions(changed);
    ASSERT_TRUE(store.Save());
    store.Load();
    EXPECT_EQ(store.Options(), changed);
}

struct StoredCase {
    const char* name;
    const char* lines;  // the section's keys
    void (*expect)(TidyOptions&);
};
void PrintTo(const StoredCase& c, std::ostream* out) { *out << c.name; }
class ReadTidyOptionsTest : public ::testing::TestWithParam<StoredCase> {};

TEST_P(ReadTidyOptionsTest, FollowTheWindowsReadingRules) {
    test::TempFolder folder;
    const QString path =
        folder.Write("Settings.ini", QByteArray("[FormTidyProperties]\n") + GetParam().lines);
    TidyOptions expected;
    GetParam().expect(expected);
    EXPECT_EQ(ReadTidyOptions(TIniFile(path)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadTidyOptionsTest,
    ::testing::Values(StoredCase{"NumbersAsBooleans", "CBIndent.Checked=1\ncbUppercaseTags.Checked=0\n",
                                 [](TidyOptions& o) { o.indent = true, o.upperCaseTags = false; }},
                      StoredCase{"UnreadableBooleanKeepsTheBuiltIn",
                                 "CBBare.Checked=maybe\nCBIndent.Checked=\n", [](TidyOptions&) {}},
                      StoredCase{"PositionWinsOverText",
                                 "CBInputEncoding.ItemIndex=0\nCBInputEncoding.Text=utf8\n",
                                 [](TidyOptions& o) { o.inputEncoding = "ascii"; }},
                      StoredCase{"TextAloneChooses", "CBOutputEncoding.Text=mac\n",
                                 [](TidyOptions& o) { o.outputEncoding = "mac"; }},
                      StoredCase{"PositionOutOfRangeKeepsText",
                                 "CBOutputEncoding.ItemIndex=99\nCBOutputEncoding.Text=utf8\n",
                                 [](TidyOptions& o) { o.outputEncoding = "utf8"; }},
                      StoredCase{"NoEntryChosen", "CBOutputEncoding.ItemIndex=-1\nCBOutputEncoding.Text=\n",
                                 [](TidyOptions& o) { o.outputEncoding.clear(); }},
                      StoredCase{"TypedTabSizeWinsOverPosition", "CBTabSize.ItemIndex=5\nCBTabSize.Text=10\n",
                                 [](TidyOptions& o) { o.tabSize = 10; }},
                      StoredCase{"UntypeableTabSizeFallsBackToPosition",
                                 "CBTabSize.ItemIndex=5\nCBTabSize.Text=40\n",
                                 [](TidyOptions& o) { o.tabSize = 6; }},
                      StoredCase{"NoTabSizeAtAll", "CBTabSize.ItemIndex=-1\nCBTabSize.Text=\n",
                                 [](TidyOptions& o) { o.tabSize.reset(); }},
                      StoredCase{"GarbageTabSizeKeepsTheBuiltIn",
                                 "CBTabSize.ItemIndex=99\nCBTabSize.Text=no number\n", [](TidyOptions&) {}},
                      StoredCase{"EmptyTextsAreValues", "EditWrapWidth.Text=\nEditAltText.Text=\n",
                                 [](TidyOptions& o) { o.wrapWidth.clear(); }}),
    [](const ::testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.name); });

TEST(TidyOptionsStoreTest, ARunReadsTheProgramStoreWithoutAnyWindow) {
    test::ScopedFilePlaces places;
    places.Folder().Write("program/Settings.ini", "[FormTidyProperties]\nCBIndent.Checked=true\n");
    ASSERT_TRUE(QFile::exists(ProgramFolderFile("Settings.ini")));
    TidyOptionsStore::Program().Load();
    const TidyResult run = RunTidy("<p>x</p>");
    EXPECT_TRUE(run.cleanedText.contains("<BODY>\n    <P>\n      x\n    </P>"))
        << run.cleanedText.toStdString();
    TidyOptionsStore::Program().SetOptions(TidyOptions{});
}

}  // namespace
}  // namespace plovane
