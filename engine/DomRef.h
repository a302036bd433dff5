// engine/DomRef.h — late-bound references to objects inside the engine's page (elements, the
// document, style objects, collections, selections and text ranges) and the values they give.
#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace plovane {

class EngineBridge;
class DomValue;

// A reference to one engine object, reached by member name:
//   element.Get("tagName"); element.Put("bgColor", "ff0000"); element.Call("getAttribute", {"src", 2});
// May be empty. Copies share the engine object; the engine forgets it when the last copy goes.
// A reference outlives its document only as a dead handle: using it then throws EngineError.
//
// Members follow the classic model: names match without regard to case ("vSpace", "cellspacing");
// a property the engine does not know reads and writes the attribute of that name (writing the
// empty text removes it); getAttribute(name, 2) gives the text as written and "" when absent;
// comments are elements with tagName "!" whose `text` is "<!--...-->". Collections (all, images,
// links, forms, scripts, applets, plugins, cells, options, children) answer length, item(i) and
// tags(name); document.selection answers type ("None", "Text", "Control"), createRange, clear;
// text ranges move by "character", "word" (a word with its trailing blanks) and "sentence".
class DomRef {
public:
    DomRef() = default;

    bool IsEmpty() const { return !Target; }
    explicit operator bool() const { return !IsEmpty(); }

    // Each throws EngineError when the reference is empty, dead, or the page refuses the member.
    DomValue Get(const QString& name) const;
    void Put(const QString& name, const DomValue& value) const;
    DomValue Call(const QString& name, const QList<DomValue>& arguments = {}) const;

    // Shorthands for the common reads: Get(name) as text or as a reference.
    QString Text(const QString& name) const;
    DomRef Ref(const QString& name) const;

    // True when both refer to the same engine object (or both are empty).
    bool SameAs(const DomRef& other) const;

    EngineBridge* Engine() const;
    int Handle() const;

private:
    friend class EngineBridge;
    struct Slot;
    explicit DomRef(std::shared_ptr<Slot> slot) : Target(std::move(slot)) {}
    std::shared_ptr<Slot> Target;
};

// A value read from or written to the engine: empty, bool, integer, number, text or reference.
class DomValue {
public:
    enum class Kind { Empty, Bool, Integer, Number, Text, Object };

    DomValue() = default;
    DomValue(bool value) : Type(Kind::Bool), Scalar(value) {}
    DomValue(int value) : Type(Kind::Integer), Scalar(qint64(value)) {}
    DomValue(qint64 value) : Type(Kind::Integer), Scalar(value) {}
    DomValue(double value) : Type(Kind::Number), Scalar(value) {}
    DomValue(const QString& value) : Type(Kind::Text), Scalar(value) {}
    DomValue(const char* value) : DomValue(QString::fromUtf8(value)) {}
    DomValue(const DomRef& value) : Type(value.IsEmpty() ? Kind::Empty : Kind::Object), Object(value) {}

    Kind ValueKind() const { return Type; }
    bool IsEmpty() const { return Type == Kind::Empty; }
    bool IsObject() const { return Type == Kind::Object; }

    // Text as the page would print it: "" for empty, "true"/"false", "12", "1.5".
    QString ToString() const;
    // Numbers truncate; text reads its leading integer ("120px" -> 120); anything else is 0.
    qint64 ToInt() const;
    double ToNumber() const;
    bool ToBool() const;
    DomRef ToRef() const { return Object; }

    QVariant ToVariant() const;  // scalars only; a reference gives an invalid QVariant

private:
    Kind Type = Kind::Empty;
    QVariant Scalar;
    DomRef Object;
};

}  // namespace plovane
