#include <gtest/gtest.h>

#include <QMenu>

#include "engine/DHTMLEdit.h"
#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "page/DesignCommands.h"
#include "page/ElementDialogs.h"
#include "page/PageHost.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "platform/RegistryStore.h"
#include "support/ScopedState.h"
#include "support/ScriptedPrompter.h"
#include "support/SelectionScripts.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

struct QuietHost : PageHost {
    TFormChild* Active = nullptr;
    TFormChild* ActivePage() const override { return Active; }
    void PageActivated(TFormChild* page) override { Active = page; }
    void PageClosing(TFormChild* page) override {
        if (Active == page) Active = nullptr;
    }
    void ResetToolbars() override {}
    void UpdateToolbars() override {}
    void SetStatusText(const QString&) override {}
    void RunSave() override {}
};

class DesignCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Page = std::make_unique<TFormChild>(Host);
        Page->resize(640, 480);
        Page->show();
        WaitUntilReady(Page->Design());
        Page->Activate();
    }

    void Load(const QString& body) {
        DesignSetHTML(Page->Design(), "<html><body>" + body + "</body></html>", false);
        WaitUntilReady(Page->Design());
    }
    QString Js(const QString& script) { return Page->Design()->Bridge().Evaluate(script).toString(); }
    DomRef ById(const QString& id) { return Page->ReadyDocument().Call("getElementById", {id}).ToRef(); }
    QString Html(const QString& id) { return ById(id).Text("outerHTML"); }

    // Selects characters of the element's first text node; from == to places the caret.
    void SelectText(const QString& id, int from = 0, int to = -1) {
        Js(test::SelectTextScript(id, from, to));
    }
    void SelectContents(const QString& id) { Js(test::SelectContentsScript(id)); }
    // A click on an image or a positioned element: a control selection.
    void SelectControl(const QString& id) {
        Js(QString("(function () { const el = document.getElementById('%1');"
                   " el.dispatchEvent(new MouseEvent('mousedown', {bubbles: true}));"
                   " el.dispatchEvent(new MouseEvent('mouseup', {bubbles: true})); return ''; })()")
               .arg(id));
    }

    QAction* Item(const char* name) const {
        QAction* action = Page->findChild<QAction*>(name);
        EXPECT_TRUE(action) << name;
        return action;
    }
    // Opens a menu (by its object name) the way the user does: its opening handlers run.
    QMenu* Open(const char* name) const {
        QMenu* menu = Page->findChild<QMenu*>(name);
        EXPECT_TRUE(menu) << name;
        if (menu) emit menu->aboutToShow();
        return menu;
    }
    void Run(const char* name) const {
        if (QAction* action = Item(name)) action->trigger();
    }

    test::ScopedFilePlaces Places;
    test::ScopedPrompter Prompter;
    QuietHost Host;
    std::unique_ptr<TFormChild> Page;
};

TEST_F(DesignCommandsTest, TheFourMenusCarryTheirCaptionsAndShortcuts) {
    QStringList captions;
    for (QMenu* menu : Page->PageMenus()) captions << menu->title();
    EXPECT_EQ(captions, QStringList({"&Edit", "F&ormat", "E&lement", "&Tools"}));
    const std::pair<const char*, const char*> shortcuts[] = {{"MIUndo", "Ctrl+Z"},
                                                             {"MIDelete", "Del"},
                                                             {"MIDuplicate", "Ctrl+D"},
                                                             {"MIFindNext", "F3"},
                                                             {"MIBold", "Ctrl+B"},
                                                             {"MIHeading1", "Alt+1"},
                                                             {"MIHeading6", "Alt+6"},
                                                             {"MIOutdentParagraph", "Ctrl+Shift+T"},
                                                             {"MenuItemMakeAbsolute", "Ctrl+K"}};
    for (const auto& [name, keys] : shortcuts) EXPECT_EQ(Item(name)->shortcut().toString(), keys) << name;
    EXPECT_EQ(Item("MIDefinitionTerm")->text(), "Definition &Term");
    EXPECT_EQ(Item("MIAlignAbsmiddle")->text(), "Absmiddle");
    EXPECT_TRUE(Page->findChild<QAction*>("MIDocumentHTML") == nullptr);
}

struct EnabledCase {
    const char* selection;  // "caret", "text" or "image"
    const char* menu;
    const char* item;
    bool enabled;
};

TEST_F(DesignCommandsTest, EachMenuEnablesItsItemsFromTheSelection) {
    const EnabledCase cases[] = {
        {"caret", "MIEdit", "MICut", false},
        {"text", "MIEdit", "MICut", true},
        {"image", "MIEdit", "MICut", true},
        {"caret", "MIEdit", "MIDuplicate", false},
        {"text", "MIEdit", "MIDuplicate", true},
        {"caret", "MIEdit", "MISelectNone", true},
        {"caret", "MIFormat", "MIBold", true},
        {"text", "MIFormat", "MIPlain", true},
        {"caret", "MIFontSize", "MIFontSize3", true},
        {"text", "MIFontSize", "MIIncreaseSize", true},
        {"caret", "MIObjectAlignment", "MIAlignLeft", false},
        {"text", "MIObjectAlignment", "MIAlignDefault", false},
        {"image", "MIObjectAlignment", "MIAlignMiddle", true},
        {"caret", "MIElement", "MenuItemMakeAbsolute", false},
        {"image", "MIElement", "MenuItemMakeAbsolute", true},
        {"image", "MIElement", "MenuItemBringtoFront", false},  // the image is not positioned
        {"image", "MIElement", "MenuItemLockElement", false},
        {"caret", "MIElement", "MenuItemElementProperties", true},
    };
    Load("<p id=p>some text</p><p><img id=i src=a.gif width=20 height=20></p>");
    for (const EnabledCase& c : cases) {
        const QString selection = c.selection;
        if (selection == "caret") SelectText("p", 2, 2);
        if (selection == "text") SelectText("p", 0, 4);
        if (selection == "image") SelectControl("i");
        Open(c.menu);
        EXPECT_EQ(Item(c.item)->isEnabled(), c.enabled) << c.selection << " " << c.item;
        emit Page->findChild<QMenu*>(c.menu)->aboutToHide();
    }
}

TEST_F(DesignCommandsTest, AShortcutOnAnItemTheMenuLeftDisabledChecksAgain) {
    Load("<p id=p>some text</p>");
    SelectText("p", 2, 2);
    Open("MIFormat");
    QAction* bold = Item("MIBold");
    Open("MIEdit");
    EXPECT_FALSE(Item("MICut")->isEnabled());
    emit Page->findChild<QMenu*>("MIEdit")->aboutToHide();
    EXPECT_TRUE(Item("MICut")->isEnabled());  // a closed menu leaves its shortcuts alive
    Item("MICut")->trigger();                 // nothing selected: the item's own check stops it
    EXPECT_TRUE(Prompter->Log.empty()) << Prompter->Texts().join("|").toStdString();
    SelectText("p", 0, 4);
    bold->trigger();
    EXPECT_TRUE(Html("p").contains("<b>some</b>")) << Html("p").toStdString();
}

TEST_F(DesignCommandsTest, HeadingOneOnAHeadingOneTurnsItBackToNormal) {
    Load("<p id=p>para</p>");
    SelectText("p", 1, 1);
    Run("MIHeading1");
    EXPECT_EQ(Page->ReadyDocument().Ref("body").Ref("firstElementChild").Text("tagName"), "H1");
    Open("MIBlockFormat");
    EXPECT_TRUE(Item("MIHeading1")->isChecked());
    Run("MIHeading1");
    EXPECT_EQ(Page->ReadyDocument().Ref("body").Ref("firstElementChild").Text("tagName"), "P");
    Open("MIBlockFormat");
    EXPECT_TRUE(Item("MINormal")->isChecked());
    EXPECT_FALSE(Item("MIHeading1")->isChecked());
}

TEST_F(DesignCommandsTest, FontSizeItemsSetAndShowTheSizesOneToSeven) {
    Load("<p id=p>sized</p>");
    for (int size = 1; size <= 7; ++size) {
        SelectText("p");
        const QByteArray name = "MIFontSize" + QByteArray::number(size);
        Run(name.constData());
        if (size != 3) {  // 3 is the size text has without a size of its own
            EXPECT_TRUE(ById("p").Text("innerHTML").contains(QString("size=\"%1\"").arg(size)))
                << ById("p").Text("innerHTML").toStdString();
        }
        Open("MIFontSize");
        for (int other = 1; other <= 7; ++other)
            EXPECT_EQ(Item(("MIFontSize" + QByteArray::number(other)).constData())->isChecked(),
                      other == size)
                << size << " " << other;
    }
}

TEST_F(DesignCommandsTest, IncreaseAndDecreaseStopAtTheEndsOfTheScale) {
    Load("<p id=p><font id=f size=1>small</font></p><p id=q><font id=g size=7>large</font></p>");
    SelectText("f");
    Run("MIDecreaseSize");
    EXPECT_EQ(ById("p").Ref("firstElementChild").Text("size"), "1");
    Run("MIIncreaseSize");
    EXPECT_TRUE(ById("p").Text("innerHTML").contains("size=\"2\"")) << Html("p").toStdString();
    SelectText("g");
    Run("MIIncreaseSize");
    EXPECT_EQ(ById("q").Ref("firstElementChild").Text("size"), "7");
}

TEST_F(DesignCommandsTest, AMixedSizeSelectionChecksNoSizeAndIsNotResized) {
    Load("<p id=p><font size=2>small</font> <font size=5>large</font></p>");
    SelectContents("p");
    const QString before = Html("p");
    Open("MIFontSize");
    for (int size = 1; size <= 7; ++size)
        EXPECT_FALSE(Item(("MIFontSize" + QByteArray::number(size)).constData())->isChecked()) << size;
    Run("MIIncreaseSize");
    Run("MIDecreaseSize");
    EXPECT_EQ(Html("p"), before);
}

TEST(FontSizeIndexTest, OnlySizesOneToSevenNameAnItem) {
    const std::pair<QVariant, int> cases[] = {
        {QVariant(), -1},    {QVariant(""), -1}, {QVariant(0), -1},  {QVariant(8), -1},   {QVariant(-2), -1},
        {QVariant("x"), -1}, {QVariant(1), 0},   {QVariant("7"), 6}, {QVariant("3 "), 2},
    };
    for (const auto& [read, index] : cases)
        EXPECT_EQ(FontSizeIndex(read), index) << read.toString().toStdString();
}

TEST_F(DesignCommandsTest, PlainClearsBoldItalicAndUnderline) {
    Load("<p id=p><b><u id=u>bold and underlined</u></b></p>");
    SelectText("u");
    Open("MIFormat");
    EXPECT_FALSE(Item("MIPlain")->isChecked());
    Run("MIPlain");
    const QString html = ById("p").Text("innerHTML");
    EXPECT_FALSE(html.contains("<b>") || html.contains("<i>") || html.contains("<u>")) << html.toStdString();
    Open("MIFormat");
    EXPECT_TRUE(Item("MIPlain")->isChecked());
    EXPECT_FALSE(Item("MIBold")->isChecked());
}

TEST_F(DesignCommandsTest, UpperCaseKeepsTheNonBreakingSpaceEntity) {
    Load("<p id=p>a&nbsp;b <a href=\"page.htm\">link</a></p>");
    SelectContents("p");
    Run("MIUpperCase");
    const QString html = ById("p").Text("innerHTML");
    EXPECT_TRUE(html.contains("A&nbsp;B")) << html.toStdString();
    EXPECT_TRUE(html.contains("PAGE.HTM") && html.contains("LINK")) << html.toStdString();
    EXPECT_FALSE(html.contains("NBSP")) << html.toStdString();
    SelectContents("p");
    Run("MILowerCase");
    EXPECT_TRUE(ById("p").Text("innerHTML").contains("a&nbsp;b"));
}

TEST_F(DesignCommandsTest, PositionedElementsFloatDropStackAndLock) {
    Load(
        "<p><img id=i src=a.gif width=20 height=20></p>"
        "<div id=d style=\"position: absolute; left: 10px; top: 40px; z-index: 1\">d</div>"
        "<div id=e style=\"position: absolute; left: 30px; top: 40px; z-index: 2\">e</div>");
    SelectControl("i");
    Open("MIElement");
    EXPECT_EQ(Item("MenuItemMakeAbsolute")->text(), "Float Element");
    Run("MenuItemMakeAbsolute");
    Open("MIElement");
    EXPECT_EQ(Item("MenuItemMakeAbsolute")->text(), "Drop Element");

    SelectControl("d");
    Open("MIElement");
    EXPECT_TRUE(Item("MenuItemBringtoFront")->isEnabled());
    EXPECT_EQ(Item("MenuItemLockElement")->text(), "Lock Element");
    Run("MenuItemBringtoFront");
    EXPECT_EQ(ById("d").Ref("style").Text("zIndex"), "3");
    Run("MenuItemLockElement");
    Open("MIElement");
    EXPECT_EQ(Item("MenuItemLockElement")->text(), "Unlock Element");
    Run("MenuItemLockElement");
    Open("MIElement");
    EXPECT_EQ(Item("MenuItemLockElement")->text(), "Lock Element");
}

TEST_F(DesignCommandsTest, ObjectAlignmentSetsAndShowsTheAlignOfTheSelectedElement) {
    Load("<p id=p>text <img id=i src=a.gif width=20 height=20></p>");
    SelectControl("i");
    Run("MIAlignTexttop");
    EXPECT_EQ(ById("i").Call("getAttribute", {"align", 2}).ToString(), "Texttop");
    Open("MIObjectAlignment");
    EXPECT_TRUE(Item("MIAlignTexttop")->isChecked());
    Run("MIAlignDefault");
    EXPECT_FALSE(Html("i").contains("align")) << Html("i").toStdString();
    Open("MIObjectAlignment");
    EXPECT_TRUE(Item("MIAlignDefault")->isChecked());
    SelectText("p", 1, 1);
    Run("MIAlignLeft");  // no control selection: nothing changes
    EXPECT_FALSE(Html("i").contains("align"));
}

TEST_F(DesignCommandsTest, ColourCommandPresetsTheDialogWithTheColourRead) {
    Load("<p id=p><font color=#123456 id=f>text</font></p>");
    SelectText("f");
    Prompter->Colors = {QColor(255, 0, 0)};
    Run("MIForeColor");
    EXPECT_EQ(Prompter->Texts("colour"), QStringList{"#123456"});
    const QString html = ById("p").Text("innerHTML");
    EXPECT_TRUE(html.contains("#ff0000") || html.contains("rgb(255, 0, 0)")) << html.toStdString();
    Prompter->Colors = {std::nullopt};  // cancelled: nothing changes
    SelectText("p");
    Run("MIBackColor");
    EXPECT_EQ(ById("p").Text("innerHTML"), html);
}

TEST_F(DesignCommandsTest, PageColorGoesToTheDocument) {
    Load("<p>x</p>");
    Page->ReadyDocument().Put("bgColor", "#102030");
    Prompter->Colors = {QColor(0, 128, 255)};
    Run("MISetPageColor");
    EXPECT_EQ(Prompter->Texts("colour"), QStringList{"#102030"});
    EXPECT_EQ(Page->ReadyDocument().Text("bgColor"), "0080ff");
}

TEST_F(DesignCommandsTest, DuplicateCutsAndPastesTwice) {
    Load("<p id=p>ab</p>");
    SelectText("p", 1, 2);
    Run("MIDuplicate");
    EXPECT_EQ(ById("p").Text("innerText"), "abb");
}

TEST_F(DesignCommandsTest, EditorOptionsToggleTheEngineAndStoreTheSwitch) {
    const auto stored = [](const char* name) {
        RegistryStore reg;
        EXPECT_TRUE(reg.OpenKey(ProgramKey("TFormQuenlockPlovane2"), false));
        return reg.ReadInteger(name, 99);
    };
    Page->Design()->SetShowDetails(true);
    Page->Design()->SetShowBorders(false);
    Open("MIEditorOptions");
    EXPECT_TRUE(Item("MIShowDetails")->isChecked());
    EXPECT_FALSE(Item("MIShowBorders")->isChecked());
    Run("MIShowDetails");
    Run("MIShowBorders");
    EXPECT_FALSE(Page->Design()->ShowDetails());
    EXPECT_TRUE(Page->Design()->ShowBorders());
    EXPECT_EQ(stored("ShowDetails"), 0);
    EXPECT_EQ(stored("ShowBorders"), -1);
}

TEST_F(DesignCommandsTest, SelectNoneClearsTheSelection) {
    Load("<p id=p>some text</p>");
    SelectText("p");
    Run("MISelectNone");
    EXPECT_EQ(Page->ReadyDocument().Ref("selection").Text("type"), "None");
}

TEST_F(DesignCommandsTest, TidyHtmlCleansThePage) {
    Load("<center id=c>middle</center>");
    Run("MITidyHTML");
    EXPECT_TRUE(Prompter->Log.empty());
    const QString html = DesignGetHTML(Page->Design());
    EXPECT_FALSE(html.contains("<center", Qt::CaseInsensitive)) << html.toStdString();
    EXPECT_TRUE(html.contains("middle"));
}

// Element properties: the kinds that have a dialog record which element they were given.
class PropertiesTest : public DesignCommandsTest {
protected:
    void SetUp() override {
        DesignCommandsTest::SetUp();
        for (const char* kind : {"TD", "BODY", "TABLE"})
            RegisterElementDialog(kind, [this, kind](TFormChild& page, const DomRef& element) {
                EXPECT_EQ(&page, Page.get());
                Shown << QString(kind) + " " + element.Text("id");
            });
    }
    void TearDown() override {
        for (const char* kind : {"TD", "BODY", "TABLE"}) RegisterElementDialog(kind, {});
    }
    QStringList Shown;
};

TEST_F(PropertiesTest, TheMenuWalksUpToADialogAndTheDoubleClickDoesNot) {
    Load(
        "<p id=p>background</p><table id=t><tr><td id=c><span id=s>in cell</span></td></tr></table>"
        "<p><img id=i src=a.gif></p>");
    SelectText("s", 1, 1);
    Run("MenuItemElementProperties");
    emit Page->DesignDoubleClicked();
    EXPECT_EQ(Shown, QStringList{"TD c"});

    Shown.clear();
    SelectText("p", 2, 2);
    Run("PopupProperties");
    emit Page->DesignDoubleClicked();
    EXPECT_EQ(Shown, QStringList{"BODY "});  // the page background: the body from the menu only

    Shown.clear();
    SelectControl("i");  // IMG has no dialog registered: nothing is shown, nothing fails
    Run("MenuItemElementProperties");
    emit Page->DesignDoubleClicked();
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_TRUE(Prompter->Log.empty());
}

TEST_F(PropertiesTest, ACaretOutsideTheBodyEndsTheWalkQuietly) {
    Load("<p id=p>text</p>");
    Js("(function () { const r = document.createRange(); r.setStart(document.head, 0);"
       " const s = getSelection(); s.removeAllRanges(); s.addRange(r); return ''; })()");
    const DomRef document = Page->ReadyDocument();
    EXPECT_FALSE(FindPropertiesTarget(document, DomRef(), PropertiesForm::Menu).element);
    Run("MenuItemElementProperties");
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_TRUE(Prompter->Log.empty());
}

TEST_F(DesignCommandsTest, ElementKindsFollowTagAndInputType) {
    Load(
        "<input id=c type=checkbox><input id=t><input id=r type=range><!--note--><hr id=h><span "
        "id=s>x</span>");
    const std::pair<QString, QString> cases[] = {
        {"c", "INPUT:checkbox"}, {"t", "INPUT:text"}, {"r", "INPUT"}, {"h", "HR"}, {"s", ""}};
    for (const auto& [id, kind] : cases) EXPECT_EQ(ElementDialogKind(ById(id)), kind) << id.toStdString();
    const DomRef comment =
        Page->ReadyDocument().Ref("all").Call("tags", {"!"}).ToRef().Call("item", {0}).ToRef();
    EXPECT_EQ(ElementDialogKind(comment), "COMMENT");
}

struct PopupCase {
    const char* selection;  // "cell", "link", "image", "text"
    const char* item;
    bool visible;
    const char* caption;  // checked when not empty
};

TEST_F(DesignCommandsTest, TheContextMenuShowsWhatTheSelectionAllows) {
    const PopupCase cases[] = {
        {"cell", "PopupInsert", true, ""},
        {"cell", "PopupDelete", true, ""},
        {"cell", "PopupSplitCell", false, ""},
        {"cell", "PopupTableSeparator", true, ""},
        {"cell", "PopupMakeAbsolute", false, ""},
        {"cell", "PopupUnlink", false, ""},
        {"cell", "PopupEditLink", true, "Create Link..."},
        {"text", "PopupInsert", false, ""},
        {"text", "PopupTableSeparator", false, ""},
        {"link", "PopupUnlink", true, ""},
        {"link", "PopupEditLink", true, "Edit Link..."},
        {"image", "PopupMakeAbsolute", true, "Float Element"},
        {"image", "PopupSendToBack", false, ""},
        {"image", "PopupProperties", true, "Properties..."},
    };
    Load(
        "<p id=p>plain <a id=a href=x.htm>link</a></p><table><tr><td id=c>cell</td></tr></table>"
        "<p><img id=i src=a.gif width=20 height=20></p>");
    QMenu* popup = Page->DesignPopupMenu();
    EXPECT_EQ(popup->defaultAction(), Item("PopupProperties"));
    for (const PopupCase& c : cases) {
        const QString selection = c.selection;
        if (selection == "cell") SelectText("c", 1, 1);
        if (selection == "text") SelectText("p", 1, 1);
        if (selection == "link") SelectText("a", 0, 2);
        if (selection == "image") SelectControl("i");
        emit popup->aboutToShow();
        QAction* action = Item(c.item);
        EXPECT_EQ(action->isVisible(), c.visible) << c.selection << " " << c.item;
        if (*c.caption) {
            EXPECT_EQ(action->text(), c.caption) << c.selection << " " << c.item;
        }
    }
}

}  // namespace
}  // namespace plovane
