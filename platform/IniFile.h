// platform/IniFile.h — the program's one INI reader and writer. Every settings file goes through it:
// the registry store, the FTP site database, the stored state of dialogs and toolbars.
//
// The text, as read and as written:
//   - UTF-8; a byte-order mark at the start is skipped. Lines end at LF, CR LF or CR; LF is written.
//   - Blank lines, and lines whose first non-blank character is ';' or '#', are comments. They
//     are not kept: a file written back holds sections and entries only.
//   - "[name]" opens a section. The name ends at the first ']' that is not escaped; the rest of
//     the line is ignored. Entries that belong to no section (before the first one, or after a
//     '[' line without ']') are dropped.
//   - "key=value": the key is the text before the first '=' that is not escaped, blanks around it
//     removed; a line without '=' or with an empty key is ignored.
//   - The value is the text after that '=', exactly as it stands (blanks included), unless that
//     text, blanks around it removed, is a quoted string: '"', text in which every '"' is escaped,
//     '"'. Then the value is the text between the quotes. An unquoted value beginning "@@" begins
//     with one '@' (Qt's INI format doubles it).
//   - Escapes, read in section names, keys and values alike: \\ \" \0 \a \b \t \n \v \f \r and
//     \x with one or two hex digits (a character code up to 0xff). A backslash before anything
//     else stands for itself, so a hand-typed "DOMAIN\user" reads as written.
//   - Section and key names are matched without regard to case. A section named twice is one
//     section; of a key given twice in a section, the first value counts. Order is file order.
//
// What is written: each section, its entries, then a blank line. A value without backslash,
// without control character (tab and line breaks included), without a blank at either end and
// not beginning with '"' or '@' is written plainly, as it is. Any other value is written in double
// quotes, with backslash, '"', tab, CR and LF as \\ \" \t \r \n and other control characters as
// \xHH. Names are written without quotes, with the same escapes for backslash and control
// characters, and \xHH for the characters that would end or misplace them: ']' in a section
// name; in a key '=', a leading '[', ';' or '#', and a blank at either end.
//
// This reads the settings files earlier versions wrote: Settings.ini files of Qt's INI format
// ("true"/"false", quoted values with backslash escapes, escaped unquoted values), registry.ini
// (every name and value backslash-escaped) and Sites.ini (values as typed; only a backslash
// that begins one of the escapes above is read differently).
#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace plovane {

struct IniEntry {
    QString Key;
    QString Value;
    bool operator==(const IniEntry& other) const { return Key == other.Key && Value == other.Value; }
};

struct IniSection {
    QString Name;
    QVector<IniEntry> Entries;

    const IniEntry* Find(const QString& key) const;
    IniEntry* Find(const QString& key);
    // Replaces the value of the key or appends the key at the end.
    void Set(const QString& key, const QString& value);
    bool Remove(const QString& key);
    bool operator==(const IniSection& other) const { return Name == other.Name && Entries == other.Entries; }
};

struct IniDocument {
    QVector<IniSection> Sections;

    const IniSection* Find(const QString& section) const;
    IniSection* Find(const QString& section);
    // The section, appended empty when missing.
    IniSection& Make(const QString& section);
    std::optional<QString> Value(const QString& section, const QString& key) const;
    void SetValue(const QString& section, const QString& key, const QString& value);
    bool RemoveSection(const QString& section);
    bool operator==(const IniDocument& other) const { return Sections == other.Sections; }
    bool operator!=(const IniDocument& other) const { return !(*this == other); }
};

// Never fails: any bytes give a document. WriteIni gives bytes that parse back to the same
// document for every document ParseIni can give.
IniDocument ParseIni(const QByteArray& bytes);
QByteArray WriteIni(const IniDocument& document);

// Files larger than this are not settings files: they read as unreadable.
constexpr qint64 MaxIniFileBytes = 4 * 1024 * 1024;

// A missing file gives an empty document and true; a file that exists but cannot be read, or
// is larger than MaxIniFileBytes, gives an empty document and false.
bool ReadIniFile(const QString& path, IniDocument& document);
// Replaces the file at once (through a temporary file), so a failed write leaves the old file.
// A file that did not exist is created with the given permissions when they are not empty.
bool WriteIniFile(const QString& path, const IniDocument& document,
                  QFileDevice::Permissions newFilePermissions = {});

// "true"/"false" in any case, or a whole number (0 is false); anything else gives the fallback.
bool IniBool(const QString& text, bool fallback);
QString IniBoolText(bool value);  // "true" / "false", as Qt's INI format writes them

// An INI file read afresh on each call and written at once on each change.
class TIniFile {
public:
    // A file that is missing or unreadable reads as empty.
    explicit TIniFile(const QString& path);
    // A file of the program's folder: read where ProgramFolderFile finds it and written where
    // WritableProgramFile puts it, both decided afresh for each access.
    static TIniFile ProgramFile(const QString& name);

    QStringList ReadSections() const;
    bool SectionExists(const QString& section) const;
    // The keys of a section, in file order.
    QStringList ReadSection(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& fallback = QString()) const;
    // A value that is not a whole number gives the fallback.
    int ReadInteger(const QString& section, const QString& key, int fallback = 0) const;
    // As IniBool reads the value.
    bool ReadBool(const QString& section, const QString& key, bool fallback = false) const;

    // Each change returns false when the file could not be written. A file that exists but could
    // not be read is never overwritten.
    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool WriteInteger(const QString& section, const QString& key, int value);
    bool WriteBool(const QString& section, const QString& key, bool value);  // "true" / "false"
    bool DeleteKey(const QString& section, const QString& key);
    bool EraseSection(const QString& section);

    // The whole file, for reading many values with one read.
    IniDocument ReadAll() const;
    // Reads the file, lets `change` edit it and writes it when `change` returns true: many values
    // changed with one read and one write. False when the file could not be read or written.
    bool Update(const std::function<bool(IniDocument&)>& change);

private:
    std::function<QString()> ReadPath;
    std::function<QString()> WritePath;
};

}  // namespace plovane
