#include "page/DesignCommands.h"

#include <QActionGroup>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include "dom/QelColorText.h"
#include "dom/QelDOMTools.h"
#include "engine/DHTMLEdit.h"
#include "engine/QelDHTMLLib.h"
#include "page/ElementDialogs.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "platform/Prompter.h"
#include "platform/RegistryStore.h"
#include "tidy/TidyOptionsStore.h"
#include "tidy/UnitTidyProperties.h"

namespace plovane {

namespace {

const char* const kFrameClass = "TFormQuenlockPlovane2";

// Runs an engine step whose failure the command passes over.
void Quietly(const std::function<void()>& step) {
    try {
        step();
    } catch (const EngineError&) {
    }
}

// Processes events until `landed` holds; false when it still does not after the time given.
bool WaitFor(const std::function<bool()>& landed, int milliseconds = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!landed()) {
        if (clock.hasExpired(milliseconds)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

QString WithoutAmpersand(QString caption) { return caption.remove(QLatin1Char('&')); }

QString SelectionType(const DomRef& document) {
    return document.Ref(QStringLiteral("selection")).Text(QStringLiteral("type"));
}

bool IsControlSelection(const DomRef& document) {
    return SelectionType(document).compare(QLatin1String("Control"), Qt::CaseInsensitive) == 0;
}

const QStringList kBlockCaptions = {"&Normal",    "&Formatted",     "&Address",       "Heading &1",
                                    "Heading &2", "Heading &3",     "Heading &4",     "Heading &5",
                                    "Heading &6", "Numbered &List", "&Bulleted List", "Definition &Term",
                                    "&Definition"};
const char* const kBlockNames[] = {"MINormal",    "MIFormatted",    "MIAddress",      "MIHeading1",
                                   "MIHeading2",  "MIHeading3",     "MIHeading4",     "MIHeading5",
                                   "MIHeading6",  "MINumberedList", "MIBulletedList", "MIDefinitionTerm",
                                   "MIDefinition"};
const QStringList kSizeCaptions = {"8", "10", "12", "14", "18", "24", "36"};
const QStringList kAlignCaptions = {"&Default", "&Left",     "&Top",      "&Right",   "&Bottom", "&Center",
                                    "Texttop",  "Absmiddle", "Absbottom", "Baseline", "Middle"};

}  // namespace

int FontSizeIndex(const QVariant& size) {
    bool ok = false;
    const int value = size.toString().trimmed().toInt(&ok);
    return ok && value >= 1 && value <= 7 ? value - 1 : -1;
}

QStringList BlockFormatNames() {
    QStringList names;
    for (const QString& caption : kBlockCaptions) names << WithoutAmpersand(caption);
    return names;
}

DesignCommands::DesignCommands(TFormChild& page) : QObject(&page), Page(page) {
    setObjectName(QStringLiteral("DesignCommands"));
    CreateEditMenu();
    CreateFormatMenu();
    CreateElementMenu();
    CreateToolsMenu();
    CreatePopupMenu();
    connect(&Page, &TFormChild::DesignDoubleClicked, this,
            [this] { RunCommand([this] { ShowElementProperties(Page, PropertiesForm::DoubleClick); }); });
}

TDHTMLEdit* DesignCommands::Edit() const { return Page.Design(); }

QVariant DesignCommands::Exec(int command, int option, const QVariant& in) {
    WaitUntilReady(Edit());
    return Edit()->ExecCommand(command, option, in);
}

DesignCommands::Rule DesignCommands::EnabledBy(int command) const {
    return [this, command] { return CommandEnabled(Edit(), command); };
}

QMenu* DesignCommands::NewMenu(QWidget* parent, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { RunCommand([&] { ApplyRules(menu); }); });
    connect(menu, &QMenu::aboutToHide, this, [this, menu] { EnableAll(menu); });
    return menu;
}

QMenu* DesignCommands::SubMenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = NewMenu(parent, name, caption);
    parent->addMenu(menu);
    return menu;
}

QAction* DesignCommands::Add(QMenu* menu, const char* name, const QString& caption, Handler handler,
                             Rule enabled, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    if (enabled) Rules.insert(action, enabled);
    connect(action, &QAction::triggered, this, [this, handler, enabled] {
        RunCommand([&] {
            if (enabled && !enabled()) return;  // a shortcut finds the item as the open menu would show it
            handler();
        });
    });
    return action;
}

QAction* DesignCommands::AddCommand(QMenu* menu, const char* name, const QString& caption, int command,
                                    const QKeySequence& shortcut) {
    return Add(
        menu, name, caption, [this, command] { Exec(command); }, EnabledBy(command), shortcut);
}

// The states every menu sets when it opens: the enabled rules of its own items.
void DesignCommands::ApplyRules(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (const Rule rule = Rules.value(action)) action->setEnabled(rule());
}

// A closed menu leaves its items enabled, so that their shortcuts reach the item's own check.
void DesignCommands::EnableAll(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (Rules.contains(action)) action->setEnabled(true);
}

void DesignCommands::CreateEditMenu() {
    MenuEdit = NewMenu(&Page, "MIEdit", QStringLiteral("&Edit"));
    QMenu* m = MenuEdit;
    AddCommand(m, "MIUndo", QStringLiteral("&Undo"), DECMD_UNDO, QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddCommand(m, "MIRedo", QStringLiteral("&Redo"), DECMD_REDO, QKeySequence(Qt::CTRL | Qt::Key_Y));
    m->addSeparator();
    AddCommand(m, "MICut", QStringLiteral("Cu&t"), DECMD_CUT, QKeySequence(Qt::CTRL | Qt::Key_X));
    AddCommand(m, "MICopy", QStringLiteral("&Copy"), DECMD_COPY, QKeySequence(Qt::CTRL | Qt::Key_C));
    AddCommand(m, "MIPaste", QStringLiteral("&Paste"), DECMD_PASTE, QKeySequence(Qt::CTRL | Qt::Key_V));
    AddCommand(m, "MIDelete", QStringLiteral("&Delete"), DECMD_DELETE, QKeySequence(Qt::Key_Delete));
    Add(
        m, "MIDuplicate", QStringLiteral("Duplicate"), [this] { Duplicate(); }, EnabledBy(DECMD_CUT),
        QKeySequence(Qt::CTRL | Qt::Key_D));
    m->addSeparator();
    AddCommand(m, "MISelectAll", QStringLiteral("Select &All"), DECMD_SELECTALL,
               QKeySequence(Qt::CTRL | Qt::Key_A));
    Add(m, "MISelectNone", QStringLiteral("Select &None"),
        [this] { Page.ReadyDocument().Call(QStringLiteral("execCommand"), {QStringLiteral("Unselect")}); });
    m->addSeparator();
    Add(
        m, "MICreateLink", QStringLiteral("Create Link..."), [this] { Exec(DECMD_HYPERLINK); }, {},
        QKeySequence(Qt::CTRL | Qt::Key_L));
    AddCommand(m, "MIUnlink", QStringLiteral("Unlink"), DECMD_UNLINK);
    m->addSeparator();
    AddCommand(m, "MIFind", QStringLiteral("Find..."), DECMD_FINDTEXT, QKeySequence(Qt::CTRL | Qt::Key_F));
    Add(
        m, "MIFindNext", QStringLiteral("Find Next..."),
        [this] {
            WaitUntilReady(Edit());
            Edit()->FindNext();
        },
        {}, QKeySequence(Qt::Key_F3));
    m->addSeparator();

    QMenu* options = SubMenu(m, "MIEditorOptions", QStringLiteral("Editor Options"));
    QAction* details = Add(options, "MIShowDetails", QStringLiteral("Show Details"), [this] {
        Edit()->SetShowDetails(!Edit()->ShowDetails());
        StoreSwitch(QStringLiteral("ShowDetails"), Edit()->ShowDetails());
    });
    QAction* borders = Add(options, "MIShowBorders", QStringLiteral("Show Borders"), [this] {
        Edit()->SetShowBorders(!Edit()->ShowBorders());
        StoreSwitch(QStringLiteral("ShowBorders"), Edit()->ShowBorders());
    });
    details->setCheckable(true);
    borders->setCheckable(true);
    connect(options, &QMenu::aboutToShow, this, [this] { EditorOptionsPopup(); });
}

void DesignCommands::EditorOptionsPopup() {
    MenuEdit->findChild<QAction*>(QStringLiteral("MIShowDetails"))->setChecked(Edit()->ShowDetails());
    MenuEdit->findChild<QAction*>(QStringLiteral("MIShowBorders"))->setChecked(Edit()->ShowBorders());
}

void DesignCommands::StoreSwitch(const QString& name, bool on) {
    RegistryStore reg;
    if (reg.OpenKey(ProgramKey(QString::fromLatin1(kFrameClass)), true)) reg.WriteInteger(name, on ? -1 : 0);
}

void DesignCommands::CreateFormatMenu() {
    MenuFormat = NewMenu(&Page, "MIFormat", QStringLiteral("F&ormat"));
    QMenu* m = MenuFormat;
    AddCommand(m, "MIFont", QStringLiteral("&Font..."), DECMD_FONT);
    m->addSeparator();
    const Rule anyStyle = [this] {
        return CommandEnabled(Edit(), DECMD_BOLD) || CommandEnabled(Edit(), DECMD_ITALIC) ||
               CommandEnabled(Edit(), DECMD_UNDERLINE);
    };
    Add(
        m, "MIPlain", QStringLiteral("Plain"), [this] { Plain(); }, anyStyle)
        ->setCheckable(true);
    AddCommand(m, "MIBold", QStringLiteral("Bold"), DECMD_BOLD, QKeySequence(Qt::CTRL | Qt::Key_B))
        ->setCheckable(true);
    AddCommand(m, "MIItalic", QStringLiteral("Italic"), DECMD_ITALIC, QKeySequence(Qt::CTRL | Qt::Key_I))
        ->setCheckable(true);
    AddCommand(m, "MIUnderline", QStringLiteral("Underline"), DECMD_UNDERLINE,
               QKeySequence(Qt::CTRL | Qt::Key_U))
        ->setCheckable(true);
    m->addSeparator();

    QMenu* sizes = SubMenu(m, "MIFontSize", QStringLiteral("Font &Size"));
    auto* sizeGroup = new QActionGroup(sizes);
    sizeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < kSizeCaptions.size(); ++i) {
        const QByteArray name = "MIFontSize" + QByteArray::number(i + 1);
        QAction* item = Add(
            sizes, name.constData(), kSizeCaptions.at(i), [this, i] { SetFontSize(i + 1); },
            EnabledBy(DECMD_SETFONTSIZE));
        item->setCheckable(true);
        sizeGroup->addAction(item);
        FontSizes << item;
    }
    sizes->addSeparator();
    Add(
        sizes, "MIIncreaseSize", QStringLiteral("Increase Size"), [this] { StepFontSize(1); },
        EnabledBy(DECMD_SETFONTSIZE));
    Add(
        sizes, "MIDecreaseSize", QStringLiteral("Decrease Size"), [this] { StepFontSize(-1); },
        EnabledBy(DECMD_SETFONTSIZE));
    connect(sizes, &QMenu::aboutToShow, this, [this] { RunCommand([this] { FontSizePopup(); }); });

    Add(
        m, "MIForeColor", QStringLiteral("Foreground Color..."),
        [this] { ColorCommand(DECMD_GETFORECOLOR, DECMD_SETFORECOLOR); }, EnabledBy(DECMD_SETFORECOLOR));
    Add(
        m, "MIBackColor", QStringLiteral("Background Color..."),
        [this] { ColorCommand(DECMD_GETBACKCOLOR, DECMD_SETBACKCOLOR); }, EnabledBy(DECMD_SETBACKCOLOR));
    QMenu* charset = SubMenu(m, "MICharset", QStringLiteral("Charset"));
    Add(charset, "MIUpperCase", QStringLiteral("Upper Case"),
        [this] { UpperCaseSelection(Page.ReadyDocument()); });
    Add(charset, "MILowerCase", QStringLiteral("Lower Case"),
        [this] { LowerCaseSelection(Page.ReadyDocument()); });
    m->addSeparator();

    QMenu* blocks = SubMenu(m, "MIBlockFormat", QStringLiteral("&Block Format"));
    auto* blockGroup = new QActionGroup(blocks);
    blockGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < kBlockCaptions.size(); ++i) {
        const QKeySequence shortcut =
            i >= 3 && i <= 8 ? QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i - 3)) : QKeySequence();
        QAction* item = Add(
            blocks, kBlockNames[i], kBlockCaptions.at(i), [this, i] { SetBlockFormat(i); },
            EnabledBy(DECMD_SETBLOCKFMT), shortcut);
        item->setCheckable(true);
        blockGroup->addAction(item);
        BlockFormats << item;
    }
    connect(blocks, &QMenu::aboutToShow, this, [this] { RunCommand([this] { BlockFormatPopup(); }); });

    QMenu* alignment = SubMenu(m, "MIParagraphAlignment", QStringLiteral("Paragraph Alignment"));
    auto* alignGroup = new QActionGroup(alignment);
    const std::pair<const char*, const char*> justify[] = {
        {"MILeft", "Left"}, {"MICenter", "Center"}, {"MIRight", "Right"}};
    const int justifyCommands[] = {DECMD_JUSTIFYLEFT, DECMD_JUSTIFYCENTER, DECMD_JUSTIFYRIGHT};
    for (int i = 0; i < 3; ++i) {
        const int command = justifyCommands[i];
        QAction* item = Add(
            alignment, justify[i].first, QString::fromLatin1(justify[i].second),
            [this, command] { Quietly([&] { Exec(command); }); }, EnabledBy(command));
        item->setCheckable(true);
        alignGroup->addAction(item);
    }
    connect(alignment, &QMenu::aboutToShow, this, [this] { RunCommand([this] { AlignmentPopup(); }); });

    QMenu* objects = SubMenu(m, "MIObjectAlignment", QStringLiteral("Object Alignment"));
    auto* objectGroup = new QActionGroup(objects);
    objectGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const QString& caption : kAlignCaptions) {
        const QString value = caption == QLatin1String("&Default") ? QString() : WithoutAmpersand(caption);
        const QByteArray name = "MIAlign" + WithoutAmpersand(caption).toLatin1();
        QAction* item = Add(objects, name.constData(), caption, [this, value] { SetObjectAlignment(value); });
        item->setCheckable(true);
        objectGroup->addAction(item);
        ObjectAlignments << item;
    }
    connect(objects, &QMenu::aboutToShow, this, [this] { RunCommand([this] { ObjectAlignmentPopup(); }); });

    AddCommand(m, "MIIndentParagraph", QStringLiteral("&Indent Paragraph"), DECMD_INDENT,
               QKeySequence(Qt::CTRL | Qt::Key_T));
    AddCommand(m, "MIOutdentParagraph", QStringLiteral("&Outdent Paragraph"), DECMD_OUTDENT,
               QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T));
    m->addSeparator();
    Add(m, "MISetPageColor", QStringLiteral("Page Color..."), [this] {
        const DomRef document = Page.ReadyDocument();
        if (const auto chosen = CurrentPrompter().ChooseColor(PageColor(document)))
            SetPageColor(document, *chosen);
    });
    AddCommand(m, "MIRemoveFormatting", QStringLiteral("Remove Formatting"), DECMD_REMOVEFORMAT);
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { FormatMenuPopup(); }); });
}

void DesignCommands::FormatMenuPopup() {
    bool any = false;
    const std::pair<const char*, int> styles[] = {
        {"MIBold", DECMD_BOLD}, {"MIItalic", DECMD_ITALIC}, {"MIUnderline", DECMD_UNDERLINE}};
    for (const auto& [name, command] : styles) {
        const bool latched = CommandLatched(Edit(), command);
        MenuFormat->findChild<QAction*>(QString::fromLatin1(name))->setChecked(latched);
        any = any || latched;
    }
    MenuFormat->findChild<QAction*>(QStringLiteral("MIPlain"))->setChecked(!any);
}

void DesignCommands::FontSizePopup() {
    for (QAction* item : FontSizes) item->setChecked(false);
    if (!CommandEnabled(Edit(), DECMD_SETFONTSIZE)) return;
    QVariant size;
    Quietly([&] { size = Exec(DECMD_GETFONTSIZE, OLECMDEXECOPT_DONTPROMPTUSER); });
    const int index = FontSizeIndex(size);
    if (index >= 0) FontSizes.at(index)->setChecked(true);
}

void DesignCommands::BlockFormatPopup() {
    for (QAction* item : BlockFormats) item->setChecked(false);
    if (!CommandEnabled(Edit(), DECMD_SETBLOCKFMT)) return;
    QString current;
    Quietly([&] { current = Exec(DECMD_GETBLOCKFMT, OLECMDEXECOPT_DONTPROMPTUSER).toString(); });
    const int index = int(BlockFormatNames().indexOf(current));
    if (index >= 0) BlockFormats.at(index)->setChecked(true);
}

void DesignCommands::AlignmentPopup() {
    QMenu* menu = MenuFormat->findChild<QMenu*>(QStringLiteral("MIParagraphAlignment"));
    menu->findChild<QAction*>(QStringLiteral("MILeft"))->setChecked(true);
    if (CommandLatched(Edit(), DECMD_JUSTIFYCENTER))
        menu->findChild<QAction*>(QStringLiteral("MICenter"))->setChecked(true);
    if (CommandLatched(Edit(), DECMD_JUSTIFYRIGHT))
        menu->findChild<QAction*>(QStringLiteral("MIRight"))->setChecked(true);
}

void DesignCommands::ObjectAlignmentPopup() {
    for (QAction* item : ObjectAlignments) item->setChecked(false);
    const DomRef document = Page.ReadyDocument();
    const bool control = IsControlSelection(document);
    for (QAction* item : ObjectAlignments) item->setEnabled(control);
    if (!control) return;
    const QString align = GetAttr(SelectionElement(document), QStringLiteral("align"));
    for (QAction* item : ObjectAlignments) {
        const QString caption = WithoutAmpersand(item->text());
        const bool match = align.isEmpty() ? item == ObjectAlignments.first()
                                           : caption.compare(align, Qt::CaseInsensitive) == 0;
        if (match) item->setChecked(true);
    }
}

void DesignCommands::CreateElementMenu() {
    MenuElement = NewMenu(&Page, "MIElement", QStringLiteral("E&lement"));
    QMenu* m = MenuElement;
    Add(m, "MenuItemElementProperties", QStringLiteral("Element Properties..."),
        [this] { ShowElementProperties(Page, PropertiesForm::Menu); });
    m->addSeparator();
    Add(
        m, "MenuItemMakeAbsolute", QStringLiteral("Make Absolute"),
        [this] { Quietly([this] { Exec(DECMD_MAKE_ABSOLUTE); }); }, EnabledBy(DECMD_MAKE_ABSOLUTE),
        QKeySequence(Qt::CTRL | Qt::Key_K));
    m->addSeparator();
    AddCommand(m, "MenuItemSendtoBack", QStringLiteral("Send to Back"), DECMD_SEND_TO_BACK);
    AddCommand(m, "MenuItemBringtoFront", QStringLiteral("Bring to Front"), DECMD_BRING_TO_FRONT);
    AddCommand(m, "MenuItemSendBelowText", QStringLiteral("Send Below Text"), DECMD_SEND_BELOW_TEXT);
    AddCommand(m, "MenuItemBringAboveText", QStringLiteral("Bring Above Text"), DECMD_BRING_ABOVE_TEXT);
    AddCommand(m, "MenuItemSendBackward", QStringLiteral("Send Backward"), DECMD_SEND_BACKWARD);
    AddCommand(m, "MenuItemBringForward", QStringLiteral("Bring Forward"), DECMD_BRING_FORWARD);
    m->addSeparator();
    AddCommand(m, "MenuItemLockElement", QStringLiteral("Lock Element"), DECMD_LOCK_ELEMENT);
    QAction* snap = m->addAction(QStringLiteral("Snap to Grid"));
    snap->setObjectName(QStringLiteral("MenuItemSnaptoGrid"));
    snap->setCheckable(true);
    connect(snap, &QAction::toggled, this, [this](bool on) { Edit()->SetSnapToGrid(on); });
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { ElementMenuPopup(); }); });
}

void DesignCommands::ElementMenuPopup() {
    MenuElement->findChild<QAction*>(QStringLiteral("MenuItemMakeAbsolute"))
        ->setText(CommandLatched(Edit(), DECMD_MAKE_ABSOLUTE) ? QStringLiteral("Drop Element")
                                                              : QStringLiteral("Float Element"));
    MenuElement->findChild<QAction*>(QStringLiteral("MenuItemLockElement"))
        ->setText(CommandLatched(Edit(), DECMD_LOCK_ELEMENT) ? QStringLiteral("Unlock Element")
                                                             : QStringLiteral("Lock Element"));
}

void DesignCommands::CreateToolsMenu() {
    MenuTools = NewMenu(&Page, "MITools", QStringLiteral("&Tools"));
    Add(MenuTools, "MITidyHTML", QStringLiteral("Tidy HTML"), [this] { TidyHTML(); });
    Add(MenuTools, "MITidyOptions", QStringLiteral("Tidy Options..."), [this] { ShowTidyOptions(&Page); });
}

void DesignCommands::CreatePopupMenu() {
    QMenu* m = Page.DesignPopupMenu();
    const auto item = [this, m](const char* name, const QString& caption, Handler handler) {
        QAction* action = m->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [handler] { RunCommand(handler); });
        return action;
    };
    const auto command = [this](int id) { return [this, id] { Exec(id); }; };
    item("PopupUndo", QStringLiteral("Undo"), command(DECMD_UNDO));
    item("PopupRedo", QStringLiteral("Redo"), command(DECMD_REDO));
    m->addSeparator();
    item("PopupCut", QStringLiteral("Cut"), command(DECMD_CUT));
    item("PopupCopy", QStringLiteral("Copy"), command(DECMD_COPY));
    item("PopupPaste", QStringLiteral("Paste"), command(DECMD_PASTE));
    m->addSeparator();
    item("PopupSelectAll", QStringLiteral("Select All"), command(DECMD_SELECTALL));
    m->addSeparator();
    item("PopupMakeAbsolute", QStringLiteral("Make Absolute"),
         [this] { Quietly([this] { Exec(DECMD_MAKE_ABSOLUTE); }); });
    m->addSeparator();
    item("PopupSendToBack", QStringLiteral("Send to Back"), command(DECMD_SEND_TO_BACK));
    item("PopupBringToFront", QStringLiteral("Bring to Front"), command(DECMD_BRING_TO_FRONT));
    m->addSeparator();
    item("PopupEditLink", QStringLiteral("Edit Link..."), command(DECMD_HYPERLINK));
    item("PopupUnlink", QStringLiteral("Unlink"), command(DECMD_UNLINK));
    m->addSeparator();
    m->setDefaultAction(item("PopupProperties", QStringLiteral("Properties..."),
                             [this] { ShowElementProperties(Page, PropertiesForm::Menu); }));
    m->addSeparator()->setObjectName(QStringLiteral("PopupTableSeparator"));
    QMenu* insert = m->addMenu(QStringLiteral("Insert"));
    insert->menuAction()->setObjectName(QStringLiteral("PopupInsert"));
    QMenu* remove = m->addMenu(QStringLiteral("Delete"));
    remove->menuAction()->setObjectName(QStringLiteral("PopupDelete"));
    const auto sub = [this](QMenu* menu, const char* name, const QString& caption, int id) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, id] { RunCommand([&] { Exec(id); }); });
    };
    sub(insert, "PopupInsertCell", QStringLiteral("Cell"), DECMD_INSERTCELL);
    sub(insert, "PopupInsertColumn", QStringLiteral("Column"), DECMD_INSERTCOL);
    sub(insert, "PopupInsertRow", QStringLiteral("Row"), DECMD_INSERTROW);
    sub(remove, "PopupDeleteCells", QStringLiteral("Cells"), DECMD_DELETECELLS);
    sub(remove, "PopupDeleteColumn", QStringLiteral("Column"), DECMD_DELETECOLS);
    sub(remove, "PopupDeleteRow", QStringLiteral("Row"), DECMD_DELETEROWS);
    item("PopupSplitCell", QStringLiteral("Split Cell"), command(DECMD_SPLITCELL));
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { DesignPopup(); }); });
}

void DesignCommands::DesignPopup() {
    QMenu* m = Page.DesignPopupMenu();
    const auto action = [m](const char* name) { return m->findChild<QAction*>(QString::fromLatin1(name)); };
    const auto enabled = [this](int command) { return CommandEnabled(Edit(), command); };
    WaitUntilReady(Edit());
    const std::pair<const char*, int> plain[] = {
        {"PopupUndo", DECMD_UNDO}, {"PopupRedo", DECMD_REDO},   {"PopupCut", DECMD_CUT},
        {"PopupCopy", DECMD_COPY}, {"PopupPaste", DECMD_PASTE}, {"PopupSelectAll", DECMD_SELECTALL}};
    for (const auto& [name, command] : plain) action(name)->setEnabled(enabled(command));
    QAction* absolute = action("PopupMakeAbsolute");
    absolute->setVisible(enabled(DECMD_MAKE_ABSOLUTE));
    absolute->setText(CommandLatched(Edit(), DECMD_MAKE_ABSOLUTE) ? QStringLiteral("Drop Element")
                                                                  : QStringLiteral("Float Element"));
    action("PopupSendToBack")->setVisible(enabled(DECMD_SEND_TO_BACK));
    action("PopupBringToFront")->setVisible(enabled(DECMD_BRING_TO_FRONT));
    const bool link = enabled(DECMD_UNLINK);
    action("PopupUnlink")->setVisible(link);
    action("PopupEditLink")
        ->setText(link ? QStringLiteral("Edit Link...") : QStringLiteral("Create Link..."));
    const bool insert = enabled(DECMD_INSERTCELL);
    const bool remove = enabled(DECMD_DELETECELLS);
    const bool split = enabled(DECMD_SPLITCELL);
    action("PopupInsert")->setVisible(insert);
    action("PopupDelete")->setVisible(remove);
    action("PopupSplitCell")->setVisible(split);
    action("PopupTableSeparator")->setVisible(insert || remove || split);
}

// ---- the commands --------------------------------------------------------------------------------

void DesignCommands::Duplicate() {
    const DomRef body = Page.ReadyDocument().Ref(QStringLiteral("body"));
    bool cut = false;
    const QMetaObject::Connection watch =
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [&cut] { cut = true; });
    try {
        Exec(DECMD_CUT);
    } catch (...) {
        disconnect(watch);
        throw;
    }
    const bool landed = WaitFor([&cut] { return cut; });
    disconnect(watch);
    if (!landed) RaiseMessage(QStringLiteral("The selection did not reach the clipboard."));
    for (int i = 0; i < 2; ++i) {
        const QString before = body.Text(QStringLiteral("innerHTML"));
        Exec(DECMD_PASTE);
        WaitFor([&] { return body.Text(QStringLiteral("innerHTML")) != before; });
    }
}

void DesignCommands::Plain() { ClearBoldItalicUnderline(Page.ReadyDocument()); }

void DesignCommands::ColorCommand(int get, int set) {
    const QString current = Exec(get, OLECMDEXECOPT_DONTPROMPTUSER).toString();
    const auto chosen = CurrentPrompter().ChooseColor(HtmlTextToColor(current));
    if (!chosen) return;
    Exec(set, OLECMDEXECOPT_DONTPROMPTUSER, ColorToHtmlText(*chosen));
}

void DesignCommands::SetFontSize(int size) { Exec(DECMD_SETFONTSIZE, OLECMDEXECOPT_DONTPROMPTUSER, size); }

// A read that names no size (a selection of mixed sizes) leaves the text alone, and so does a step
// past the smallest or largest size.
void DesignCommands::StepFontSize(int step) {
    Quietly([&] {
        const int index = FontSizeIndex(Exec(DECMD_GETFONTSIZE, OLECMDEXECOPT_DONTPROMPTUSER));
        if (index < 0) return;
        const int size = index + 1 + step;
        if (size >= 1 && size <= 7) SetFontSize(size);
    });
}

void DesignCommands::SetBlockFormat(int index) {
    Quietly([&] {
        const QString current = Exec(DECMD_GETBLOCKFMT, OLECMDEXECOPT_DONTPROMPTUSER).toString();
        const QString name = BlockFormatNames().at(index);
        Exec(DECMD_SETBLOCKFMT, OLECMDEXECOPT_DONTPROMPTUSER,
             current == name ? QStringLiteral("normal") : name);
    });
}

void DesignCommands::SetObjectAlignment(const QString& align) {
    const DomRef document = Page.ReadyDocument();
    if (!IsControlSelection(document)) return;
    SetAttr(SelectionElement(document), QStringLiteral("align"), align);
}

void DesignCommands::TidyHTML() {
    const QString text = DesignGetHTML(Edit());
    const TidyResult result = RunTidy(text);
    // An empty result for a page that had text would throw the page away: that counts as failed too.
    if (!result.success || (result.cleanedText.trimmed().isEmpty() && !text.trimmed().isEmpty())) {
        QString message = QStringLiteral("The HTML Tidy operation failed.");
        if (!result.report.isEmpty()) message += QStringLiteral("\r\n\r\n") + result.report.trimmed();
        RaiseMessage(message);
    }
    DesignSetHTML(Edit(), result.cleanedText, true);
}

}  // namespace plovane
