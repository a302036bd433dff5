// platform/FilePlaces.h — where the program's files live. Every folder comes from one injectable
// FilePlaces value, so tests never touch the real home folder.
#pragma once
#include <QString>

namespace plovane {

struct FilePlaces {
    QString programFolder;  // the executable's folder: shipped data, Settings.ini, Sites.ini, ...
    QString dataFolder;     // the application data folder ($XDG_DATA_HOME); empty when there is none
    QString configFolder;   // $XDG_CONFIG_HOME: the registry store lives below it
    QString cacheFolder;    // the download cache ($XDG_CACHE_HOME/Quenlock/Plovane/cache)

    // The places of a real run, from the executable's folder and the XDG variables.
    static FilePlaces Default();
};

const FilePlaces& CurrentFilePlaces();
void SetFilePlaces(const FilePlaces& places);

// A file of the program's folder, for reading. When that folder is not writable, a copy the
// program wrote to the product data folder is read first.
QString ProgramFolderFile(const QString& name);
// A file of the program's folder, for writing: the program's folder when writable, otherwise the
// product data folder (seeded with the shipped copy, so a read-modify-write keeps its contents).
QString WritableProgramFile(const QString& name);
// Application data folder + "Quenlock/" + name; the program's folder when that cannot be made.
QString UserDataFile(const QString& name);
// Application data folder + "Quenlock/Plovane/" + name; the same fall-back.
QString ProductDataFile(const QString& name);
// The download cache folder, with its trailing separator, created when missing.
QString CacheFolder();
// The INI file that stands in for the per-user registry branch.
QString RegistryFile();

// Copies page.htm to page.~htm beside it, overwriting an older copy. False when the copy failed.
bool BackupCopy(const QString& path);

}  // namespace plovane
