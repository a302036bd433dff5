#include "EngineFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <memory>

#include "engine/EngineBridge.h"
#include "engine/QelDHTMLLib.h"
#include "support/SelectionScripts.h"

namespace plovane::test {

namespace {

std::unique_ptr<TDHTMLEdit> Shared;

class EngineEnvironment : public ::testing::Environment {
public:
    void TearDown() override { Shared.reset(); }
};

const auto* const Registered = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace

TDHTMLEdit& SharedEdit() {
    if (!Shared) {
        Shared = std::make_unique<TDHTMLEdit>();
        Shared->resize(800, 600);
        Shared->show();
        WaitUntilReady(Shared.get());
    }
    return *Shared;
}

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

DomRef EngineTest::Load(const QString& html) {
    DesignSetHTML(&Edit(), html, false);
    WaitUntilReady(&Edit());
    return Doc();
}

DomRef EngineTest::ById(const QString& id) { return Doc().Call("getElementById", {id}).ToRef(); }

QString EngineTest::Js(const QString& expression) { return Edit().Bridge().Evaluate(expression).toString(); }

void EngineTest::SelectText(const QString& id, int from, int to) { Js(SelectTextScript(id, from, to)); }

void EngineTest::PlaceCaret(const QString& id, int offset) { SelectText(id, offset, offset); }

QString EngineTest::Body() { return Doc().Ref("body").Text("innerHTML"); }

}  // namespace plovane::test
