#include "ftp/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/FilePlaces.h"

namespace plovane {

namespace {

// A settings file is no place for megabytes; anything larger is not ours and reads as empty.
constexpr qint64 MaxIniBytes = 4 * 1024 * 1024;

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

TIniFile::TIniFile(const QString& path)
    : ReadPath([path] { return path; }), WritePath([path] { return path; }) {}

TIniFile TIniFile::ProgramFile(const QString& name) {
    TIniFile file(name);
    file.ReadPath = [name] { return ProgramFolderFile(name); };
    file.WritePath = [name] { return WritableProgramFile(name); };
    return file;
}

QVector<TIniFile::Section> TIniFile::Load() const {
    QVector<Section> sections;
    QFile file(ReadPath());
    if (file.size() > MaxIniBytes || !file.open(QIODevice::ReadOnly)) return sections;
    const QString text = QString::fromUtf8(file.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = int(line.lastIndexOf(QLatin1Char(']')));
            if (close > 0) sections.push_back({line.mid(1, close - 1), {}});
            continue;
        }
        const int equals = int(line.indexOf(QLatin1Char('=')));
        if (equals <= 0 || sections.isEmpty()) continue;
        sections.last().Values.push_back({line.left(equals).trimmed(), line.mid(equals + 1)});
    }
    return sections;
}

bool TIniFile::Store(const QVector<Section>& sections) const {
    QString text;
    for (const Section& section : sections) {
        text += QLatin1Char('[') + section.Name + QStringLiteral("]\n");
        for (const auto& value : section.Values) text += value.first + QLatin1Char('=') + value.second + '\n';
        text += QLatin1Char('\n');
    }
    const QString path = WritePath();
    const bool created = !QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    if (!file.commit()) return false;
    // The file holds passwords in clear text: nobody but its owner reads it.
    if (created) QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

QStringList TIniFile::ReadSections() const {
    QStringList names;
    for (const Section& section : Load()) names << section.Name;
    return names;
}

bool TIniFile::SectionExists(const QString& section) const {
    for (const Section& s : Load())
        if (SameName(s.Name, section)) return true;
    return false;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const {
    for (const Section& s : Load()) {
        if (!SameName(s.Name, section)) continue;
        for (const auto& value : s.Values)
            if (SameName(value.first, key)) return value.second;
    }
    return fallback;
}

bool TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    QVector<Section> sections = Load();
    auto found = std::find_if(sections.begin(), sections.end(),
                              [&](const Section& s) { return SameName(s.Name, section); });
    if (found == sections.end()) {
        sections.push_back({section, {}});
        found = sections.end() - 1;
    }
    auto entry = std::find_if(found->Values.begin(), found->Values.end(),
                              [&](const auto& v) { return SameName(v.first, key); });
    if (entry == found->Values.end())
        found->Values.push_back({key, value});
    else
        entry->second = value;
    return Store(sections);
}

bool TIniFile::EraseSection(const QString& section) {
    QVector<Section> sections = Load();
    const auto before = sections.size();
    sections.erase(std::remove_if(sections.begin(), sections.end(),
                                  [&](const Section& s) { return SameName(s.Name, section); }),
                   sections.end());
    return sections.size() == before || Store(sections);
}

}  // namespace plovane
