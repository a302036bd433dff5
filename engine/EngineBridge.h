// engine/EngineBridge.h — the one way C++ talks to engine.js: one runJavaScript per call in the
// application world, waited for in a local event loop.
#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include "engine/DomRef.h"

class QWebEnginePage;

namespace plovane {

class EngineBridge : public QObject {
    Q_OBJECT
public:
    explicit EngineBridge(QWebEnginePage* page, QObject* parent = nullptr);

    // The page's document; dies with the next load.
    DomRef Document();

    DomValue Get(const DomRef& target, const QString& name);
    void Put(const DomRef& target, const QString& name, const DomValue& value);
    DomValue Call(const DomRef& target, const QString& name, const QList<DomValue>& arguments);

    // Runs `PlovaneEngine.<expression>` (which answers {v: value} or {e: message}) and gives the
    // value. Throws EngineError with the page's message, or when the page does not answer.
    DomValue Invoke(const QString& expression);
    // Runs a script in the engine's world and gives its raw result; throws only on no answer.
    // While one call waits for its answer, the engine cannot answer another: a call made from an
    // event handled during that wait (a timer, a queued signal) throws at once instead of hanging.
    QVariant Evaluate(const QString& script);
    // A call is waiting for its answer. Event handlers that call the page check this and wait for
    // CallEnded, which comes (queued) when the last waiting call has its answer.
    bool Answering() const { return Depth > 0; }

    // A new document replaces the old one: every handle handed out so far dies.
    void NewGeneration();

    // Milliseconds a call may take before it counts as lost (a hung or crashed page).
    void SetTimeout(int milliseconds) { TimeoutMs = milliseconds; }

    static QString Quote(const QString& text);  // a JavaScript string literal

signals:
    // The page's process ended: calls fail at once until the next document.
    void PageLost();
    void CallEnded();

private:
    friend class DomRef;
    QString Encode(const DomValue& value) const;
    void Release(int handle, quint64 generation);
    DomValue Decode(const QVariant& value);
    QString CheckedHandle(const DomRef& target) const;

    QPointer<QWebEnginePage> Page;
    quint64 Generation = 1;
    QList<int> PendingRelease;
    int TimeoutMs = 20000;
    int Depth = 0;
    bool Lost = false;
};

}  // namespace plovane
