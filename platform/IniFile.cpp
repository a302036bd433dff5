#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringView>
#include <algorithm>
#include <iterator>

#include "platform/FilePlaces.h"
#include "platform/FileTests.h"

namespace plovane {

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool IsControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

QStringView TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// The position of the first `wanted` at or after `from` that no backslash escapes; size() if none.
qsizetype FindUnescaped(QStringView text, QChar wanted, qsizetype from) {
    qsizetype i = from;
    while (i < text.size()) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size())
            i += 2;
        else if (text[i] == wanted)
            return i;
        else
            ++i;
    }
    return text.size();
}

struct Escape {
    char16_t letter;
    char16_t character;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'"', '"'},  {'0', '\0'}, {'a', '\a'}, {'b', '\b'},
                               {'t', '\t'},  {'n', '\n'}, {'v', '\v'}, {'f', '\f'}, {'r', '\r'}};

QString Unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char16_t next = text[i + 1].unicode();
        const auto simple = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [next](const Escape& e) { return e.letter == next; });
        if (simple != std::end(kEscapes)) {
            out += QChar(simple->character);
            ++i;
            continue;
        }
        if (next == 'x' && i + 2 < text.size() && HexValue(text[i + 2]) >= 0) {
            int value = HexValue(text[i + 2]);
            i += 2;
            if (i + 1 < text.size() && HexValue(text[i + 1]) >= 0) value = value * 16 + HexValue(text[++i]);
            out += QChar(char16_t(value));
            continue;
        }
        out += c;  // any other backslash stands for itself
    }
    return out;
}

void AppendEscaped(QString& out, QChar c) {
    switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            if (IsControl(c))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
    }
}

void AppendHex(QString& out, QChar c) {
    out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
}

void AppendSectionName(QString& out, const QString& name) {
    for (const QChar c : name) {
        if (c == QLatin1Char(']'))
            AppendHex(out, c);
        else
            AppendEscaped(out, c);
    }
}

void AppendKey(QString& out, const QString& key) {
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar c = key[i];
        const bool edge = i == 0 || i == key.size() - 1;
        if (c == QLatin1Char('=') || (edge && c == QLatin1Char(' ')) ||
            (i == 0 && (c == QLatin1Char('[') || c == QLatin1Char(';') || c == QLatin1Char('#'))))
            AppendHex(out, c);
        else
            AppendEscaped(out, c);
    }
}

bool IsPlainValue(const QString& value) {
    if (value.isEmpty()) return true;
    if (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('@') || IsBlank(value.front()) ||
        IsBlank(value.back()))
        return false;
    return std::none_of(value.begin(), value.end(),
                        [](QChar c) { return c == QLatin1Char('\\') || IsControl(c); });
}

void AppendValue(QString& out, const QString& value) {
    if (IsPlainValue(value)) {
        out += value;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : value) {
        if (c == QLatin1Char('"'))
            out += QLatin1String("\\\"");
        else
            AppendEscaped(out, c);
    }
    out += QLatin1Char('"');
}

QString ParseValue(QStringView text) {
    const QStringView inner = TrimBlanks(text);
    if (inner.size() >= 2 && inner.front() == QLatin1Char('"') &&
        FindUnescaped(inner, QLatin1Char('"'), 1) == inner.size() - 1)
        return Unescape(inner.mid(1, inner.size() - 2));
    // Qt's INI format doubles an '@' that begins a plain text.
    if (text.startsWith(QLatin1String("@@"))) text = text.mid(1);
    return Unescape(text);
}

// Builds a document from lines, merging sections and keys named more than once.
class Parser {
public:
    void Line(QStringView line) {
        qsizetype start = 0;
        while (start < line.size() && IsBlank(line[start])) ++start;
        if (start == line.size()) return;
        const QChar first = line[start];
        if (first == QLatin1Char(';') || first == QLatin1Char('#')) return;
        if (first == QLatin1Char('[')) {
            const qsizetype close = FindUnescaped(line, QLatin1Char(']'), start + 1);
            if (close == line.size())
                Current = -1;  // a broken header: its entries belong to no section
            else
                OpenSection(Unescape(line.mid(start + 1, close - start - 1)));
            return;
        }
        if (Current < 0) return;
        const qsizetype equals = FindUnescaped(line, QLatin1Char('='), start);
        if (equals == line.size()) return;
        const QStringView rawKey = TrimBlanks(line.mid(start, equals - start));
        if (rawKey.isEmpty()) return;
        QString key = Unescape(rawKey);
        if (Keys[Current].contains(key.toCaseFolded())) return;
        Keys[Current].insert(key.toCaseFolded());
        Document.Sections[Current].Entries.push_back({std::move(key), ParseValue(line.mid(equals + 1))});
    }

    IniDocument Document;

private:
    void OpenSection(const QString& name) {
        const QString folded = name.toCaseFolded();
        const auto found = SectionIndex.constFind(folded);
        if (found != SectionIndex.constEnd()) {
            Current = *found;
            return;
        }
        Current = int(Document.Sections.size());
        SectionIndex.insert(folded, Current);
        Document.Sections.push_back({name, {}});
        Keys.push_back({});
    }

    QHash<QString, int> SectionIndex;  // case-folded name -> position
    QVector<QSet<QString>> Keys;       // case-folded keys of each section
    int Current = -1;
};

}  // namespace

const IniEntry* IniSection::Find(const QString& key) const {
    for (const IniEntry& entry : Entries)
        if (SameName(entry.Key, key)) return &entry;
    return nullptr;
}

IniEntry* IniSection::Find(const QString& key) {
    return const_cast<IniEntry*>(static_cast<const IniSection*>(this)->Find(key));
}

void IniSection::Set(const QString& key, const QString& value) {
    if (IniEntry* entry = Find(key))
        entry->Value = value;
    else
        Entries.push_back({key, value});
}

bool IniSection::Remove(const QString& key) {
    const auto before = Entries.size();
    Entries.erase(std::remove_if(Entries.begin(), Entries.end(),
                                 [&](const IniEntry& entry) { return SameName(entry.Key, key); }),
                  Entries.end());
    return Entries.size() != before;
}

const IniSection* IniDocument::Find(const QString& section) const {
    for (const IniSection& s : Sections)
        if (SameName(s.Name, section)) return &s;
    return nullptr;
}

IniSection* IniDocument::Find(const QString& section) {
    return const_cast<IniSection*>(static_cast<const IniDocument*>(this)->Find(section));
}

IniSection& IniDocument::Make(const QString& section) {
    if (IniSection* found = Find(section)) return *found;
    Sections.push_back({section, {}});
    return Sections.back();
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const {
    const IniSection* s = Find(section);
    const IniEntry* entry = s ? s->Find(key) : nullptr;
    if (!entry) return std::nullopt;
    return entry->Value;
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
    Make(section).Set(key, value);
}

bool IniDocument::RemoveSection(const QString& section) {
    const auto before = Sections.size();
    Sections.erase(std::remove_if(Sections.begin(), Sections.end(),
                                  [&](const IniSection& s) { return SameName(s.Name, section); }),
                   Sections.end());
    return Sections.size() != before;
}

IniDocument ParseIni(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    const QStringView view(text);
    Parser parser;
    qsizetype start = 0;
    while (start < view.size()) {
        qsizetype end = start;
        while (end < view.size() && view[end] != QLatin1Char('\n') && view[end] != QLatin1Char('\r')) ++end;
        parser.Line(view.mid(start, end - start));
        if (end + 1 < view.size() && view[end] == QLatin1Char('\r') && view[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return std::move(parser.Document);
}

QByteArray WriteIni(const IniDocument& document) {
    QString text;
    for (const IniSection& section : document.Sections) {
        text += QLatin1Char('[');
        AppendSectionName(text, section.Name);
        text += QLatin1String("]\n");
        for (const IniEntry& entry : section.Entries) {
            AppendKey(text, entry.Key);
            text += QLatin1Char('=');
            AppendValue(text, entry.Value);
            text += QLatin1Char('\n');
        }
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool ReadIniFile(const QString& path, IniDocument& document) {
    document = IniDocument();
    const QFileInfo info(path);
    if (!info.exists()) return true;
    QFile file(path);
    if (info.size() > MaxIniFileBytes || !file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(MaxIniFileBytes + 1);
    if (bytes.size() > MaxIniFileBytes || file.error() != QFileDevice::NoError) return false;
    document = ParseIni(bytes);
    return true;
}

bool WriteIniFile(const QString& path, const IniDocument& document,
                  QFileDevice::Permissions newFilePermissions) {
    return WriteFileAtomically(path, WriteIni(document), nullptr, newFilePermissions);
}

TIniFile::TIniFile(const QString& path)
    : ReadPath([path] { return path; }), WritePath([path] { return path; }) {}

TIniFile TIniFile::ProgramFile(const QString& name) {
    TIniFile file(name);
    file.ReadPath = [name] { return ProgramFolderFile(name); };
    file.WritePath = [name] { return WritableProgramFile(name); };
    return file;
}

IniDocument TIniFile::ReadAll() const {
    IniDocument document;
    ReadIniFile(ReadPath(), document);
    return document;
}

bool TIniFile::Update(const std::function<bool(IniDocument&)>& change) {
    IniDocument document;
    if (!ReadIniFile(ReadPath(), document)) return false;
    if (!change(document)) return true;
    // Sites.ini holds passwords in clear text: a file made here is for its owner only.
    return WriteIniFile(WritePath(), document, QFile::ReadOwner | QFile::WriteOwner);
}

QStringList TIniFile::ReadSections() const {
    QStringList names;
    for (const IniSection& section : ReadAll().Sections) names << section.Name;
    return names;
}

bool TIniFile::SectionExists(const QString& section) const { return ReadAll().Find(section) != nullptr; }

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    const IniDocument document = ReadAll();
    if (const IniSection* found = document.Find(section))
        for (const IniEntry& entry : found->Entries) keys << entry.Key;
    return keys;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return ReadAll().Value(section, key).has_value();
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const {
    return ReadAll().Value(section, key).value_or(fallback);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int fallback) const {
    bool ok = false;
    const int number = ReadString(section, key).trimmed().toInt(&ok);
    return ok ? number : fallback;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool fallback) const {
    return IniBool(ReadString(section, key), fallback);
}

bool TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    return Update([&](IniDocument& document) {
        document.SetValue(section, key, value);
        return true;
    });
}

bool TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    return WriteString(section, key, IniBoolText(value));
}

bool TIniFile::DeleteKey(const QString& section, const QString& key) {
    return Update([&](IniDocument& document) {
        IniSection* found = document.Find(section);
        return found && found->Remove(key);
    });
}

bool TIniFile::EraseSection(const QString& section) {
    return Update([&](IniDocument& document) { return document.RemoveSection(section); });
}

bool IniBool(const QString& text, bool fallback) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const int number = trimmed.toInt(&ok);
    return ok ? number != 0 : fallback;
}

QString IniBoolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace plovane
