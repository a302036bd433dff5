#include "page/ElementDialogs.h"

#include <QHash>

#include "dom/QelDOMTools.h"
#include "page/UnitChild.h"
#include "platform/Errors.h"

namespace plovane {

namespace {

QHash<QString, ElementDialog>& Registry() {
    static QHash<QString, ElementDialog> dialogs;
    return dialogs;
}

QString TagOf(const DomRef& element) { return element.Text(QStringLiteral("tagName")).toUpper(); }

}  // namespace

void RegisterElementDialog(const QString& kind, ElementDialog dialog) {
    if (dialog)
        Registry().insert(kind, std::move(dialog));
    else
        Registry().remove(kind);
}

ElementDialog FindElementDialog(const QString& kind) { return Registry().value(kind); }

QString ElementDialogKind(const DomRef& element) {
    static const QStringList tags = {"TABLE",   "APPLET", "TEXTAREA", "SELECT",  "IMG", "BODY",  "TD",
                                     "MARQUEE", "IFRAME", "FORM",     "COMMENT", "HR",  "SCRIPT"};
    static const QStringList inputTypes = {"checkbox", "radio",    "button", "reset",  "submit",
                                           "text",     "password", "file",   "hidden", "image"};
    const QString tag = TagOf(element);
    if (tag == QLatin1String("!")) return QStringLiteral("COMMENT");
    if (tags.contains(tag)) return tag;
    if (tag != QLatin1String("INPUT")) return QString();
    const QString type = element.Text(QStringLiteral("type")).toLower();
    return inputTypes.contains(type) ? QStringLiteral("INPUT:") + type : tag;
}

PropertiesTarget FindPropertiesTarget(const DomRef& document, const DomRef& mouseElement,
                                      PropertiesForm form) {
    DomRef element = SelectionElement(document);
    if (form == PropertiesForm::DoubleClick && HasTagName(element, QStringLiteral("BODY"))) return {};
    if (mouseElement) {
        static const QStringList unselectable = {"FORM", "SCRIPT", "COMMENT", "!"};
        try {
            if (unselectable.contains(TagOf(mouseElement))) element = mouseElement;
        } catch (const EngineError&) {
            // The element under the mouse has left the document since; the current element stands.
        }
    }
    while (element) {
        const QString kind = ElementDialogKind(element);
        if (kind == QLatin1String("INPUT")) return {};
        if (!kind.isEmpty()) return {element, kind};
        if (form == PropertiesForm::DoubleClick) return {};
        element = element.Ref(QStringLiteral("parentElement"));  // empty above the document element
    }
    return {};
}

void ShowElementProperties(TFormChild& page, PropertiesForm form) {
    const PropertiesTarget target = FindPropertiesTarget(page.ReadyDocument(), page.MouseElement(), form);
    if (!target.element) return;
    if (const ElementDialog dialog = FindElementDialog(target.kind)) dialog(page, target.element);
}

}  // namespace plovane
