// page/DesignCommands.h — the design view's commands: the page's Edit, Format, Element and Tools
// menus and the design view's context menu. Each menu sets the state of its items from the engine
// when it opens; an item reached by its shortcut checks its own state first and does nothing when
// the menu would have shown it disabled.
#pragma once
#include <QHash>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace plovane {

class TDHTMLEdit;
class TFormChild;

// The size item a font size read names: 0 to 6 for the sizes 1 to 7; -1 for any other read (the
// empty read of a mixed selection, 0, a size above 7, a text that is not a number).
int FontSizeIndex(const QVariant& size);

// The engine's block format names, in the order of the Format menu's items and the frame's block
// format box.
QStringList BlockFormatNames();

class DesignCommands : public QObject {
    Q_OBJECT
public:
    // The menus are the page's own widgets; the context menu is the page's DesignPopupMenu().
    explicit DesignCommands(TFormChild& page);

    // "&Edit", "F&ormat", "E&lement", "&Tools", in menu-bar order.
    QList<QMenu*> Menus() const { return {MenuEdit, MenuFormat, MenuElement, MenuTools}; }

    // Cut, then Paste twice; each step is waited for before the next.
    void Duplicate();
    void Plain();
    // Reads the colour with `get`, asks for a colour preset with it, sets it with `set`.
    void ColorCommand(int get, int set);
    void SetFontSize(int size);
    void StepFontSize(int step);
    void SetBlockFormat(int index);
    void SetObjectAlignment(const QString& align);
    void TidyHTML();

private:
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    QMenu* NewMenu(QWidget* parent, const char* name, const QString& caption);
    QMenu* SubMenu(QMenu* parent, const char* name, const QString& caption);
    QAction* Add(QMenu* menu, const char* name, const QString& caption, Handler handler, Rule enabled = {},
                 const QKeySequence& shortcut = QKeySequence());
    QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, int command,
                        const QKeySequence& shortcut = QKeySequence());
    Rule EnabledBy(int command) const;

    void CreateEditMenu();
    void CreateFormatMenu();
    void CreateElementMenu();
    void CreateToolsMenu();
    void CreatePopupMenu();

    void ApplyRules(QMenu* menu);
    void EnableAll(QMenu* menu);
    void EditorOptionsPopup();
    void FormatMenuPopup();
    void FontSizePopup();
    void BlockFormatPopup();
    void AlignmentPopup();
    void ObjectAlignmentPopup();
    void ElementMenuPopup();
    void DesignPopup();

    TDHTMLEdit* Edit() const;
    QVariant Exec(int command, int option = 0, const QVariant& in = QVariant());
    void StoreSwitch(const QString& name, bool on);

    TFormChild& Page;
    QMenu* MenuEdit = nullptr;
    QMenu* MenuFormat = nullptr;
    QMenu* MenuElement = nullptr;
    QMenu* MenuTools = nullptr;
    QHash<QAction*, Rule> Rules;
    QList<QAction*> FontSizes;
    QList<QAction*> BlockFormats;
    QList<QAction*> ObjectAlignments;
};

}  // namespace plovane
