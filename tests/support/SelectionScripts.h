// tests/support/SelectionScripts.h — scripts that set the design view's selection the way a user's
// mouse would, for tests that run them in the engine's world.
#pragma once
#include <QString>

namespace plovane::test {

// Selects characters from..to of the element's first text node (to < 0: to its end; from == to
// places the caret); the element's whole content when its first child is not text.
inline QString SelectTextScript(const QString& id, int from = 0, int to = -1) {
    return QString(
               "(function () { const el = document.getElementById('%1'); const n = el.firstChild;"
               " const r = document.createRange();"
               " if (n.nodeType !== 3) r.selectNodeContents(el);"
               " else { r.setStart(n, %2); r.setEnd(n, %3 < 0 ? n.data.length : %3); }"
               " const s = getSelection(); s.removeAllRanges(); s.addRange(r); return ''; })()")
        .arg(id)
        .arg(from)
        .arg(to);
}

// Selects the element's whole content.
inline QString SelectContentsScript(const QString& id) {
    return QString(
               "(function () { const r = document.createRange();"
               " r.selectNodeContents(document.getElementById('%1'));"
               " const s = getSelection(); s.removeAllRanges(); s.addRange(r); return ''; })()")
        .arg(id);
}

}  // namespace plovane::test
