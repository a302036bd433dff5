// platform/RegistryStore.h — the per-user settings branch, kept as one INI file (platform/IniFile.h)
// with one section per key: key Software\Quenlock\Plovane\TFormChild is the section written
// "[Software\\Quenlock\\Plovane\\TFormChild]". Key paths are kept as written and compared without
// regard to case, as the registry does. All stores of one file share one copy in memory; every
// change is written to disk at once. A file that exists but cannot be read is never overwritten.
#pragma once
#include <QString>
#include <QStringList>
#include <memory>

namespace plovane {

struct RegistryData;

class RegistryStore {
public:
    RegistryStore();  // the file of RegistryFile()
    explicit RegistryStore(const QString& file);

    // Opens a key: a path beginning with "\" (or any path while no key is open) is absolute,
    // otherwise it is relative to the open key. False when the key is missing and may not be made.
    bool OpenKey(const QString& key, bool canCreate);
    void CloseKey();
    QString CurrentKey() const { return Current; }

    bool KeyExists(const QString& key) const;  // absolute path
    bool DeleteKey(const QString& key);        // absolute path; removes its subkeys too
    QStringList GetKeyNames() const;           // the open key's direct subkeys
    QStringList GetValueNames() const;

    bool ValueExists(const QString& name) const;
    // A missing value, or one that is not a whole number, gives the fallback.
    int ReadInteger(const QString& name, int fallback = 0) const;
    QString ReadString(const QString& name, const QString& fallback = QString()) const;
    void WriteInteger(const QString& name, int value);
    void WriteString(const QString& name, const QString& value);
    bool DeleteValue(const QString& name);

private:
    std::shared_ptr<RegistryData> Data;
    QString Current;
    bool IsOpen = false;
};

// "Software\Quenlock\Plovane" + "\" + sub: the program's own branch.
QString ProgramKey(const QString& sub = QString());

}  // namespace plovane
