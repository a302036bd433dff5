// tests/engine/EngineFixture.h — one design view for the whole run: Chromium's start-up is the
// expensive part, so every test loads its small page into the same engine.
#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "engine/DHTMLEdit.h"
#include "engine/DomRef.h"
#include "support/QtPrinters.h"


namespace plovane::test {

// The shared design view (created on first use, destroyed after the last test).
TDHTMLEdit& SharedEdit();

// Fixture: Load(html) shows a page in the shared design view and waits for it.
class EngineTest : public ::testing::Test {
protected:
    TDHTMLEdit& Edit() { return SharedEdit(); }
    DomRef Load(const QString& html);
    DomRef Doc() { return Edit().DOM(); }
    DomRef ById(const QString& id);
    // Selects the text of the element with the id (the whole text, or a part from..to).
    void SelectText(const QString& id, int from = 0, int to = -1);
    void PlaceCaret(const QString& id, int offset);
    QString Body();                         // body.innerHTML
    QString Js(const QString& expression);  // evaluated in the engine's world, as text
};

// Waits (processing events) until the predicate holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000);

}  // namespace plovane::test
