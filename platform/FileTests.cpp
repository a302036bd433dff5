#include "platform/FileTests.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "platform/FilePlaces.h"

namespace plovane {

namespace {

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

bool InsideCacheFolder(const QString& path) {
    QString cache = CurrentFilePlaces().cacheFolder;
    if (cache.isEmpty()) return false;
    if (!cache.endsWith(QLatin1Char('/'))) cache += QLatin1Char('/');
    return QFileInfo(path).absoluteFilePath().startsWith(cache, Qt::CaseInsensitive);
}

}  // namespace

bool IsReadOnlyPath(const QString& path) {
    if (!QFileInfo::exists(path)) return false;
    const QFileDevice::Permissions bits = QFile::permissions(path);
    if (!(bits & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther))) return true;
    return access(QFile::encodeName(path).constData(), W_OK) != 0;
}

bool CanSaveInPlace(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
    return !IsReadOnlyPath(FolderOf(path)) && !IsReadOnlyPath(path) && !InsideCacheFolder(path);
}

bool CanWriteFile(const QString& path) {
    if (path.isEmpty()) return false;
    const QString folder = FolderOf(path);
    if (!QFileInfo(folder).isDir() || IsReadOnlyPath(folder)) return false;
    return !IsReadOnlyPath(path) && !InsideCacheFolder(path);
}

}  // namespace plovane
