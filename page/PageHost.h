// page/PageHost.h — what a page window needs of the frame that holds it. The frame implements it;
// the page never reaches for the frame's class, so the page builds below the shell.
#pragma once
#include <QString>

namespace plovane {

class TFormChild;

class PageHost {
public:
    virtual ~PageHost() = default;
    virtual TFormChild* ActivePage() const = 0;
    virtual void PageActivated(TFormChild* page) = 0;  // the page is now the active page
    virtual void PageClosing(TFormChild* page) = 0;    // the page is going away
    virtual void ResetToolbars() = 0;
    virtual void UpdateToolbars() = 0;
    virtual void SetStatusText(const QString& text) = 0;
    // Runs the frame's Save command on the active page; errors are shown there.
    virtual void RunSave() = 0;
    // The page's menus changed (it shows another tab): the active page's PageMenus() are shown anew.
    virtual void PageMenusChanged(TFormChild* /*page*/) {}
};

}  // namespace plovane
