#include "platform/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "platform/Application.h"
#include "platform/FilePlaces.h"
#include "platform/IniFile.h"

namespace plovane {

struct RegistryData {
    QString file;
    QDateTime loadedStamp;  // the file's time when last read or written; invalid for no file
    bool loaded = false;
    bool readable = true;  // false while the file exists but could not be read: it is never overwritten
    IniDocument keys;      // one section per key path

    void ReloadIfChanged();
    void Save();
    IniSection* Find(const QString& path) { return keys.Find(path); }
    IniSection& Make(const QString& path);
};

namespace {

QString CleanPath(QString path) {
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.startsWith(QLatin1Char('\\'))) path.remove(0, 1);
    while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
    return path;
}

std::shared_ptr<RegistryData> SharedData(const QString& file) {
    static QHash<QString, std::weak_ptr<RegistryData>> open;
    if (auto data = open.value(file).lock()) return data;
    auto data = std::make_shared<RegistryData>();
    data->file = file;
    data->ReloadIfChanged();
    open.insert(file, data);
    return data;
}

const IniEntry* FindValue(const IniSection* key, const QString& name) {
    return key ? key->Find(name) : nullptr;
}

}  // namespace

void RegistryData::ReloadIfChanged() {
    const QFileInfo info(file);
    const QDateTime stamp = info.exists() ? info.lastModified() : QDateTime();
    if (loaded && stamp == loadedStamp) return;
    loaded = true;
    loadedStamp = stamp;
    IniDocument read;
    readable = ReadIniFile(file, read);
    // Every key is made on the way down, so subkey listings see the parents of a key the file names.
    keys = IniDocument();
    for (const IniSection& section : read.Sections) {
        IniSection& key = Make(section.Name);
        for (const IniEntry& value : section.Entries)
            if (!key.Find(value.Key)) key.Entries.push_back(value);
    }
}

void RegistryData::Save() {
    if (!readable) return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (WriteIniFile(file, keys)) loadedStamp = QFileInfo(file).lastModified();
}

IniSection& RegistryData::Make(const QString& path) {
    // The registry makes every key on the way down, so subkey listings see them.
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString sofar;
    for (const QString& part : parts) {
        sofar = sofar.isEmpty() ? part : sofar + QLatin1Char('\\') + part;
        keys.Make(sofar);
    }
    return keys.Make(sofar);
}

RegistryStore::RegistryStore() : RegistryStore(RegistryFile()) {}

RegistryStore::RegistryStore(const QString& file) : Data(SharedData(file)) {}

bool RegistryStore::OpenKey(const QString& key, bool canCreate) {
    Data->ReloadIfChanged();
    const bool absolute = key.startsWith(QLatin1Char('\\')) || !IsOpen || Current.isEmpty();
    const QString path = absolute ? CleanPath(key) : CleanPath(Current + QLatin1Char('\\') + key);
    if (!Data->Find(path)) {
        if (!canCreate) return false;
        Data->Make(path);
        Data->Save();
    }
    Current = path;
    IsOpen = true;
    return true;
}

void RegistryStore::CloseKey() {
    Current.clear();
    IsOpen = false;
}

bool RegistryStore::KeyExists(const QString& key) const {
    Data->ReloadIfChanged();
    return Data->Find(CleanPath(key)) != nullptr;
}

bool RegistryStore::DeleteKey(const QString& key) {
    Data->ReloadIfChanged();
    const QString path = CleanPath(key);
    const QString prefix = path + QLatin1Char('\\');
    auto& sections = Data->keys.Sections;
    const auto before = sections.size();
    sections.erase(std::remove_if(sections.begin(), sections.end(),
                                  [&](const IniSection& k) {
                                      return k.Name.compare(path, Qt::CaseInsensitive) == 0 ||
                                             k.Name.startsWith(prefix, Qt::CaseInsensitive);
                                  }),
                   sections.end());
    if (sections.size() == before) return false;
    Data->Save();
    return true;
}

QStringList RegistryStore::GetKeyNames() const {
    Data->ReloadIfChanged();
    QStringList names;
    const QString prefix = Current.isEmpty() ? QString() : Current + QLatin1Char('\\');
    for (const IniSection& key : Data->keys.Sections) {
        if (key.Name.isEmpty() || !key.Name.startsWith(prefix, Qt::CaseInsensitive)) continue;
        const QString rest = key.Name.mid(prefix.size());
        if (!rest.isEmpty() && !rest.contains(QLatin1Char('\\'))) names << rest;
    }
    return names;
}

QStringList RegistryStore::GetValueNames() const {
    Data->ReloadIfChanged();
    QStringList names;
    if (const IniSection* key = Data->Find(Current))
        for (const IniEntry& value : key->Entries) names << value.Key;
    return names;
}

bool RegistryStore::ValueExists(const QString& name) const {
    Data->ReloadIfChanged();
    return FindValue(Data->Find(Current), name) != nullptr;
}

int RegistryStore::ReadInteger(const QString& name, int fallback) const {
    Data->ReloadIfChanged();
    const IniEntry* value = FindValue(Data->Find(Current), name);
    if (!value) return fallback;
    bool ok = false;
    const int number = value->Value.toInt(&ok);
    return ok ? number : fallback;
}

QString RegistryStore::ReadString(const QString& name, const QString& fallback) const {
    Data->ReloadIfChanged();
    const IniEntry* value = FindValue(Data->Find(Current), name);
    return value ? value->Value : fallback;
}

void RegistryStore::WriteInteger(const QString& name, int value) {
    WriteString(name, QString::number(value));
}

void RegistryStore::WriteString(const QString& name, const QString& text) {
    Data->ReloadIfChanged();
    Data->Make(Current).Set(name, text);
    Data->Save();
}

bool RegistryStore::DeleteValue(const QString& name) {
    Data->ReloadIfChanged();
    IniSection* key = Data->Find(Current);
    if (!key || !key->Remove(name)) return false;
    Data->Save();
    return true;
}

QString ProgramKey(const QString& sub) {
    QString key = QStringLiteral("Software\\") + CompanyWord() + QLatin1Char('\\') + ApplicationTitle();
    if (!sub.isEmpty()) key += QLatin1Char('\\') + sub;
    return key;
}

}  // namespace plovane
