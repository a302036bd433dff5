// dom/QelDOMTools.h — the small operations on the live design document that the page commands and
// the element property dialogs share. Attribute values are text; the empty text means an absent
// attribute, both when reading and when writing. Engine errors propagate to the caller as
// EngineError unless an operation says otherwise.
#pragma once
#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>

#include "engine/DomRef.h"

namespace plovane {

// Attributes and elements.
bool HasTagName(const DomRef& element, const QString& tag);   // false for an empty element
QString GetAttr(const DomRef& element, const QString& name);  // as written; absent gives ""
void SetAttr(const DomRef& element, const QString& name, const QString& value);  // "" removes
void RemoveAttr(const DomRef& element, const QString& name);
void RemoveElement(const DomRef& element);
// The style value when set, else the attribute.
QString GetStyleOrAttr(const DomRef& element, const QString& attributeName, const QString& styleName);
// The attribute alone decides the size: the inline style value goes.
void SetWidth(const DomRef& element, const QString& width);
void SetHeight(const DomRef& element, const QString& height);
void SetSize(const DomRef& element, const QString& width, const QString& height);
void ClearSize(const DomRef& element);
void FreezeSize(const DomRef& element);
void FocusBody(const DomRef& document);

// Geometry (page coordinates) and tables.
struct ElementRectangle {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
};
int AbsoluteLeft(const DomRef& element);
int AbsoluteTop(const DomRef& element);
ElementRectangle ElementRect(const DomRef& element);
DomRef TableOfElement(const DomRef& element);  // TABLE itself, or the table of a TD or TR
void FreezeCellSizes(const DomRef& table);

enum class TableBorder { NoBorder, RowBorder, ColumnBorder };
// One point per cell, in the order of the table's cells: x -1 left edge, +1 right edge; y -1 top,
// +1 bottom. The point is in design-view client coordinates.
TableBorder TableBorderHitTest(const DomRef& table, QPoint point, QList<QPoint>& directions);

// Selection and editing.
DomRef SelectionElement(const DomRef& document);
DomRef AncestorWithTag(const DomRef& element, const QString& tag);
DomRef SelectionAncestorWithTag(const DomRef& document, const QString& tag);
void SelectElement(const DomRef& element);
void DeleteControlSelection(const DomRef& document);
// Pastes at the selection; an engine refusal is reported with a message box, not an error.
void PasteHTMLAtSelection(const DomRef& document, const QString& html);
void UpperCaseSelection(const DomRef& document);
void LowerCaseSelection(const DomRef& document);
void ClearBoldItalicUnderline(const DomRef& document);

// The document.
QString DocumentFilePath(const DomRef& document);
DomRef DocumentHead(const DomRef& document);  // abandons with "DOM does not have a head."
// Several META elements with the key read as one comma-separated list.
QString GetMeta(const DomRef& document, const QString& key, const QString& fallback,
                const QString& attributeName);
// Removes every META with the key; a non-empty content adds one new META as the head's last child.
void SetMeta(const DomRef& document, const QString& key, const QString& content,
             const QString& attributeName);
DomRef CreateMeta(const DomRef& document, const QString& attributeName, const QString& key,
                  const QString& content);
// Adds the script behind the current element, or asks whether to remove it when present.
void ToggleScript(const DomRef& document, const QString& identifier, const QString& code);
int MapIndexByName(const DomRef& document, const QString& mapName);
QColor PageColor(const DomRef& document);
void SetPageColor(const DomRef& document, const QColor& colour);
int CountWords(const DomRef& document);
int CountWordCharacters(const DomRef& document);
int CountSentences(const DomRef& document);
qint64 TotalImageBytes(const DomRef& document);

}  // namespace plovane
