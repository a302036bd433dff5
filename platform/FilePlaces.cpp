#include "platform/FilePlaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/Application.h"
#include "platform/FileTests.h"

namespace plovane {

namespace {

QString XdgFolder(const char* variable, const QString& homeRelative) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + homeRelative;
}

FilePlaces& Places() {
    static FilePlaces places = FilePlaces::Default();
    return places;
}

QString WithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// dataFolder + sub-folder, created when missing; empty when that is not possible.
QString DataSubFolder(const QString& sub) {
    const QString data = CurrentFilePlaces().dataFolder;
    if (data.isEmpty()) return QString();
    const QString folder = WithSeparator(data) + sub;
    if (!QDir().mkpath(folder)) return QString();
    return WithSeparator(folder);
}

bool ProgramFolderWritable() { return !IsReadOnlyPath(CurrentFilePlaces().programFolder); }

}  // namespace

FilePlaces FilePlaces::Default() {
    FilePlaces places;
    places.programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    places.dataFolder = XdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    places.configFolder = XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    places.cacheFolder = XdgFolder("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/") +
                         CompanyWord() + QLatin1Char('/') + ApplicationTitle() + QStringLiteral("/cache");
    return places;
}

const FilePlaces& CurrentFilePlaces() { return Places(); }

void SetFilePlaces(const FilePlaces& places) { Places() = places; }

QString ProgramFolderFile(const QString& name) {
    const QString shipped = WithSeparator(CurrentFilePlaces().programFolder) + name;
    if (ProgramFolderWritable()) return shipped;
    const QString folder = DataSubFolder(CompanyWord() + QLatin1Char('/') + ApplicationTitle());
    if (!folder.isEmpty() && QFileInfo::exists(folder + name)) return folder + name;
    return shipped;
}

QString WritableProgramFile(const QString& name) {
    const QString shipped = WithSeparator(CurrentFilePlaces().programFolder) + name;
    if (ProgramFolderWritable()) return shipped;
    const QString folder = DataSubFolder(CompanyWord() + QLatin1Char('/') + ApplicationTitle());
    if (folder.isEmpty()) return shipped;
    const QString copy = folder + name;
    if (!QFileInfo::exists(copy) && QFileInfo::exists(shipped)) QFile::copy(shipped, copy);
    return copy;
}

QString UserDataFile(const QString& name) {
    const QString folder = DataSubFolder(CompanyWord());
    return folder.isEmpty() ? WithSeparator(CurrentFilePlaces().programFolder) + name : folder + name;
}

QString ProductDataFile(const QString& name) {
    const QString folder = DataSubFolder(CompanyWord() + QLatin1Char('/') + ApplicationTitle());
    return folder.isEmpty() ? WithSeparator(CurrentFilePlaces().programFolder) + name : folder + name;
}

QString CacheFolder() {
    const QString folder = CurrentFilePlaces().cacheFolder;
    QDir().mkpath(folder);
    return WithSeparator(folder);
}

QString RegistryFile() {
    return WithSeparator(CurrentFilePlaces().configFolder) + CompanyWord() + QStringLiteral("/registry.ini");
}

bool BackupCopy(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    const QString backup = base + QStringLiteral(".~") + suffix;
    if (QFileInfo::exists(backup) && !QFile::remove(backup)) return false;
    return QFile::copy(path, backup);
}

}  // namespace plovane
