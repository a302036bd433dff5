#include "dom/QelDOMTools.h"

#include "dom/QelColorText.h"
#include "dom/QelHTMLText.h"
#include "platform/Errors.h"
#include "platform/Prompter.h"

namespace plovane {

namespace {

const QString kTagName = QStringLiteral("tagName");

int IntOr(const DomValue& value, int fallback) {
    bool ok = false;
    const int number = value.ToString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

DomRef SelectionOf(const DomRef& document) { return document.Ref(QStringLiteral("selection")); }

QString SelectionType(const DomRef& document) { return SelectionOf(document).Text(QStringLiteral("type")); }

DomRef Item(const DomRef& collection, int index) {
    return collection.Call(QStringLiteral("item"), {index}).ToRef();
}

int Length(const DomRef& collection) { return int(collection.Get(QStringLiteral("length")).ToInt()); }

DomRef Tags(const DomRef& scope, const QString& tag) {
    return scope.Ref(QStringLiteral("all")).Call(QStringLiteral("tags"), {tag}).ToRef();
}

// Walks the body with a text range by unit; `visit` gets each unit's text.
template <typename Visit>
void WalkUnits(const DomRef& document, const QString& unit, Visit visit) {
    const DomRef range = document.Ref(QStringLiteral("body")).Call(QStringLiteral("createTextRange")).ToRef();
    range.Call(QStringLiteral("collapse"), {true});
    while (range.Call(QStringLiteral("expand"), {unit}).ToBool()) {
        visit(range.Text(QStringLiteral("text")));
        if (range.Call(QStringLiteral("move"), {unit}).ToInt() == 0) break;  // the end: no endless walk
    }
}

bool IsAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

}  // namespace

bool HasTagName(const DomRef& element, const QString& tag) {
    return element && element.Text(kTagName).compare(tag, Qt::CaseInsensitive) == 0;
}

QString GetAttr(const DomRef& element, const QString& name) {
    return element.Call(QStringLiteral("getAttribute"), {name, 2}).ToString();
}

void SetAttr(const DomRef& element, const QString& name, const QString& value) {
    if (value.isEmpty())
        RemoveAttr(element, name);
    else
        element.Call(QStringLiteral("setAttribute"), {name, value, 0});
}

void RemoveAttr(const DomRef& element, const QString& name) {
    element.Call(QStringLiteral("removeAttribute"), {name, 0});
}

void RemoveElement(const DomRef& element) { element.Call(QStringLiteral("removeNode"), {true}); }

QString GetStyleOrAttr(const DomRef& element, const QString& attributeName, const QString& styleName) {
    const QString style = GetAttr(element.Ref(QStringLiteral("style")), styleName);
    return style.isEmpty() ? GetAttr(element, attributeName) : style;
}

void SetWidth(const DomRef& element, const QString& width) {
    SetAttr(element, QStringLiteral("Width"), width);
    RemoveAttr(element.Ref(QStringLiteral("style")), QStringLiteral("Width"));
}

void SetHeight(const DomRef& element, const QString& height) {
    SetAttr(element, QStringLiteral("Height"), height);
    RemoveAttr(element.Ref(QStringLiteral("style")), QStringLiteral("Height"));
}

void SetSize(const DomRef& element, const QString& width, const QString& height) {
    SetWidth(element, width);
    SetHeight(element, height);
}

void ClearSize(const DomRef& element) { SetSize(element, QString(), QString()); }

void FreezeSize(const DomRef& element) {
    SetSize(element, element.Text(QStringLiteral("offsetWidth")),
            element.Text(QStringLiteral("offsetHeight")));
}

void FocusBody(const DomRef& document) { document.Ref(QStringLiteral("body")).Call(QStringLiteral("focus")); }

int AbsoluteLeft(const DomRef& element) {
    int sum = 0;
    for (DomRef e = element; e; e = e.Ref(QStringLiteral("offsetParent")))
        sum += int(e.Get(QStringLiteral("offsetLeft")).ToInt());
    return sum;
}

int AbsoluteTop(const DomRef& element) {
    int sum = 0;
    for (DomRef e = element; e; e = e.Ref(QStringLiteral("offsetParent")))
        sum += int(e.Get(QStringLiteral("offsetTop")).ToInt());
    return sum;
}

ElementRectangle ElementRect(const DomRef& element) {
    ElementRectangle r;
    r.left = AbsoluteLeft(element);
    r.top = AbsoluteTop(element);
    r.right = r.left + qint32(element.Get(QStringLiteral("offsetWidth")).ToInt());
    r.bottom = r.top + qint32(element.Get(QStringLiteral("offsetHeight")).ToInt());
    return r;
}

DomRef TableOfElement(const DomRef& element) {
    if (!element) return DomRef();
    if (HasTagName(element, QStringLiteral("TABLE"))) return element;
    if (HasTagName(element, QStringLiteral("TD")) || HasTagName(element, QStringLiteral("TR")))
        return AncestorWithTag(element, QStringLiteral("TABLE"));
    return DomRef();
}

void FreezeCellSizes(const DomRef& table) {
    FreezeSize(table);
    int pad = 2 * IntOr(table.Get(QStringLiteral("cellPadding")), 1);
    if (IntOr(table.Get(QStringLiteral("border")), 1) > 0) pad += 2;
    const DomRef cells = table.Ref(QStringLiteral("cells"));
    const int count = Length(cells);
    // Every cell is measured before the first one changes, so no change moves another's measure.
    QList<std::pair<qint64, qint64>> sizes;
    for (int i = 0; i < count; ++i) {
        const DomRef cell = Item(cells, i);
        sizes.append({cell.Get(QStringLiteral("offsetWidth")).ToInt() - pad,
                      cell.Get(QStringLiteral("offsetHeight")).ToInt()});
    }
    for (int i = 0; i < count; ++i)
        SetSize(Item(cells, i), QString::number(sizes.at(i).first), QString::number(sizes.at(i).second));
}

TableBorder TableBorderHitTest(const DomRef& table, QPoint point, QList<QPoint>& directions) {
    const DomRef cells = table.Ref(QStringLiteral("cells"));
    const int count = Length(cells);
    directions = QList<QPoint>(count, QPoint(0, 0));
    const int s = IntOr(table.Get(QStringLiteral("cellSpacing")), 2);
    const DomRef body = table.Ref(QStringLiteral("document")).Ref(QStringLiteral("body"));
    const int x = point.x() + int(body.Get(QStringLiteral("scrollLeft")).ToInt());
    const int y = point.y() + int(body.Get(QStringLiteral("scrollTop")).ToInt());
    QList<ElementRectangle> rects;
    for (int j = 0; j < count; ++j) rects << ElementRect(Item(cells, j));

    TableBorder kind = TableBorder::NoBorder;
    for (int j = 0; j < count; ++j) {
        const ElementRectangle& r = rects.at(j);
        if (r.top - s <= y && y <= r.top) {
            directions[j].setY(-1);
            kind = TableBorder::RowBorder;
        }
        if (r.bottom <= y && y <= r.bottom + s) {
            directions[j].setY(1);
            kind = TableBorder::RowBorder;
        }
    }
    bool corner = false;
    for (int j = 0; j < count && !corner; ++j) {
        const ElementRectangle& r = rects.at(j);
        for (const int side : {1, -1}) {
            const bool near =
                side > 0 ? (r.right <= x && x <= r.right + s) : (r.left - s <= x && x <= r.left);
            if (!near) continue;
            if (kind == TableBorder::RowBorder) {  // near a row and a column border at once
                kind = TableBorder::NoBorder;
                corner = true;
                break;
            }
            directions[j].setX(side);
            kind = TableBorder::ColumnBorder;
        }
    }
    if (kind == TableBorder::NoBorder) directions.fill(QPoint(0, 0));
    return kind;
}

DomRef SelectionElement(const DomRef& document) {
    const QString type = SelectionType(document);
    if (type.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0 ||
        type.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0) {
        const DomRef range = SelectionOf(document).Call(QStringLiteral("createRange")).ToRef();
        range.Call(QStringLiteral("collapse"));
        return range.Call(QStringLiteral("parentElement")).ToRef();
    }
    if (type.compare(QLatin1String("Control"), Qt::CaseInsensitive) == 0) {
        const DomRef range = SelectionOf(document).Call(QStringLiteral("createRange")).ToRef();
        return range.Call(QStringLiteral("commonParentElement")).ToRef();
    }
    return DomRef();
}

DomRef AncestorWithTag(const DomRef& element, const QString& tag) {
    DomRef e = element;
    while (e && !HasTagName(e, tag)) e = e.Ref(QStringLiteral("parentElement"));
    return e;
}

DomRef SelectionAncestorWithTag(const DomRef& document, const QString& tag) {
    return AncestorWithTag(SelectionElement(document), tag);
}

void SelectElement(const DomRef& element) {
    const DomRef range = element.Ref(QStringLiteral("document"))
                             .Ref(QStringLiteral("body"))
                             .Call(QStringLiteral("createTextRange"))
                             .ToRef();
    range.Call(QStringLiteral("moveToElementText"), {element});
    range.Call(QStringLiteral("select"));
}

void DeleteControlSelection(const DomRef& document) {
    if (SelectionType(document).compare(QLatin1String("control"), Qt::CaseInsensitive) == 0)
        SelectionOf(document).Call(QStringLiteral("clear"));
}

void PasteHTMLAtSelection(const DomRef& document, const QString& html) {
    DeleteControlSelection(document);
    try {
        SelectionOf(document)
            .Call(QStringLiteral("createRange"))
            .ToRef()
            .Call(QStringLiteral("pasteHTML"), {html});
    } catch (const EngineError&) {
        ShowMessageBox(QStringLiteral("Can not paste HTML code into the current location."),
                       MessageFlags::Information);
    }
}

namespace {
void ChangeSelectionCase(const DomRef& document, QString (*change)(const QString&)) {
    if (SelectionType(document).compare(QLatin1String("Text"), Qt::CaseInsensitive) != 0) return;
    const DomRef range = SelectionOf(document).Call(QStringLiteral("createRange")).ToRef();
    range.Call(QStringLiteral("pasteHTML"), {change(range.Text(QStringLiteral("HTMLText")))});
    range.Call(QStringLiteral("select"));
}
}  // namespace

void UpperCaseSelection(const DomRef& document) { ChangeSelectionCase(document, &UpperCaseHtml); }

void LowerCaseSelection(const DomRef& document) { ChangeSelectionCase(document, &LowerCaseHtml); }

void ClearBoldItalicUnderline(const DomRef& document) {
    const QStringList commands = {QStringLiteral("Bold"), QStringLiteral("Italic"),
                                  QStringLiteral("Underline")};
    for (const QString& command : commands) document.Call(QStringLiteral("execCommand"), {command});
    for (const QString& command : commands)
        if (document.Call(QStringLiteral("queryCommandState"), {command}).ToBool())
            document.Call(QStringLiteral("execCommand"), {command});
}

QString DocumentFilePath(const DomRef& document) {
    QString path = UrlDecode(document.Ref(QStringLiteral("location")).Text(QStringLiteral("pathname")));
    const qsizetype open = path.indexOf(QLatin1Char('('));
    if (open >= 0) path.remove(open, 1);
    const qsizetype close = path.indexOf(QLatin1Char(')'));
    if (close >= 0) path.remove(close, 1);
    return path;
}

DomRef DocumentHead(const DomRef& document) {
    const DomRef head = Item(Tags(document, QStringLiteral("HEAD")), 0);
    if (!head) RaiseMessage(QStringLiteral("DOM does not have a head."));
    return head;
}

QString GetMeta(const DomRef& document, const QString& key, const QString& fallback,
                const QString& attributeName) {
    const DomRef list = Tags(DocumentHead(document), QStringLiteral("META"));
    QString result;
    const int count = Length(list);
    for (int i = 0; i < count; ++i) {
        const DomRef item = Item(list, i);
        if (GetAttr(item, attributeName).compare(key, Qt::CaseInsensitive) != 0) continue;
        if (!result.isEmpty()) result += QLatin1Char(',');
        result += GetAttr(item, QStringLiteral("content")).trimmed();
    }
    result = result.trimmed();
    return result.isEmpty() ? fallback : result;
}

void SetMeta(const DomRef& document, const QString& key, const QString& content,
             const QString& attributeName) {
    const DomRef head = DocumentHead(document);
    const DomRef list = Tags(head, QStringLiteral("META"));
    for (int i = Length(list) - 1; i >= 0; --i) {
        const DomRef item = Item(list, i);
        if (GetAttr(item, attributeName).compare(key, Qt::CaseInsensitive) == 0)
            item.Call(QStringLiteral("removeNode"));
    }
    if (content.isEmpty()) return;
    head.Call(QStringLiteral("appendChild"), {CreateMeta(document, attributeName, key, content)});
}

DomRef CreateMeta(const DomRef& document, const QString& attributeName, const QString& key,
                  const QString& content) {
    const DomRef meta = document.Call(QStringLiteral("createElement"), {QStringLiteral("META")}).ToRef();
    SetAttr(meta, attributeName, key);
    SetAttr(meta, QStringLiteral("content"), content);
    return meta;
}

void ToggleScript(const DomRef& document, const QString& identifier, const QString& code) {
    const DomRef existing = document.Call(QStringLiteral("getElementById"), {identifier}).ToRef();
    if (!existing) {
        const DomRef script =
            document.Call(QStringLiteral("createElement"), {QStringLiteral("SCRIPT")}).ToRef();
        script.Put(QStringLiteral("text"), QStringLiteral("\n") + code);
        script.Put(QStringLiteral("id"), identifier);
        script.Put(QStringLiteral("language"), QStringLiteral("JavaScript"));
        SelectionElement(document).Call(QStringLiteral("insertAdjacentElement"),
                                        {QStringLiteral("AfterEnd"), script});
        return;
    }
    if (ConfirmYesNo(
            QStringLiteral("This script is already contained in the page. Would you like to remove it?")))
        RemoveElement(existing);
}

int MapIndexByName(const DomRef& document, const QString& mapName) {
    const DomRef maps = Tags(document, QStringLiteral("map"));
    const int count = Length(maps);
    for (int i = 0; i < count; ++i)
        if (Item(maps, i).Text(QStringLiteral("name")).compare(mapName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QColor PageColor(const DomRef& document) { return HtmlTextToColor(document.Text(QStringLiteral("bgColor"))); }

void SetPageColor(const DomRef& document, const QColor& colour) {
    document.Put(QStringLiteral("bgColor"), ColorToHtmlText(colour));
}

int CountWords(const DomRef& document) {
    int words = 0;
    WalkUnits(document, QStringLiteral("Word"), [&](const QString& text) {
        if (!text.isEmpty() && IsAsciiLetter(text.at(0))) ++words;
    });
    return words;
}

int CountWordCharacters(const DomRef& document) {
    int characters = 0;
    WalkUnits(document, QStringLiteral("Word"), [&](const QString& text) { characters += int(text.size()); });
    return characters;
}

int CountSentences(const DomRef& document) {
    int sentences = 0;
    WalkUnits(document, QStringLiteral("Sentence"), [&](const QString&) { ++sentences; });
    return sentences;
}

qint64 TotalImageBytes(const DomRef& document) {
    const DomRef images = document.Ref(QStringLiteral("images"));
    qint64 total = 0;
    const int count = Length(images);
    for (int i = 0; i < count; ++i)
        total += Item(images, i).Get(QStringLiteral("fileSize")).ToString().toLongLong();
    return total;
}

}  // namespace plovane
