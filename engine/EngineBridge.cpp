#include "engine/EngineBridge.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonValue>
#include <QScopeGuard>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <cmath>

#include "platform/Errors.h"

namespace plovane {

struct DomRef::Slot {
    QPointer<EngineBridge> Bridge;
    int Handle = 0;
    quint64 Generation = 0;
    ~Slot() {
        if (Bridge) Bridge->Release(Handle, Generation);
    }
};

// ---- DomRef ------------------------------------------------------------------------------------

namespace {

EngineBridge& BridgeOf(const DomRef& ref) {
    EngineBridge* bridge = ref.Engine();
    if (ref.IsEmpty()) throw EngineError("The element reference is empty.");
    if (!bridge) throw EngineError("The engine of this element no longer exists.");
    return *bridge;
}

}  // namespace

DomValue DomRef::Get(const QString& name) const { return BridgeOf(*this).Get(*this, name); }

void DomRef::Put(const QString& name, const DomValue& value) const {
    BridgeOf(*this).Put(*this, name, value);
}

DomValue DomRef::Call(const QString& name, const QList<DomValue>& arguments) const {
    return BridgeOf(*this).Call(*this, name, arguments);
}

QString DomRef::Text(const QString& name) const { return Get(name).ToString(); }

DomRef DomRef::Ref(const QString& name) const { return Get(name).ToRef(); }

bool DomRef::SameAs(const DomRef& other) const {
    if (IsEmpty() || other.IsEmpty()) return IsEmpty() == other.IsEmpty();
    return Target->Bridge == other.Target->Bridge && Target->Handle == other.Target->Handle &&
           Target->Generation == other.Target->Generation;
}

EngineBridge* DomRef::Engine() const { return Target ? Target->Bridge.data() : nullptr; }

int DomRef::Handle() const { return Target ? Target->Handle : 0; }

// ---- DomValue ----------------------------------------------------------------------------------

QString DomValue::ToString() const {
    switch (Type) {
        case Kind::Empty:
            return QString();
        case Kind::Bool:
            return Scalar.toBool() ? "true" : "false";
        case Kind::Integer:
            return QString::number(Scalar.toLongLong());
        case Kind::Number:
            return QString::number(Scalar.toDouble(), 'g', 15);
        case Kind::Text:
            return Scalar.toString();
        case Kind::Object:
            return "[object]";
    }
    return QString();
}

qint64 DomValue::ToInt() const {
    switch (Type) {
        case Kind::Bool:
            return Scalar.toBool() ? 1 : 0;
        case Kind::Integer:
            return Scalar.toLongLong();
        case Kind::Number:
            return qint64(std::trunc(Scalar.toDouble()));
        case Kind::Text: {
            const QString text = Scalar.toString().trimmed();
            int end = 0;
            if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
            while (end < text.size() && text[end].isDigit()) ++end;
            return text.left(end).toLongLong();
        }
        default:
            return 0;
    }
}

double DomValue::ToNumber() const {
    if (Type == Kind::Number) return Scalar.toDouble();
    if (Type == Kind::Text) {
        bool ok = false;
        const double v = Scalar.toString().trimmed().toDouble(&ok);
        return ok ? v : double(ToInt());
    }
    return double(ToInt());
}

bool DomValue::ToBool() const {
    switch (Type) {
        case Kind::Bool:
            return Scalar.toBool();
        case Kind::Integer:
        case Kind::Number:
            return ToNumber() != 0;
        case Kind::Text:
            return !Scalar.toString().isEmpty();
        case Kind::Object:
            return true;
        default:
            return false;
    }
}

QVariant DomValue::ToVariant() const { return Type == Kind::Object ? QVariant() : Scalar; }

// ---- EngineBridge ------------------------------------------------------------------------------

EngineBridge::EngineBridge(QWebEnginePage* page, QObject* parent) : QObject(parent), Page(page) {
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        Lost = true;
        emit PageLost();
    });
}

void EngineBridge::NewGeneration() {
    ++Generation;
    Lost = false;
    PendingRelease.clear();
}

void EngineBridge::Release(int handle, quint64 generation) {
    if (generation == Generation) PendingRelease.append(handle);
}

QString EngineBridge::Quote(const QString& text) {
    // JSON string syntax is valid JavaScript once the two line separators are escaped too.
    QString json =
        QString::fromUtf8(QJsonDocument::fromVariant(QVariantList{text}).toJson(QJsonDocument::Compact));
    json = json.mid(1, json.size() - 2);
    json.replace(QChar(0x2028), "\\u2028");
    json.replace(QChar(0x2029), "\\u2029");
    return json;
}

QString EngineBridge::Encode(const DomValue& value) const {
    switch (value.ValueKind()) {
        case DomValue::Kind::Empty:
            return "null";
        case DomValue::Kind::Bool:
            return value.ToBool() ? "true" : "false";
        case DomValue::Kind::Integer:
            return QString::number(value.ToInt());
        case DomValue::Kind::Number: {
            const double v = value.ToNumber();
            return std::isfinite(v) ? QString::number(v, 'g', 17) : "null";
        }
        case DomValue::Kind::Text:
            return Quote(value.ToString());
        case DomValue::Kind::Object:
            return QString("{\"h\":%1}").arg(CheckedHandle(value.ToRef()));
    }
    return "null";
}

QString EngineBridge::CheckedHandle(const DomRef& target) const {
    if (target.IsEmpty()) throw EngineError("The element reference is empty.");
    if (target.Engine() != this) throw EngineError("The element belongs to another document.");
    if (target.Target->Generation != Generation)
        throw EngineError("The element belongs to a document that was replaced.");
    return QString::number(target.Target->Handle);
}

DomValue EngineBridge::Decode(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            return DomValue();
        case QMetaType::Bool:
            return DomValue(value.toBool());
        case QMetaType::QString:
            return DomValue(value.toString());
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return DomValue(value.toLongLong());
        case QMetaType::Double: {
            const double v = value.toDouble();
            if (std::trunc(v) == v && std::fabs(v) < 9.0e15) return DomValue(qint64(v));
            return DomValue(v);
        }
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            if (map.contains("h")) {
                auto slot = std::make_shared<DomRef::Slot>();
                slot->Bridge = this;
                slot->Handle = map.value("h").toInt();
                slot->Generation = Generation;
                return DomValue(DomRef(slot));
            }
            return DomValue();
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList:
            return DomValue(value.toStringList().join(','));
        default:
            return DomValue(value.toString());
    }
}

QVariant EngineBridge::Evaluate(const QString& script) {
    if (!Page) throw EngineError("The engine no longer exists.");
    if (Lost) throw EngineError("The page's process has ended.");
    if (Depth > 0) throw EngineError("The engine is still answering another call.");
    ++Depth;
    const auto leave = qScopeGuard([this] {
        if (--Depth == 0) QMetaObject::invokeMethod(this, &EngineBridge::CallEnded, Qt::QueuedConnection);
    });
    QEventLoop loop;
    QVariant result;
    bool answered = false;
    auto guard = std::make_shared<bool>(true);
    std::weak_ptr<bool> alive = guard;
    Page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&, alive](const QVariant& value) {
        if (alive.expired()) return;  // the caller gave up waiting
        result = value;
        answered = true;
        loop.quit();
    });
    if (!answered) {
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(Page.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(this, &EngineBridge::PageLost, &loop, &QEventLoop::quit);
        timeout.start(TimeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    guard.reset();
    if (!answered) throw EngineError("The engine did not answer.");
    return result;
}

DomValue EngineBridge::Invoke(const QString& expression) {
    QString script;
    if (!PendingRelease.isEmpty()) {
        QStringList ids;
        for (int id : PendingRelease) ids << QString::number(id);
        PendingRelease.clear();
        script = "if (window.PlovaneEngine) PlovaneEngine.release([" + ids.join(',') + "]);";
    }
    script += "window.PlovaneEngine ? PlovaneEngine." + expression + " : {e: 'The document is not ready.'}";
    const QVariant raw = Evaluate(script);
    const QVariantMap answer = raw.toMap();
    if (answer.contains("e")) throw EngineError(answer.value("e").toString());
    if (!answer.contains("v")) throw EngineError("The engine gave no answer.");
    return Decode(answer.value("v"));
}

DomRef EngineBridge::Document() { return Invoke("document()").ToRef(); }

DomValue EngineBridge::Get(const DomRef& target, const QString& name) {
    return Invoke(QString("get(%1,%2)").arg(CheckedHandle(target), Quote(name)));
}

void EngineBridge::Put(const DomRef& target, const QString& name, const DomValue& value) {
    Invoke(QString("put(%1,%2,%3)").arg(CheckedHandle(target), Quote(name), Encode(value)));
}

DomValue EngineBridge::Call(const DomRef& target, const QString& name, const QList<DomValue>& arguments) {
    QStringList args;
    for (const DomValue& a : arguments) args << Encode(a);
    return Invoke(QString("call(%1,%2,[%3])").arg(CheckedHandle(target), Quote(name), args.join(',')));
}

}  // namespace plovane
