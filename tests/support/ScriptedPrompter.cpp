#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace plovane::test {

namespace {

// The next queued answer, or `fallback` (and a test failure) when the script has none.
template <typename T>
T Next(std::deque<T>& queue, const QString& what, const QString& text,
       typename std::deque<T>::value_type fallback) {
    if (queue.empty()) {
        ADD_FAILURE() << "no scripted answer for " << what.toStdString() << ": " << text.toStdString();
        return fallback;
    }
    fallback = queue.front();
    queue.pop_front();
    return fallback;
}

}  // namespace

QStringList ScriptedPrompter::Texts() const {
    QStringList texts;
    for (const auto& entry : Log) texts << entry.text;
    return texts;
}

QStringList ScriptedPrompter::Texts(const QString& kind) const {
    QStringList texts;
    for (const auto& entry : Log)
        if (entry.kind == kind) texts << entry.text;
    return texts;
}

void ScriptedPrompter::Message(const QString& text, MessageKind kind) {
    static const char* const names[] = {"information", "warning", "error"};
    Log.push_back({QString::fromLatin1(names[int(kind)]), text});
}

bool ScriptedPrompter::ConfirmYesNo(const QString& text) {
    Log.push_back({QStringLiteral("yesno"), text});
    return Next(YesNo, QStringLiteral("ConfirmYesNo"), text, false);
}

Answer ScriptedPrompter::AskYesNoCancel(const QString& text) {
    Log.push_back({QStringLiteral("yesnocancel"), text});
    return Next(YesNoCancel, QStringLiteral("AskYesNoCancel"), text, Answer::Cancel);
}

std::optional<QString> ScriptedPrompter::InputBox(const QString& caption, const QString& prompt,
                                                  const QString& value) {
    Log.push_back({QStringLiteral("input"), prompt});
    Q_UNUSED(caption);
    Q_UNUSED(value);
    return Next(Inputs, QStringLiteral("InputBox"), prompt, std::nullopt);
}

std::optional<QString> ScriptedPrompter::OpenFileName(const FileDialogRequest& request) {
    Log.push_back({QStringLiteral("open"), request.folder + QLatin1Char('/') + request.fileName});
    FileRequests.push_back(request);
    return Next(Files, QStringLiteral("open dialog"), request.fileName, std::nullopt);
}

std::optional<QString> ScriptedPrompter::SaveFileName(const FileDialogRequest& request) {
    Log.push_back({QStringLiteral("save"), request.folder + QLatin1Char('/') + request.fileName});
    FileRequests.push_back(request);
    return Next(Files, QStringLiteral("save dialog"), request.fileName, std::nullopt);
}

std::optional<QString> ScriptedPrompter::ChooseFolder(const QString& caption, const QString& start) {
    Log.push_back({QStringLiteral("folder"), start});
    return Next(Folders, QStringLiteral("folder dialog"), caption, std::nullopt);
}

std::optional<QColor> ScriptedPrompter::ChooseColor(const QColor& initial) {
    Log.push_back({QStringLiteral("colour"), initial.name()});
    return Next(Colors, QStringLiteral("colour dialog"), initial.name(), std::nullopt);
}

std::optional<QFont> ScriptedPrompter::ChooseFont(const QFont& initial) {
    Log.push_back({QStringLiteral("font"), initial.family()});
    return Next(Fonts, QStringLiteral("font dialog"), initial.family(), std::nullopt);
}

ScopedPrompter::ScopedPrompter() {
    auto script = std::make_unique<ScriptedPrompter>();
    Script = script.get();
    Previous = InstallPrompter(std::move(script));
}

ScopedPrompter::~ScopedPrompter() { InstallPrompter(std::move(Previous)); }

}  // namespace plovane::test
