#include "shell/DesignKeyRouter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include "engine/DHTMLEdit.h"
#include "page/UnitChild.h"

namespace plovane {

DesignKeyRouter::DesignKeyRouter(QMenuBar& menus, std::function<TFormChild*()> activePage, QObject* parent)
    : QObject(parent), Menus(menus), ActivePage(std::move(activePage)) {
    setObjectName(QStringLiteral("DesignKeyRouter"));
    qApp->installEventFilter(this);
}

// A key press reaches here only when no shortcut took it. Chromium would take Alt + letter as its
// own, so the frame's menu bar gets it instead: the menu whose mnemonic it is opens.
bool DesignKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers held =
        key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (held != Qt::AltModifier || key->key() == Qt::Key_Alt) return false;
    if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_6) return false;  // the heading shortcuts
    TFormChild* page = ActivePage();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!page || !widget || !page->Design()->isAncestorOf(widget)) return false;
    const QKeySequence pressed(key->key() | Qt::AltModifier);
    for (QAction* action : Menus.actions()) {
        if (action->isVisible() && action->isEnabled() && action->menu() &&
            QKeySequence::mnemonic(action->text()).matches(pressed) == QKeySequence::ExactMatch) {
            Menus.setActiveAction(action);
            break;
        }
    }
    return true;
}

}  // namespace plovane
