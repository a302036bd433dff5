// platform/FileTests.h — may a page be saved where it is, may a file be written.
#pragma once
#include <QString>

namespace plovane {

// Read-only in the user's sense: no write bit at all, or the file system refuses writing. The mode
// bits count even for root, who could write anyway, so a file marked read-only stays read-only.
bool IsReadOnlyPath(const QString& path);

// The folder is writable, the file exists and is writable, and it is not inside the download cache.
bool CanSaveInPlace(const QString& path);
// The folder is writable, the file is not an existing read-only file, and it is not in the cache.
bool CanWriteFile(const QString& path);

}  // namespace plovane
