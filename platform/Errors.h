// platform/Errors.h — the error model: a command that cannot go on throws, RunCommand catches,
// and the one application error handler shows the text.
#pragma once
#include <QString>
#include <functional>
#include <stdexcept>

namespace plovane {

// Abandons the running command; its text is shown by the application error handler.
class AbortCommand : public std::runtime_error {
public:
    explicit AbortCommand(const QString& text);
    QString Text() const { return Message; }

private:
    QString Message;
};

// An error raised inside the editing engine (a script error in the page world, a refused call).
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString& text);
    QString Text() const { return Message; }

private:
    QString Message;
};

[[noreturn]] void RaiseMessage(const QString& text);

// Runs one command. Any AbortCommand, EngineError or other exception stops it and its text goes to
// the application error handler. Returns true when the command ran to its end.
bool RunCommand(const std::function<void()>& command);

// The one application error handler. The default shows an error box through the Prompter.
using ErrorHandler = std::function<void(const QString& text)>;
void SetErrorHandler(ErrorHandler handler);  // an empty handler restores the default
void HandleApplicationError(const QString& text);

}  // namespace plovane
