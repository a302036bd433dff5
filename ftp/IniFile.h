// ftp/IniFile.h — an INI file read and written the way the site database needs it: sections and
// keys keep the order of the file, names are matched without regard to case, and a value is kept
// exactly as written (spaces included). Every change is written to disk at once.
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace plovane {

class TIniFile {
public:
    // A file that is missing or unreadable reads as empty.
    explicit TIniFile(const QString& path);
    // A file of the program's folder: read where ProgramFolderFile finds it and written where
    // WritableProgramFile puts it, both decided afresh for each access.
    static TIniFile ProgramFile(const QString& name);

    QStringList ReadSections() const;
    bool SectionExists(const QString& section) const;
    QString ReadString(const QString& section, const QString& key, const QString& fallback = QString()) const;
    // False when the file could not be written.
    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool EraseSection(const QString& section);

private:
    struct Section {
        QString Name;
        QVector<QPair<QString, QString>> Values;
    };
    QVector<Section> Load() const;
    bool Store(const QVector<Section>& sections) const;

    std::function<QString()> ReadPath;
    std::function<QString()> WritePath;
};

}  // namespace plovane
