#include "sourceeditor/QelPreprocessor.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include "platform/Errors.h"

namespace plovane {

namespace {

// An include that leads back to a file being included would otherwise recurse without end.
constexpr int MaxIncludeDepth = 16;

QStringList SplitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) ++end;
        lines.append(text.mid(start, end - start));
        if (end + 1 < n && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n')) ++end;
        start = end + 1;
    }
    return lines;
}

QString TrimLeft(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() <= ' ') ++i;
    return text.mid(i);
}

// Splits at the first space; without one, both parts are the whole text.
std::pair<QString, QString> SplitAtSpace(const QString& text) {
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space < 0) return {text, text};
    return {text.left(space), text.mid(space + 1)};
}

// The text between the opening double quote and its match, a doubled quote standing for one; empty
// when the text does not begin with a quote.
QString QuotedName(const QString& text) {
    if (!text.startsWith(QLatin1Char('"'))) return QString();
    QString name;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('"')) {
            name += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
            name += QLatin1Char('"');
            ++i;
        } else {
            break;
        }
    }
    return name;
}

QString FolderOf(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

void SetFileVariables(VariableTable& table, const QString& fileName) {
    const QString folder = FolderOf(fileName);
    const QString name = fileName.mid(folder.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    table.Set(QStringLiteral("$FileName$"), name);
    table.Set(QStringLiteral("$FilePath$"), folder);
    table.Set(QStringLiteral("$FileExt$"), dot < 0 ? QString() : name.mid(dot));
}

QString IncludePath(const QString& name, const QString& includingFile) {
    if (QFileInfo(name).isAbsolute()) return name;
    // A text that was never saved has no folder; the home folder is a steadier base than wherever
    // the process happens to stand.
    const QString folder = FolderOf(includingFile);
    return QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name);
}

QStringList ReadIncludedLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseMessage(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    return SplitLines(text);
}

[[noreturn]] void TooLong(const QString& fileName) {
    RaiseMessage(QStringLiteral("The preprocessed text of \"%1\" is longer than %2 characters.")
                     .arg(fileName)
                     .arg(MaxPreprocessedLength));
}

// `budget` is what the run may still produce, shared by the file and everything it includes.
void ProcessLines(QStringList& lines, VariableTable& table, const QString& fileName, int depth,
                  qsizetype& budget) {
    for (qsizetype i = 0; i < lines.size();) {
        SetFileVariables(table, fileName);
        std::optional<QString> substituted = table.SubstituteWithin(lines[i], budget);
        if (!substituted) TooLong(fileName);
        budget -= substituted->size();
        lines[i] = std::move(*substituted);
        const QString line = TrimLeft(lines[i]);
        if (!line.startsWith(QLatin1Char('#'))) {
            ++i;
            continue;
        }
        const auto [word, rest] = SplitAtSpace(TrimLeft(line.mid(1)));
        if (word.compare(QLatin1String("define"), Qt::CaseInsensitive) == 0) {
            const auto [name, value] = SplitAtSpace(TrimLeft(rest));
            table.Set(name, value);
            lines.removeAt(i);
        } else if (word.compare(QLatin1String("undef"), Qt::CaseInsensitive) == 0) {
            table.Remove(SplitAtSpace(TrimLeft(rest)).first);
            lines.removeAt(i);
        } else if (word.compare(QLatin1String("include"), Qt::CaseInsensitive) == 0) {
            const QString path =
                QFileInfo(IncludePath(QuotedName(rest.trimmed()), fileName)).absoluteFilePath();
            if (depth >= MaxIncludeDepth)
                RaiseMessage(QStringLiteral("Includes are nested more than %1 deep at \"%2\".")
                                 .arg(MaxIncludeDepth)
                                 .arg(path));
            QStringList included = ReadIncludedLines(path);
            ProcessLines(included, table, path, depth + 1, budget);
            QString joined;
            for (const QString& includedLine : included) joined += includedLine + QStringLiteral("\r\n");
            lines[i] = joined;
            ++i;
        } else {
            ++i;
        }
    }
}

}  // namespace

void VariableTable::Set(const QString& name, const QString& value) {
    const int i = IndexOf(name);
    if (i < 0) {
        Pairs.emplace_back(name, value);
        FoldedNames.append(name.toCaseFolded());
    } else
        Pairs[i].second = value;
}

void VariableTable::Remove(const QString& name) {
    const int i = IndexOf(name);
    if (i < 0) return;
    Pairs.erase(Pairs.begin() + i);
    FoldedNames.removeAt(i);
}

int VariableTable::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Pairs[i].first.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString VariableTable::Substitute(QString line) const {
    std::optional<QString> substituted = SubstituteWithin(std::move(line), MaxPreprocessedLength);
    if (!substituted)
        RaiseMessage(
            QStringLiteral("The preprocessed text is longer than %1 characters.").arg(MaxPreprocessedLength));
    return std::move(*substituted);
}

std::optional<QString> VariableTable::SubstituteWithin(QString line, qsizetype maxLength) const {
    // Most lines hold few of the names: looking for the folded name in the folded line is much
    // cheaper than a case-insensitive replace that finds nothing.
    QString folded = line.toCaseFolded();
    for (int i = 0; i < Count(); ++i) {
        const auto& [name, value] = Pairs[i];
        if (name.isEmpty() || !folded.contains(FoldedNames[i])) continue;
        // Overlapping matches are counted too, so the length found is never short of the result's.
        const qsizetype growth = value.size() - name.size();
        if (growth > 0 && line.size() + folded.count(FoldedNames[i]) * growth > maxLength)
            return std::nullopt;
        line.replace(name, value, Qt::CaseInsensitive);
        folded = line.toCaseFolded();
    }
    if (line.size() > maxLength) return std::nullopt;
    return line;
}

VariableTable VariableTable::WithDateAndTime() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = locale.toString(now.time(), QLocale::LongFormat);
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    VariableTable table;
    table.Set(QStringLiteral("$Time$"), time);
    table.Set(QStringLiteral("$DateTime$"),
              now.time() == QTime(0, 0) ? date : date + QLatin1Char(' ') + time);
    table.Set(QStringLiteral("$Date$"), date);
    return table;
}

void PreprocessLines(QStringList& lines, VariableTable& table, const QString& fileName) {
    qsizetype budget = MaxPreprocessedLength;
    ProcessLines(lines, table, fileName, 0, budget);
}

QString Preprocess(const QString& text, const QString& fileName) {
    QStringList lines = SplitLines(text);
    VariableTable table = VariableTable::WithDateAndTime();
    PreprocessLines(lines, table, fileName);
    QString result;
    for (const QString& line : lines) result += line + QStringLiteral("\r\n");
    return result;
}

}  // namespace plovane
