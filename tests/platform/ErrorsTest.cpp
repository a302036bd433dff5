#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include "platform/Errors.h"
#include "platform/Prompter.h"
#include "support/ScopedState.h"
#include "support/ScriptedPrompter.h"

namespace plovane {
namespace {

TEST(RunCommandTest, AnAbortedCommandStopsThereAndItsTextReachesTheErrorHandler) {
    test::ScopedPrompter prompter;
    QStringList steps;
    const bool finished = RunCommand([&] {
        steps << "before";
        RaiseMessage("You must select an image before using this tool.");
        steps << "after";
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(steps, QStringList{"before"});
    EXPECT_EQ(prompter->Texts("error"), QStringList{"You must select an image before using this tool."});
}

TEST(RunCommandTest, EngineAndOtherErrorsGoToTheSameHandler) {
    QStringList shown;
    {
        const test::ScopedErrorHandler handler([&](const QString& text) { shown << text; });
        EXPECT_FALSE(RunCommand([] { throw EngineError("Object doesn't support this property"); }));
        EXPECT_FALSE(RunCommand([] { throw std::runtime_error("disk full"); }));
        EXPECT_TRUE(RunCommand([] {}));
    }
    EXPECT_EQ(shown, (QStringList{"Object doesn't support this property", "disk full"}));
}

// An event handler of our own that fails the way a command does. A throwing slot behind a Qt widget's
// handler would not do here: Qt's widget code is built without exception clean-up, so the throw would
// leak that code's locals on its way to the net.
class RefusingReceiver : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) RaiseMessage("refused");
        return QObject::event(event);
    }
};

TEST(RunCommandTest, AnExceptionInAnEventHandlerNeverCrossesTheEventLoop) {
    test::ScopedPrompter prompter;
    RefusingReceiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&receiver);  // the application's notify is the safety net
    EXPECT_EQ(prompter->Texts("error"), QStringList{"refused"});
}

TEST(PrompterTest, MessageBoxesAndQuestionsGoThroughTheInstalledPrompter) {
    test::ScopedPrompter prompter;
    prompter->YesNo = {true};
    prompter->YesNoCancel = {Answer::No};
    ShowMessageBox("info");
    ShowMessageBox("careful", MessageFlags::Warning);
    EXPECT_TRUE(ConfirmYesNo("Sure?"));
    EXPECT_EQ(AskYesNoCancel("Save?"), Answer::No);
    EXPECT_EQ(prompter->Texts(), (QStringList{"info", "careful", "Sure?", "Save?"}));
    EXPECT_EQ(prompter->Texts("warning"), QStringList{"careful"});
}

}  // namespace
}  // namespace plovane
