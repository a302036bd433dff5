#include "platform/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <vector>

#include "platform/Application.h"
#include "platform/FilePlaces.h"
#include "platform/Translation.h"

namespace plovane {

struct RegistryValue {
    QString name;
    QString text;
};

struct RegistryKey {
    QString path;
    std::vector<RegistryValue> values;
};

struct RegistryData {
    QString file;
    QDateTime loadedStamp;  // the file's time when last read or written; invalid for no file
    bool loaded = false;
    std::vector<RegistryKey> keys;

    void ReloadIfChanged();
    void Save();
    RegistryKey* Find(const QString& path);
    RegistryKey& Make(const QString& path);
};

namespace {

QString CleanPath(QString path) {
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.startsWith(QLatin1Char('\\'))) path.remove(0, 1);
    while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
    return path;
}

bool SamePath(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

std::shared_ptr<RegistryData> SharedData(const QString& file) {
    static QHash<QString, std::weak_ptr<RegistryData>> open;
    if (auto data = open.value(file).lock()) return data;
    auto data = std::make_shared<RegistryData>();
    data->file = file;
    data->ReloadIfChanged();
    open.insert(file, data);
    return data;
}

const RegistryValue* FindValue(const RegistryKey* key, const QString& name) {
    if (!key) return nullptr;
    for (const auto& value : key->values)
        if (SamePath(value.name, name)) return &value;
    return nullptr;
}

}  // namespace

void RegistryData::ReloadIfChanged() {
    const QFileInfo info(file);
    const QDateTime stamp = info.exists() ? info.lastModified() : QDateTime();
    if (loaded && stamp == loadedStamp) return;
    loaded = true;
    loadedStamp = stamp;
    keys.clear();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return;
    RegistryKey* current = nullptr;
    const QString text = QString::fromUtf8(in.readAll());
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &Make(UnescapeText(line.mid(1, line.size() - 2)));
        } else if (current) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0) continue;
            current->values.push_back({UnescapeText(line.left(eq)), UnescapeText(line.mid(eq + 1))});
        }
    }
}

void RegistryData::Save() {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QString text;
    for (const auto& key : keys) {
        text += QLatin1Char('[') + EscapeText(key.path) + QStringLiteral("]\n");
        for (const auto& value : key.values) {
            QString name = EscapeText(value.name);
            name.replace(QLatin1Char('='), QStringLiteral("\\x3d"));
            text += name + QLatin1Char('=') + EscapeText(value.text) + QLatin1Char('\n');
        }
        text += QLatin1Char('\n');
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(text.toUtf8());
    if (out.commit()) loadedStamp = QFileInfo(file).lastModified();
}

RegistryKey* RegistryData::Find(const QString& path) {
    for (auto& key : keys)
        if (SamePath(key.path, path)) return &key;
    return nullptr;
}

RegistryKey& RegistryData::Make(const QString& path) {
    // The registry makes every key on the way down, so subkey listings see them.
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString sofar;
    RegistryKey* key = nullptr;
    for (const QString& part : parts) {
        sofar = sofar.isEmpty() ? part : sofar + QLatin1Char('\\') + part;
        key = Find(sofar);
        if (!key) {
            keys.push_back({sofar, {}});
            key = &keys.back();
        }
    }
    if (!key) {
        if (!(key = Find(QString()))) {
            keys.push_back({QString(), {}});
            key = &keys.back();
        }
    }
    return *key;
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
    const auto before = Data->keys.size();
    Data->keys.erase(std::remove_if(Data->keys.begin(), Data->keys.end(),
                                    [&](const RegistryKey& k) {
                                        return SamePath(k.path, path) ||
                                               k.path.startsWith(prefix, Qt::CaseInsensitive);
                                    }),
                     Data->keys.end());
    if (Data->keys.size() == before) return false;
    Data->Save();
    return true;
}

QStringList RegistryStore::GetKeyNames() const {
    Data->ReloadIfChanged();
    QStringList names;
    const QString prefix = Current.isEmpty() ? QString() : Current + QLatin1Char('\\');
    for (const auto& key : Data->keys) {
        if (key.path.isEmpty() || !key.path.startsWith(prefix, Qt::CaseInsensitive)) continue;
        const QString rest = key.path.mid(prefix.size());
        if (!rest.isEmpty() && !rest.contains(QLatin1Char('\\'))) names << rest;
    }
    return names;
}

QStringList RegistryStore::GetValueNames() const {
    Data->ReloadIfChanged();
    QStringList names;
    if (const RegistryKey* key = Data->Find(Current))
        for (const auto& value : key->values) names << value.name;
    return names;
}

bool RegistryStore::ValueExists(const QString& name) const {
    Data->ReloadIfChanged();
    return FindValue(Data->Find(Current), name) != nullptr;
}

int RegistryStore::ReadInteger(const QString& name, int fallback) const {
    Data->ReloadIfChanged();
    const RegistryValue* value = FindValue(Data->Find(Current), name);
    if (!value) return fallback;
    bool ok = false;
    const int number = value->text.toInt(&ok);
    return ok ? number : fallback;
}

QString RegistryStore::ReadString(const QString& name, const QString& fallback) const {
    Data->ReloadIfChanged();
    const RegistryValue* value = FindValue(Data->Find(Current), name);
    return value ? value->text : fallback;
}

void RegistryStore::WriteInteger(const QString& name, int value) {
    WriteString(name, QString::number(value));
}

void RegistryStore::WriteString(const QString& name, const QString& text) {
    Data->ReloadIfChanged();
    RegistryKey& key = Data->Make(Current);
    for (auto& value : key.values) {
        if (SamePath(value.name, name)) {
            value.text = text;
            Data->Save();
            return;
        }
    }
    key.values.push_back({name, text});
    Data->Save();
}

bool RegistryStore::DeleteValue(const QString& name) {
    Data->ReloadIfChanged();
    RegistryKey* key = Data->Find(Current);
    if (!key) return false;
    const auto before = key->values.size();
    key->values.erase(std::remove_if(key->values.begin(), key->values.end(),
                                     [&](const RegistryValue& v) { return SamePath(v.name, name); }),
                      key->values.end());
    if (key->values.size() == before) return false;
    Data->Save();
    return true;
}

QString ProgramKey(const QString& sub) {
    QString key = QStringLiteral("Software\\") + CompanyWord() + QLatin1Char('\\') + ApplicationTitle();
    if (!sub.isEmpty()) key += QLatin1Char('\\') + sub;
    return key;
}

}  // namespace plovane
