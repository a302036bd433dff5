#include "platform/Errors.h"

#include "platform/Prompter.h"

namespace plovane {

AbortCommand::AbortCommand(const QString& text) : std::runtime_error(text.toStdString()), Message(text) {}

EngineError::EngineError(const QString& text) : std::runtime_error(text.toStdString()), Message(text) {}

void RaiseMessage(const QString& text) { throw AbortCommand(text); }

namespace {
ErrorHandler& InstalledHandler() {
    static ErrorHandler handler;
    return handler;
}
}  // namespace

void SetErrorHandler(ErrorHandler handler) { InstalledHandler() = std::move(handler); }

void HandleApplicationError(const QString& text) {
    if (InstalledHandler()) {
        InstalledHandler()(text);
        return;
    }
    CurrentPrompter().Message(text, MessageKind::Error);
}

bool RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const AbortCommand& e) {
        HandleApplicationError(e.Text());
    } catch (const EngineError& e) {
        HandleApplicationError(e.Text());
    } catch (const std::exception& e) {
        HandleApplicationError(QString::fromStdString(e.what()));
    }
    return false;
}

}  // namespace plovane
