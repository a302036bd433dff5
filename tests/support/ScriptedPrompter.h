// tests/support/ScriptedPrompter.h — a Prompter that records every text it is shown and answers
// questions, input boxes and dialogs from queues the test fills. A question with no queued answer
// fails the test and is answered No / Cancel.
#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Prompter.h"
#include "support/QtPrinters.h"

namespace plovane::test {

class ScriptedPrompter : public Prompter {
public:
    struct Entry {
        QString kind;  // "information", "warning", "error", "yesno", "yesnocancel", "input", "open", ...
        QString text;
    };

    std::deque<bool> YesNo;
    std::deque<Answer> YesNoCancel;
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::optional<QString>> Files;  // open and save dialogs, in order
    std::deque<std::optional<QString>> Folders;
    std::deque<std::optional<QColor>> Colors;
    std::deque<std::optional<QFont>> Fonts;

    std::vector<Entry> Log;
    std::vector<FileDialogRequest> FileRequests;

    QStringList Texts() const;                     // every text shown or asked, in order
    QStringList Texts(const QString& kind) const;  // only those of one kind

    void Message(const QString& text, MessageKind kind) override;
    bool ConfirmYesNo(const QString& text) override;
    Answer AskYesNoCancel(const QString& text) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& value) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    std::optional<QString> ChooseFolder(const QString& caption, const QString& start) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
};

// Installs a ScriptedPrompter for the object's lifetime and puts the previous one back.
class ScopedPrompter {
public:
    ScopedPrompter();
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

    ScriptedPrompter* operator->() const { return Script; }
    ScriptedPrompter& operator*() const { return *Script; }

private:
    ScriptedPrompter* Script;  // owned by the installed slot
    std::unique_ptr<Prompter> Previous;
};

}  // namespace plovane::test
