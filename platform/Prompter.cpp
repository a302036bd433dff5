#include "platform/Prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/Application.h"
#include "platform/SharedDialogs.h"

namespace plovane {

namespace {

std::unique_ptr<Prompter>& Installed() {
    static std::unique_ptr<Prompter> prompter = std::make_unique<WidgetPrompter>();
    return prompter;
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

std::optional<QString> RunFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(DialogParent(), request.caption, request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void WidgetPrompter::Message(const QString& text, MessageKind kind) {
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                    : QMessageBox::Critical;
    QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok, DialogParent());
    box.exec();
}

bool WidgetPrompter::ConfirmYesNo(const QString& text) {
    return QMessageBox::question(DialogParent(), ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

Answer WidgetPrompter::AskYesNoCancel(const QString& text) {
    const auto button =
        QMessageBox::warning(DialogParent(), ApplicationTitle(), text,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return button == QMessageBox::Yes ? Answer::Yes : button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

std::optional<QString> WidgetPrompter::InputBox(const QString& caption, const QString& prompt,
                                                const QString& value) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(DialogParent(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> WidgetPrompter::OpenFileName(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> WidgetPrompter::SaveFileName(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<QString> WidgetPrompter::ChooseFolder(const QString& caption, const QString& start) {
    const QString folder =
        QFileDialog::getExistingDirectory(DialogParent(), caption, start, QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<QColor> WidgetPrompter::ChooseColor(const QColor& initial) {
    LoadSharedCustomColors();
    const QColor colour =
        QColorDialog::getColor(initial, DialogParent(), QString(), QColorDialog::DontUseNativeDialog);
    if (!colour.isValid()) return std::nullopt;
    return colour;
}

std::optional<QFont> WidgetPrompter::ChooseFont(const QFont& initial) {
    bool ok = false;
    const QFont font =
        QFontDialog::getFont(&ok, initial, DialogParent(), QString(), QFontDialog::DontUseNativeDialog);
    if (!ok) return std::nullopt;
    return font;
}

Prompter& CurrentPrompter() { return *Installed(); }

std::unique_ptr<Prompter> InstallPrompter(std::unique_ptr<Prompter> prompter) {
    std::unique_ptr<Prompter> previous = std::move(Installed());
    Installed() = prompter ? std::move(prompter) : std::make_unique<WidgetPrompter>();
    return previous;
}

void ShowMessageBox(const QString& text, MessageFlags flags) {
    CurrentPrompter().Message(
        text, flags == MessageFlags::Warning ? MessageKind::Warning : MessageKind::Information);
}

bool ConfirmYesNo(const QString& text) { return CurrentPrompter().ConfirmYesNo(text); }

Answer AskYesNoCancel(const QString& text) { return CurrentPrompter().AskYesNoCancel(text); }

std::optional<QString> InputBox(const QString& caption, const QString& prompt, const QString& value) {
    return CurrentPrompter().InputBox(caption, prompt, value);
}

}  // namespace plovane
