// The command table on both sides of the bridge, and the editing keys that run it.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QWebEngineView>
#include <map>
#include <set>

#include "EngineFixture.h"
#include "engine/EngineBridge.h"
#include "platform/Errors.h"
#include "support/ScriptedPrompter.h"
#include "support/TestPlaces.h"

namespace plovane::test {

// The header's text is read here on its own terms, so a constant the build's list leaves out, or
// a number the script gets wrong, shows up.
TEST_F(EngineTest, EngineScriptKnowsEveryConstantOfTheHeaderByName) {
    QFile header(SourceFile("engine/DHTMLCommands.h"));
    ASSERT_TRUE(header.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(header.readAll());
    QJsonObject expected{{"DECMD", QJsonObject()}, {"DECMDF", QJsonObject()}};
    static const QRegularExpression constant(R"(\b(DECMDF?)_(\w+)\s*=\s*(\d+))");
    for (auto match = constant.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        QJsonObject group = expected[m.captured(1)].toObject();
        group[m.captured(2)] = m.captured(3).toInt();
        expected[m.captured(1)] = group;
    }
    ASSERT_EQ(expected["DECMD"].toObject().size(), 52);
    Load("<body><p>x</p></body>");
    const QJsonObject known =
        QJsonDocument::fromJson(Js("JSON.stringify({DECMD: DECMD, DECMDF: DECMDF})").toUtf8()).object();
    EXPECT_EQ(known, expected);
}

// Each C++ definition asks the engine world only for what it has: the status where the C++ side
// does not know it itself, the action where no C++ member runs the command. No engine entry is
// out of the C++ side's reach.
TEST_F(EngineTest, BothCommandTablesAgree) {
    Load("<body><p>x</p></body>");
    struct EngineEntry {
        bool status;
        bool run;
    };
    std::map<int, EngineEntry> engine;
    for (const QVariant& row : Edit().Bridge().Evaluate("PlovaneEngine.commandTable()").toList()) {
        const QVariantList fields = row.toList();
        engine[fields.value(0).toInt()] = {fields.value(1).toBool(), fields.value(2).toBool()};
    }
    std::set<int> defined;
    for (const auto& definition : TDHTMLEdit::Commands()) {
        EXPECT_TRUE(defined.insert(definition.Command).second) << "twice: " << definition.Command;
        const auto found = engine.find(definition.Command);
        const bool status = found != engine.end() && found->second.status;
        const bool run = found != engine.end() && found->second.run;
        EXPECT_EQ(status, definition.Status == TDHTMLEdit::StatusSource::EngineWorld) << definition.Command;
        if (!definition.Run) {
            EXPECT_TRUE(run) << definition.Command;
        }
    }
    for (const auto& [command, entry] : engine) EXPECT_EQ(defined.count(command), 1u) << command;
}

TEST_F(EngineTest, CommandsOutsideTheTableAreRefused) {
    Load("<body><p id=p>x</p></body>");
    for (const int command : {int(DECMD_PROPERTIES), 4000, 5001}) {
        EXPECT_EQ(Edit().QueryStatus(command), DECMDF_NOTSUPPORTED) << command;
        try {
            Edit().ExecCommand(command);
            ADD_FAILURE() << command << " ran";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.Text(), "The command is not supported.");
        }
    }
}

// Keys go to the view's focus proxy, as a person's typing does.
class EditingKeyTest : public EngineTest {
protected:
    QWidget* Keys() {
        QWidget* proxy = Edit().View()->focusProxy();
        EXPECT_NE(proxy, nullptr);
        return proxy;
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Keys(), key, modifiers);
    }
};

TEST_F(EditingKeyTest, CtrlBBoldsAndCtrlZUndoesOnlyThatStep) {
    Load("<body><p id=p>alpha beta</p></body>");
    SelectText("p");
    Edit().ExecCommand(DECMD_ITALIC);
    // A menu shortcut on the same key must not run the command a second time.
    QAction menuBold(&Edit());
    menuBold.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    Edit().addAction(&menuBold);
    int menuRuns = 0;
    QObject::connect(&menuBold, &QAction::triggered, [&] { ++menuRuns; });

    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Edit().QueryStatus(DECMD_BOLD), DECMDF_LATCHED);
    EXPECT_EQ(Edit().QueryStatus(DECMD_ITALIC), DECMDF_LATCHED);
    EXPECT_EQ(menuRuns, 0);

    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit().QueryStatus(DECMD_BOLD), DECMDF_ENABLED);
    EXPECT_EQ(Edit().QueryStatus(DECMD_ITALIC), DECMDF_LATCHED) << "the step before stays";
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Edit().QueryStatus(DECMD_BOLD), DECMDF_LATCHED);
    Edit().removeAction(&menuBold);
}

TEST_F(EditingKeyTest, ClipboardKeysRunTheTablesCommands) {
    Load("<body><p id=p><b>one</b> two</p><p id=q>x</p></body>");
    QGuiApplication::clipboard()->setText("before");
    SelectText("p");
    Press(Qt::Key_C, Qt::ControlModifier);
    // The table's copy fills the clipboard before the key press returns, with the markup as well.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "one two");
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->html().contains("<b>one</b>"));
    SelectText("q");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(ById("q").Text("innerHTML").contains("<b>one</b>")) << qPrintable(Body());
}

TEST_F(EditingKeyTest, DeleteRemovesTheCharacterAfterTheCaret) {
    Load("<body><p id=p>alpha</p></body>");
    PlaceCaret("p", 1);
    Press(Qt::Key_Delete);
    EXPECT_EQ(ById("p").Text("innerHTML"), "apha");
    PlaceCaret("p", 0);
    Edit().ExecCommand(DECMD_DELETE);
    EXPECT_EQ(ById("p").Text("innerHTML"), "pha");
}

TEST_F(EditingKeyTest, AKeyWhoseCommandIsDisabledDoesNothing) {
    Load("<body><p id=p>alpha</p></body>");
    ScopedPrompter prompter;
    QGuiApplication::clipboard()->setText("kept");
    PlaceCaret("p", 2);
    ASSERT_EQ(Edit().QueryStatus(DECMD_CUT), DECMDF_DISABLED);
    ASSERT_EQ(Edit().QueryStatus(DECMD_UNDO), DECMDF_DISABLED);
    QKeyEvent cut(QEvent::KeyPress, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Edit().TranslateAccelerator(&cut), 0) << "consumed, so Chromium does not cut either";
    Press(Qt::Key_X, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ById("p").Text("innerHTML"), "alpha");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(prompter->Texts().isEmpty()) << qPrintable(prompter->Texts().join('\n'));
}

}  // namespace plovane::test
