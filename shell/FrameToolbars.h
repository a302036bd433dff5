// shell/FrameToolbars.h — the main frame's document toolbars: Edit Tools, Font Face, Font Style,
// Font Color, Table Editing, Cool Tools and HTML Elements. Each button runs the active page's menu
// command of the same role as if it were chosen from that menu; the buttons and the four boxes
// follow the design view's command status; the boxes format the selection.
#pragma once
#include <QComboBox>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QToolBar>
#include <functional>

#include "engine/DHTMLEdit.h"

namespace plovane {

class TFormChild;

// Chooses the item `name` from the menus as a user would: the opening handler of every menu on the
// path from the top-level menu down to the item runs, then the item is triggered when it is enabled
// and visible, then the menus close again. False when the item is not there or was not triggered.
bool RunMenuCommand(const QList<QMenu*>& menus, const QString& name);

// The colours of the font colour box, in list order, with their names.
struct NamedColor {
    const char* Name;
    const char* Text;  // colour text, rrggbb
};
const QList<NamedColor>& FontColorList();

class FrameToolbars : public QObject {
    Q_OBJECT
public:
    // The toolbars become the window's own (its direct children), so the window stores their layout.
    // `activePage` gives the page the buttons act on (or none); `activeDesign` its design view, and
    // abandons the command when there is none.
    FrameToolbars(QMainWindow& window, std::function<TFormChild*()> activePage,
                  std::function<TDHTMLEdit*()> activeDesign);

    QToolBar* EditTools() const { return ToolbarEditTools; }
    QToolBar* FontFace() const { return ToolbarFontFace; }
    QToolBar* FontStyle() const { return ToolbarFontStyle; }
    QToolBar* FontColor() const { return ToolbarFontColor; }
    QToolBar* TableEditing() const { return ToolbarTable; }
    QToolBar* CoolTools() const { return ToolbarCoolTools; }
    QToolBar* HTMLElements() const { return ToolbarHTMLElements; }

    // Every button and box disabled; a disabled box takes its parent's colour.
    void Reset();
    // The state of every button and box from the design view, in one call into its page.
    void Update(TDHTMLEdit& design);
    // The same from states already read. A current value missing from `states.Values` (its read
    // failed) leaves its box as it was.
    void Apply(const TDHTMLEdit::CommandStates& states, bool showDetails, bool showBorders);
    // Shows the buttons whose page command the page has and hides the others. Until the first page
    // comes, every button shows (disabled).
    void ShowCommandsOf(const TFormChild& page);

    // The commands and values Update reads.
    static QList<int> StatusCommands();
    static QList<int> ValueCommands();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolBar* NewBar(const char* name, const QString& caption);
    QAction* AddRouted(QToolBar* bar, const char* name, const QString& hint, const char* command);
    QComboBox* AddBox(QToolBar* bar, const char* name, const QString& hint, int width);
    void CreateFontBoxes();
    void RunRouted(const QString& command);
    void FormatSelection(int command, const QVariant& value);
    void SetBoxEnabled(QComboBox* box, bool enabled);
    void ShowFontColor(const QString& text);
    void ShowFontName(const QString& name);

    QMainWindow& Window;
    std::function<TFormChild*()> ActivePage;
    std::function<TDHTMLEdit*()> ActiveDesign;
    QToolBar* ToolbarEditTools;
    QToolBar* ToolbarFontFace;
    QToolBar* ToolbarFontStyle;
    QToolBar* ToolbarFontColor;
    QToolBar* ToolbarTable;
    QToolBar* ToolbarCoolTools;
    QToolBar* ToolbarHTMLElements;
    QComboBox* CBFontStyle = nullptr;
    QComboBox* CBFontName = nullptr;
    QComboBox* CBFontSize = nullptr;
    QComboBox* CBFontColor = nullptr;
    QHash<QString, QAction*> Items;        // component name -> button
    QHash<QAction*, QString> PageCommand;  // button -> the page command it runs
};

}  // namespace plovane
