// platform/SharedDialogs.h — the process-wide open and save dialogs and the colour dialog's custom
// colours. The dialogs themselves run through the Prompter.
#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QPrinter;

namespace plovane {

// The page filter and the other filters the system uses, in the "Text|*.a;*.b|" form.
extern const char* const
    PageFileFilter;  // "HTML Files (*.htm)|*.htm;*.html;*.shtml;*.asp|All Files (*.*)|*.*|"
extern const char* const AllFilesFilter;  // "All Files (*.*)|*.*|"

// "HTML Files (*.htm)|*.htm;*.html|All Files (*.*)|*.*|" -> {"HTML Files (*.htm *.html)", "All Files (*)"}.
QStringList QtFileFilters(const QString& filter);

// Initial folder of the shared dialogs when a call names no folder (the site explorer sets it).
void SetSharedDialogFolder(const QString& folder);
QString SharedDialogFolder();

// Folder and name are taken from `file` with "/", "|", "<" and ">" removed from the name and a bare
// "." or ".." dropped. The open dialog uses "All Files (*.*)|*.*|" when no filter is given.
std::optional<QString> ExecuteOpenDialog(const QString& file, const QString& filter = QString(),
                                         const QString& defaultExtension = QString());
std::optional<QString> ExecuteSaveDialog(const QString& file, const QString& filter = QString(),
                                         const QString& defaultExtension = QString());

// The one printer the print and printer set-up dialogs share, so a set-up choice holds for printing.
QPrinter& SharedPrinter();

// The colour dialog's 16 custom colour slots, "A" to "P".
using CustomColorSlots = std::array<std::optional<QColor>, 16>;

// Each line "Color" + letter + "=" + hexadecimal digits fills the slot of its letter (the first line
// naming a slot counts); the digits hold blue in the highest byte, then green, then red. A slot no
// line fills, or whose value is not one to six hexadecimal digits, stays empty.
CustomColorSlots ParseCustomColors(const QString& text);

// The slots from a custom colours file; a file that cannot be read gives the 16 default colours.
CustomColorSlots ReadCustomColors(const QString& path);

// Loads "CustomColors.txt" into the colour dialog's 16 custom colours, once per process. An empty
// slot is white, as the dialog shows an unused one.
void LoadSharedCustomColors();

}  // namespace plovane
