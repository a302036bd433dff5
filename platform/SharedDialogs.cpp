#include "platform/SharedDialogs.h"

#include <QColorDialog>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <algorithm>

#include "platform/FilePlaces.h"
#include "platform/Prompter.h"

namespace plovane {

const char* const PageFileFilter = "HTML Files (*.htm)|*.htm;*.html;*.shtml;*.asp|All Files (*.*)|*.*|";
const char* const AllFilesFilter = "All Files (*.*)|*.*|";

namespace {

QString& Folder() {
    static QString folder;
    return folder;
}

// Splits `file` into the dialog's initial folder and name.
FileDialogRequest RequestFor(const QString& file, const QString& filter, const QString& defaultExtension) {
    FileDialogRequest request;
    const QFileInfo info(file);
    QString name = file.isEmpty() ? QString() : info.fileName();
    for (const char c : {'/', '|', '<', '>'}) name.remove(QLatin1Char(c));
    if (name == QLatin1String(".") || name == QLatin1String("..")) name.clear();
    request.fileName = name;
    request.folder = file.contains(QLatin1Char('/')) ? info.absolutePath() : SharedDialogFolder();
    request.filters = QtFileFilters(filter);
    request.defaultExtension = defaultExtension;
    return request;
}

}  // namespace

QStringList QtFileFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts.at(i);
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        const qsizetype paren = text.indexOf(QLatin1Char('('));
        const QString label = (paren < 0 ? text : text.left(paren)).trimmed();
        out << QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

void SetSharedDialogFolder(const QString& folder) { Folder() = folder; }
QString SharedDialogFolder() { return Folder(); }

std::optional<QString> ExecuteOpenDialog(const QString& file, const QString& filter,
                                         const QString& defaultExtension) {
    FileDialogRequest request =
        RequestFor(file, filter.isEmpty() ? QString::fromLatin1(AllFilesFilter) : filter, defaultExtension);
    request.caption = QStringLiteral("Open");
    return CurrentPrompter().OpenFileName(request);
}

std::optional<QString> ExecuteSaveDialog(const QString& file, const QString& filter,
                                         const QString& defaultExtension) {
    FileDialogRequest request = RequestFor(file, filter, defaultExtension);
    request.caption = QStringLiteral("Save As");
    return CurrentPrompter().SaveFileName(request);
}

QPrinter& SharedPrinter() {
    static QPrinter printer;
    return printer;
}

CustomColorSlots ParseCustomColors(const QString& text) {
    CustomColorSlots colours;
    std::array<bool, 16> named{};
    const QString prefix = QStringLiteral("color");
    const auto isHex = [](QChar c) { return QStringLiteral("0123456789abcdefABCDEF").contains(c); };
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = line.left(eq).trimmed().toLower();
        if (eq < 0 || name.size() != prefix.size() + 1 || !name.startsWith(prefix)) continue;
        const int slot = name.back().unicode() - 'a';
        if (slot < 0 || slot >= int(colours.size()) || named[slot]) continue;
        named[slot] = true;
        const QString digits = line.mid(eq + 1).trimmed();
        if (digits.isEmpty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), isHex))
            continue;
        const uint bgr = digits.toUInt(nullptr, 16);
        colours[slot] = QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    }
    return colours;
}

CustomColorSlots ReadCustomColors(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) return ParseCustomColors(QString::fromLatin1(file.readAll()));
    static const char* const defaults[16] = {"000000", "808080", "000080", "008000", "008080", "800000",
                                             "800080", "808000", "FFFFFF", "C0C0C0", "0000FF", "00FF00",
                                             "00FFFF", "FF0000", "FF00FF", "FFFF00"};
    QString text;
    for (int slot = 0; slot < 16; ++slot)
        text += QStringLiteral("Color%1=%2\n").arg(QChar(u'A' + slot)).arg(QLatin1String(defaults[slot]));
    return ParseCustomColors(text);
}

void LoadSharedCustomColors() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    const CustomColorSlots colours = ReadCustomColors(ProgramFolderFile(QStringLiteral("CustomColors.txt")));
    for (int slot = 0; slot < int(colours.size()); ++slot)
        QColorDialog::setCustomColor(slot, colours[slot].value_or(QColor(Qt::white)));
}

}  // namespace plovane
