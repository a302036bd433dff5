// platform/Prompter.h — every question, message box, input box and shared dialog goes through the
// installed Prompter: the application installs the widget one, tests install a scripted one.
#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace plovane {

enum class MessageKind { Information, Warning, Error };
enum class Answer { Yes, No, Cancel };

// A file dialog as the caller set it up; the filter is in Qt's form ("HTML Files (*.htm *.html)").
struct FileDialogRequest {
    QString caption;
    QString folder;
    QString fileName;
    QStringList filters;
    QString defaultExtension;  // without the dot; added when the chosen name has none
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Message(const QString& text, MessageKind kind) = 0;
    virtual bool ConfirmYesNo(const QString& text) = 0;
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& value) = 0;
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseFolder(const QString& caption, const QString& start) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;
};

// The real dialogs, parented to the active window, captioned with the application title.
class WidgetPrompter : public Prompter {
public:
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

// The installed prompter (a WidgetPrompter until another is installed).
Prompter& CurrentPrompter();
// Installs a prompter and returns the previous one, so a caller can put it back.
std::unique_ptr<Prompter> InstallPrompter(std::unique_ptr<Prompter> prompter);

// The message boxes of the system, captioned with the application title.
enum class MessageFlags { Information, Warning };
void ShowMessageBox(const QString& text, MessageFlags flags = MessageFlags::Information);
bool ConfirmYesNo(const QString& text);
Answer AskYesNoCancel(const QString& text);
std::optional<QString> InputBox(const QString& caption, const QString& prompt, const QString& value);

}  // namespace plovane
