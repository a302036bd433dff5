// shell/DesignKeyRouter.h — the main frame's pre-processing of the keys meant for the active page's
// design view: Alt + letter opens the frame's menus there as it does anywhere in the frame, while
// Alt+1 to Alt+6 stay the page's heading shortcuts.
#pragma once
#include <QMenuBar>
#include <QObject>
#include <functional>

namespace plovane {

class TFormChild;

class DesignKeyRouter : public QObject {
    Q_OBJECT
public:
    // Watches every event of the application while it lives.
    DesignKeyRouter(QMenuBar& menus, std::function<TFormChild*()> activePage, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenuBar& Menus;
    std::function<TFormChild*()> ActivePage;
};

}  // namespace plovane
