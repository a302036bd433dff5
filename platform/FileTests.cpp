#include "platform/FileTests.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         QFileDevice::Permissions newFilePermissions) {
    const bool created = !QFileInfo::exists(path);
    QSaveFile file(path);
    const auto fail = [&] {
        if (error) *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail();
    if (created && newFilePermissions) file.setPermissions(newFilePermissions);
    // QSaveFile::commit() does not notice a write that fails while its buffer is flushed on
    // closing and would put a cut-off file in place: flush first.
    if (file.write(bytes) != bytes.size() || !file.flush()) return fail();
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace plovane
