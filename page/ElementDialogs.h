// page/ElementDialogs.h — Element Properties: which element a properties command shows, which kind
// of dialog that element takes, and the registry through which the property dialogs offer themselves.
#pragma once
#include <QString>
#include <functional>

#include "engine/DomRef.h"

namespace plovane {

class TFormChild;

// A property dialog for one kind of element, run on the page with the element.
using ElementDialog = std::function<void(TFormChild& page, const DomRef& element)>;

// Kinds are upper-case tag names: "TABLE", "APPLET", "TEXTAREA", "SELECT", "IMG", "BODY", "TD",
// "MARQUEE", "IFRAME", "FORM", "COMMENT" (comments, whose tag is "!", too), "HR", "SCRIPT"; an INPUT
// is "INPUT:" and its lower-case type, for the types that have a dialog: "checkbox", "radio",
// "button", "reset", "submit" (the button field) and "text", "password", "file", "hidden", "image"
// (the text field). Registering an empty dialog removes the kind again.
void RegisterElementDialog(const QString& kind, ElementDialog dialog);
ElementDialog FindElementDialog(const QString& kind);

// The element's kind as above; "INPUT" for an input of any other type (it gets no dialog); "" for a
// tag that takes no dialog of its own.
QString ElementDialogKind(const DomRef& element);

// Menu: the Element menu and the context menu, which look up through the parents until an element
// has a kind. DoubleClick: a double click in the design view, which looks at the element itself only
// and ignores the page background.
enum class PropertiesForm { Menu, DoubleClick };

struct PropertiesTarget {
    DomRef element;  // empty: no dialog
    QString kind;
};

// The current element of the document, or the element under the mouse when that is a form, script
// or comment (the design view cannot select those). The walk ends, without a target, at an element
// that has no parent.
PropertiesTarget FindPropertiesTarget(const DomRef& document, const DomRef& mouseElement,
                                      PropertiesForm form);

// Runs the registered dialog of the page's properties target; nothing when the kind has none.
void ShowElementProperties(TFormChild& page, PropertiesForm form);

}  // namespace plovane
