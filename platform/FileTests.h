// platform/FileTests.h — may a page be saved where it is, may a file be written; writing a file whole
// or not at all.
#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace plovane {

// Read-only in the user's sense: no write bit at all, or the file system refuses writing. The mode
// bits count even for root, who could write anyway, so a file marked read-only stays read-only.
bool IsReadOnlyPath(const QString& path);

// The folder is writable, the file exists and is writable, and it is not inside the download cache.
bool CanSaveInPlace(const QString& path);
// The folder is writable, the file is not an existing read-only file, and it is not in the cache.
bool CanWriteFile(const QString& path);

// Writes the bytes as the file's whole new content, or leaves the file as it was: a write that
// fails on the way (a full disk, a size limit) is never put in place. A file the write creates gets
// `newFilePermissions` (when given) before it appears. False on failure, with the reason in
// `error` when one is asked for.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         QFileDevice::Permissions newFilePermissions = {});

}  // namespace plovane
