#include "shell/FrameToolbars.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QWebEngineView>

#include "dom/QelColorText.h"
#include "engine/QelDHTMLLib.h"
#include "page/DesignCommands.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"
#include "shell/ToolbarIcons.h"

namespace plovane {

namespace {

// The menus from `menu` down to the one that holds `item`, outermost first; empty when not found.
QList<QMenu*> PathTo(QMenu* menu, const QAction* item) {
    if (menu->actions().contains(const_cast<QAction*>(item))) return {menu};
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            QList<QMenu*> path = PathTo(sub, item);
            if (!path.isEmpty()) return QList<QMenu*>{menu} + path;
        }
    }
    return {};
}

QAction* FindItem(const QList<QMenu*>& menus, const QString& name, QList<QMenu*>* path = nullptr) {
    for (QMenu* menu : menus) {
        if (auto* item = menu->findChild<QAction*>(name)) {
            const QList<QMenu*> found = PathTo(menu, item);
            if (found.isEmpty()) continue;
            if (path) *path = found;
            return item;
        }
    }
    return nullptr;
}

// Each font name in its own face, vertically centred, 4 pixels from the left; the box's hint
// names the item drawn last.
class FontNameDelegate : public QStyledItemDelegate {
public:
    explicit FontNameDelegate(QComboBox* box) : QStyledItemDelegate(box), Box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString name = plain.text;
        plain.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        QFont face(name);
        face.setPointSizeF(option.font.pointSizeF());
        painter->save();
        painter->setFont(face);
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
        painter->drawText(option.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
        painter->restore();
        Box->setToolTip(name);
    }

private:
    QComboBox* Box;
};

QIcon Swatch(const QColor& colour) {
    QPixmap picture(14, 14);
    picture.fill(colour);
    QPainter painter(&picture);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(picture);
}

struct RoutedItem {
    const char* Name;
    const char* Hint;
    const char* Command;  // the page's menu command
};

struct StatusItem {
    const char* Name;
    int Command;  // enabled when the engine reports it enabled
    bool CheckedWhenLatched;
};

// The items whose state follows a command; every other routed item is enabled while a page shows.
const StatusItem kStatusItems[] = {
    {"TBBold", DECMD_BOLD, true},
    {"TBItalic", DECMD_ITALIC, true},
    {"TBUnderline", DECMD_UNDERLINE, true},
    {"TBLeft", DECMD_JUSTIFYLEFT, false},
    {"TBCenter", DECMD_JUSTIFYCENTER, false},
    {"TBRight", DECMD_JUSTIFYRIGHT, false},
    {"TBFontStyle", DECMD_FONT, false},
    {"TBIndent", DECMD_INDENT, false},
    {"TBOutdent", DECMD_OUTDENT, false},
    {"TBForeColor", DECMD_SETFORECOLOR, false},
    {"TBFontBig", DECMD_SETFONTSIZE, false},
    {"TBFontSmall", DECMD_SETFONTSIZE, false},
    {"TBUndo", DECMD_UNDO, false},
    {"TBRedo", DECMD_REDO, false},
    {"TBCut", DECMD_CUT, false},
    {"TBCopy", DECMD_COPY, false},
    {"TBPaste", DECMD_PASTE, false},
    {"TBDelete", DECMD_DELETE, false},
    {"TBInsertColumn", DECMD_INSERTCOL, false},
    {"TBInsertRow", DECMD_INSERTROW, false},
    {"TBDeleteColumn", DECMD_DELETECOLS, false},
    {"TBDeleteRow", DECMD_DELETEROWS, false},
    {"TBSplitCell", DECMD_SPLITCELL, false},
    {"TBMergeCells", DECMD_MERGECELLS, false},
};

bool Enabled(const TDHTMLEdit::CommandStates& states, int command) {
    return (states.Status.value(command, DECMDF_NOTSUPPORTED) & DECMDF_ENABLED) == DECMDF_ENABLED;
}

bool Latched(const TDHTMLEdit::CommandStates& states, int command) {
    return (states.Status.value(command, DECMDF_NOTSUPPORTED) & DECMDF_LATCHED) == DECMDF_LATCHED;
}

const QStringList kFontSizes = {"8", "10", "12", "14", "18", "24", "36"};

}  // namespace

bool RunMenuCommand(const QList<QMenu*>& menus, const QString& name) {
    QList<QMenu*> path;
    QAction* item = FindItem(menus, name, &path);
    if (!item) return false;
    for (QMenu* menu : path) emit menu->aboutToShow();
    const bool run = item->isEnabled() && item->isVisible();
    // The menus close before the command runs, as they do when an item is chosen.
    for (auto menu = path.rbegin(); menu != path.rend(); ++menu) emit(*menu)->aboutToHide();
    if (run) item->trigger();
    return run;
}

const QList<NamedColor>& FontColorList() {
    static const QList<NamedColor> list = {
        {"Black", "000000"},       {"Maroon", "800000"},   {"Green", "008000"}, {"Olive", "808000"},
        {"Navy", "000080"},        {"Purple", "800080"},   {"Teal", "008080"},  {"Gray", "808080"},
        {"Silver", "c0c0c0"},      {"Red", "ff0000"},      {"Lime", "00ff00"},  {"Yellow", "ffff00"},
        {"Blue", "0000ff"},        {"Fuchsia", "ff00ff"},  {"Aqua", "00ffff"},  {"White", "ffffff"},
        {"Money Green", "c0dcc0"}, {"Sky Blue", "a6caf0"}, {"Cream", "fffbf0"}, {"Medium Gray", "a0a0a4"},
    };
    return list;
}

FrameToolbars::FrameToolbars(QMainWindow& window, std::function<TFormChild*()> activePage,
                             std::function<TDHTMLEdit*()> activeDesign)
    : QObject(&window),
      Window(window),
      ActivePage(std::move(activePage)),
      ActiveDesign(std::move(activeDesign)) {
    setObjectName(QStringLiteral("FrameToolbars"));
    // Two rows below the File toolbar's: the editing and font boxes, then the buttons.
    ToolbarEditTools = NewBar("ToolbarEditTools", QStringLiteral("Edit Tools"));
    AddRouted(ToolbarEditTools, "TBCut", QStringLiteral("Cut"), "MICut");
    AddRouted(ToolbarEditTools, "TBCopy", QStringLiteral("Copy"), "MICopy");
    AddRouted(ToolbarEditTools, "TBPaste", QStringLiteral("Paste"), "MIPaste");
    AddRouted(ToolbarEditTools, "TBDelete", QStringLiteral("Delete"), "MIDelete");
    ToolbarEditTools->addSeparator();
    AddRouted(ToolbarEditTools, "TBUndo", QStringLiteral("Undo"), "MIUndo");
    AddRouted(ToolbarEditTools, "TBRedo", QStringLiteral("Redo"), "MIRedo");

    ToolbarFontFace = NewBar("ToolbarFontFace", QStringLiteral("Font Face"));
    CreateFontBoxes();
    AddRouted(ToolbarFontFace, "TBFontStyle", QStringLiteral("Change Font"), "MIFont");

    ToolbarFontColor = NewBar("ToolbarFontColor", QStringLiteral("Font Color"));
    CBFontColor = AddBox(ToolbarFontColor, "CBFontColor", QStringLiteral("Font Color"), 130);
    for (const NamedColor& colour : FontColorList()) {
        const QColor value = HtmlTextToColor(QString::fromLatin1(colour.Text));
        CBFontColor->addItem(Swatch(value), QString::fromLatin1(colour.Name), value);
    }
    connect(CBFontColor, &QComboBox::activated, this, [this](int index) {
        RunCommand([&] {
            FormatSelection(DECMD_SETFORECOLOR,
                            ColorToHtmlText(CBFontColor->itemData(index).value<QColor>()));
        });
    });
    AddRouted(ToolbarFontColor, "TBForeColor", QStringLiteral("Select Font Color"), "MIForeColor");
    AddRouted(ToolbarFontColor, "TBPageColor", QStringLiteral("Select Page Color"), "MISetPageColor");

    Window.addToolBarBreak();
    ToolbarFontStyle = NewBar("ToolbarFontStyle", QStringLiteral("Font Style"));
    AddRouted(ToolbarFontStyle, "TBBold", QStringLiteral("Bold"), "MIBold");
    AddRouted(ToolbarFontStyle, "TBItalic", QStringLiteral("Italic"), "MIItalic");
    AddRouted(ToolbarFontStyle, "TBUnderline", QStringLiteral("Underlined"), "MIUnderline");
    ToolbarFontStyle->addSeparator();
    auto* alignment = new QActionGroup(this);
    alignment->addAction(AddRouted(ToolbarFontStyle, "TBLeft", QStringLiteral("Align Left"), "MILeft"));
    alignment->addAction(AddRouted(ToolbarFontStyle, "TBCenter", QStringLiteral("Align Center"), "MICenter"));
    alignment->addAction(AddRouted(ToolbarFontStyle, "TBRight", QStringLiteral("Align Right"), "MIRight"));
    ToolbarFontStyle->addSeparator();
    AddRouted(ToolbarFontStyle, "TBIndent", QStringLiteral("Indent"), "MIIndentParagraph");
    AddRouted(ToolbarFontStyle, "TBOutdent", QStringLiteral("Outdent"), "MIOutdentParagraph");
    ToolbarFontStyle->addSeparator();
    AddRouted(ToolbarFontStyle, "TBFontBig", QStringLiteral("Increase Font Size"), "MIIncreaseSize");
    AddRouted(ToolbarFontStyle, "TBFontSmall", QStringLiteral("Decrease Font Size"), "MIDecreaseSize");
    for (const char* name : {"TBBold", "TBItalic", "TBUnderline", "TBLeft", "TBCenter", "TBRight"})
        Items.value(QString::fromLatin1(name))->setCheckable(true);

    ToolbarCoolTools = NewBar("ToolbarCoolTools", QStringLiteral("Cool Tools"));
    AddRouted(ToolbarCoolTools, "TBSpellCheck", QStringLiteral("Spellcheck"), "MICheckSpelling");
    AddRouted(ToolbarCoolTools, "TBSearch", QStringLiteral("Find"), "MIFind");
    AddRouted(ToolbarCoolTools, "TBShowDetails", QStringLiteral("Show Details"), "MIShowDetails")
        ->setCheckable(true);
    AddRouted(ToolbarCoolTools, "TBShowBorders", QStringLiteral("Show Borders"), "MIShowBorders")
        ->setCheckable(true);

    ToolbarTable = NewBar("ToolbarTable", QStringLiteral("Table Editing"));
    AddRouted(ToolbarTable, "TBInsertColumn", QStringLiteral("Insert Column"), "MIInsertColumn");
    AddRouted(ToolbarTable, "TBInsertRow", QStringLiteral("Insert Row"), "MIInsertRow");
    AddRouted(ToolbarTable, "TBDeleteColumn", QStringLiteral("Delete Column"), "MIDeleteColumn");
    AddRouted(ToolbarTable, "TBDeleteRow", QStringLiteral("Delete Row"), "MIDeleteRow");
    ToolbarTable->addSeparator();
    AddRouted(ToolbarTable, "TBSplitCell", QStringLiteral("Split Cell"), "MISplitCell");
    AddRouted(ToolbarTable, "TBMergeCells", QStringLiteral("Merge Cells"), "MIMergeCells");

    ToolbarHTMLElements = NewBar("ToolbarHTMLElements", QStringLiteral("HTML Elements"));
    const RoutedItem elements[] = {
        {"TBInsertImage", "Insert Image", "MIInsertImage"},
        {"TBInsertApplet", "Insert Applet", "MIInsertApplet"},
        {"TBInsertPlugin", "Insert Plugin", "MIInsertPlugin"},
        {"TBInsertRule", "Insert Rule", "MIInsertHorizontalRule"},
        {"TBInsertMarquee", "Insert Marquee", "MIInsertMarquee"},
        {"TBInsertIFrame", "Insert IFrame", "MIInsertIFrame"},
        {"TBInsertHTML", "Insert HTML", "MIInsertHTMLMarkup"},
        {"TBInsertAnchor", "Insert Anchor", "MIInsertAnchor"},
        {"TBInsertLink", "Insert Hyperlink", "MIInsertHyperlink"},
        {"TBInsertTable", "Insert Table", "MIInsertTable"},
        {"TBInsertBullets", "Insert Bulleted List", "MIInsertBulletList"},
        {"TBInsertNumbers", "Insert Numbered List", "MIInsertNumberedList"},
        {"TBInsertComment", "Insert Comment", "MIInsertComment"},
        {"TBInsertScript", "Insert Script", "MIInsertScript"},
    };
    for (const RoutedItem& item : elements)
        AddRouted(ToolbarHTMLElements, item.Name, QString::fromLatin1(item.Hint), item.Command);
    Items.value(QStringLiteral("TBInsertBullets"))->setCheckable(true);
    Items.value(QStringLiteral("TBInsertNumbers"))->setCheckable(true);

    CBFontColor->setCurrentIndex(-1);
    Reset();
}

QToolBar* FrameToolbars::NewBar(const char* name, const QString& caption) {
    auto* bar = new QToolBar(caption, &Window);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setIconSize(QSize(16, 16));
    Window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

QAction* FrameToolbars::AddRouted(QToolBar* bar, const char* name, const QString& hint, const char* command) {
    QAction* action = bar->addAction(ToolbarIcon(QString::fromLatin1(name)), hint);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    const QString pageCommand = QString::fromLatin1(command);
    connect(action, &QAction::triggered, this,
            [this, pageCommand] { RunCommand([&] { RunRouted(pageCommand); }); });
    Items.insert(action->objectName(), action);
    PageCommand.insert(action, pageCommand);
    return action;
}

QComboBox* FrameToolbars::AddBox(QToolBar* bar, const char* name, const QString& hint, int width) {
    auto* box = new QComboBox(bar);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(hint);
    box->setFixedWidth(width);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setAutoFillBackground(true);
    bar->addWidget(box);
    return box;
}

void FrameToolbars::CreateFontBoxes() {
    CBFontStyle = AddBox(ToolbarFontFace, "CBFontStyle", QStringLiteral("Block Format"), 120);
    CBFontStyle->addItems(BlockFormatNames());
    connect(CBFontStyle, &QComboBox::activated, this, [this](int index) {
        RunCommand([&] { FormatSelection(DECMD_SETBLOCKFMT, CBFontStyle->itemText(index)); });
    });

    CBFontName = AddBox(ToolbarFontFace, "CBFontName", QStringLiteral("Font Name"), 160);
    CBFontName->setEditable(true);
    CBFontName->setInsertPolicy(QComboBox::NoInsert);
    CBFontName->setCompleter(nullptr);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    CBFontName->addItems(families);
    CBFontName->setItemDelegate(new FontNameDelegate(CBFontName));
    CBFontName->setCurrentIndex(-1);
    // A name chosen from the list, or Enter in the box (eventFilter): the name as the box shows it.
    connect(CBFontName, &QComboBox::activated, this, [this](int index) {
        RunCommand([&] { FormatSelection(DECMD_SETFONTNAME, CBFontName->itemText(index)); });
    });
    CBFontName->installEventFilter(this);
    CBFontName->lineEdit()->installEventFilter(this);

    CBFontSize = AddBox(ToolbarFontFace, "CBFontSize", QStringLiteral("Font Size"), 50);
    CBFontSize->addItems(kFontSizes);
    CBFontSize->setCurrentIndex(-1);
    connect(CBFontSize, &QComboBox::activated, this,
            [this](int index) { RunCommand([&] { FormatSelection(DECMD_SETFONTSIZE, index + 1); }); });
}

// Enter in the font name box sets the name as typed; the box itself never sees it, so it neither
// adds the name to its list nor reports it a second time as chosen.
bool FrameToolbars::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == CBFontName || watched == CBFontName->lineEdit())) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunCommand([&] { FormatSelection(DECMD_SETFONTNAME, CBFontName->currentText()); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FrameToolbars::RunRouted(const QString& command) {
    TFormChild* page = ActivePage();
    if (!page) return;
    RunMenuCommand(page->PageMenus(), command);
    if (ActivePage() == page && page->CurrentTab() == TFormChild::TabEdit && !page->Design()->Busy())
        Update(*page->Design());
}

void FrameToolbars::FormatSelection(int command, const QVariant& value) {
    TDHTMLEdit* design = ActiveDesign();
    // The keyboard goes back to the document, also when the command fails.
    struct FocusBack {
        TDHTMLEdit* Design;
        ~FocusBack() { Design->View()->setFocus(Qt::OtherFocusReason); }
    } focusBack{design};
    WaitUntilReady(design);
    design->ExecCommand(command, OLECMDEXECOPT_DONTPROMPTUSER, value);
}

QList<int> FrameToolbars::StatusCommands() {
    QList<int> commands;
    for (const StatusItem& item : kStatusItems)
        if (!commands.contains(item.Command)) commands << item.Command;
    return commands + ValueCommands();
}

QList<int> FrameToolbars::ValueCommands() {
    return {DECMD_GETBLOCKFMT, DECMD_GETFONTNAME, DECMD_GETFONTSIZE, DECMD_GETFORECOLOR};
}

void FrameToolbars::SetBoxEnabled(QComboBox* box, bool enabled) {
    box->setEnabled(enabled);
    QPalette palette = box->palette();
    const QColor colour = enabled ? QApplication::palette().color(QPalette::Base)
                                  : box->parentWidget()->palette().color(QPalette::Window);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
}

void FrameToolbars::Reset() {
    for (QAction* action : std::as_const(Items)) action->setEnabled(false);
    for (QComboBox* box : {CBFontStyle, CBFontName, CBFontSize, CBFontColor}) SetBoxEnabled(box, false);
}

void FrameToolbars::Update(TDHTMLEdit& design) {
    Apply(design.QueryStatusMany(StatusCommands(), ValueCommands()), design.ShowDetails(),
          design.ShowBorders());
}

void FrameToolbars::Apply(const TDHTMLEdit::CommandStates& states, bool showDetails, bool showBorders) {
    for (QAction* action : std::as_const(Items)) action->setEnabled(true);
    for (const StatusItem& item : kStatusItems) {
        QAction* action = Items.value(QString::fromLatin1(item.Name));
        action->setEnabled(Enabled(states, item.Command));
        if (item.CheckedWhenLatched) action->setChecked(Latched(states, item.Command));
    }
    const char* aligned = Latched(states, DECMD_JUSTIFYCENTER)  ? "TBCenter"
                          : Latched(states, DECMD_JUSTIFYRIGHT) ? "TBRight"
                                                                : "TBLeft";
    Items.value(QString::fromLatin1(aligned))->setChecked(true);
    Items.value(QStringLiteral("TBShowDetails"))->setChecked(showDetails);
    Items.value(QStringLiteral("TBShowBorders"))->setChecked(showBorders);

    const QHash<int, QVariant>& values = states.Values;
    if (values.contains(DECMD_GETBLOCKFMT)) {
        const QString format = values.value(DECMD_GETBLOCKFMT).toString();
        Items.value(QStringLiteral("TBInsertBullets"))
            ->setChecked(format.compare(QLatin1String("Bulleted List"), Qt::CaseInsensitive) == 0);
        Items.value(QStringLiteral("TBInsertNumbers"))
            ->setChecked(format.compare(QLatin1String("Numbered List"), Qt::CaseInsensitive) == 0);
    }

    // A box the user is working in keeps what it shows.
    const std::pair<QComboBox*, int> boxes[] = {{CBFontStyle, DECMD_GETBLOCKFMT},
                                                {CBFontName, DECMD_GETFONTNAME},
                                                {CBFontSize, DECMD_GETFONTSIZE},
                                                {CBFontColor, DECMD_GETFORECOLOR}};
    for (const auto& [box, command] : boxes) {
        const bool enabled = Enabled(states, command);
        SetBoxEnabled(box, enabled);
        if (!enabled || !values.contains(command) || box->hasFocus() || box->view()->isVisible()) continue;
        const QVariant value = values.value(command);
        if (box == CBFontStyle)
            box->setCurrentIndex(box->findText(value.toString(), Qt::MatchFixedString));
        else if (box == CBFontName)
            ShowFontName(value.toString());
        else if (box == CBFontSize)
            box->setCurrentIndex(FontSizeIndex(value));
        else
            ShowFontColor(value.toString());
    }
}

void FrameToolbars::ShowFontName(const QString& name) {
    const int index = CBFontName->findText(name, Qt::MatchFixedString);
    CBFontName->setCurrentIndex(index);
    if (index < 0) CBFontName->setEditText(QString());
}

// The colour read, in any colour text the engine gives ("#rrggbb", "rgb(r, g, b)"), selects the
// list's colour; a colour the list lacks is shown as one more item at the end.
void FrameToolbars::ShowFontColor(const QString& text) {
    const int listed = int(FontColorList().size());
    if (text.trimmed().isEmpty()) {
        CBFontColor->setCurrentIndex(-1);
        return;
    }
    const QColor colour = HtmlTextToColor(text);
    for (int i = 0; i < listed; ++i) {
        if (CBFontColor->itemData(i).value<QColor>().rgb() == colour.rgb()) {
            CBFontColor->setCurrentIndex(i);
            return;
        }
    }
    const QString name = QLatin1Char('#') + ColorToHtmlText(colour);
    if (CBFontColor->count() == listed) CBFontColor->addItem(QString());
    CBFontColor->setItemText(listed, name);
    CBFontColor->setItemIcon(listed, Swatch(colour));
    CBFontColor->setItemData(listed, colour);
    CBFontColor->setCurrentIndex(listed);
}

void FrameToolbars::ShowCommandsOf(const TFormChild& page) {
    const QList<QMenu*> menus = page.Commands()->Menus();
    for (auto it = PageCommand.constBegin(); it != PageCommand.constEnd(); ++it)
        it.key()->setVisible(FindItem(menus, it.value()) != nullptr);
}

}  // namespace plovane
