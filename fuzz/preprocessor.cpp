// The quick preview's preprocessor over a page saved in a scratch folder beside a few include
// files. While it runs, every file opened outside that folder is refused, so that an include never
// reads the rest of the machine however its name was put together from variables.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/Errors.h"
#include "sourceeditor/QelPreprocessor.h"

using namespace plovane;

namespace {

// The folder that reads are kept to, canonical and ending in "/"; empty while no guard is on.
std::string AllowedFolder;

bool IsAllowed(const char* path) {
    if (AllowedFolder.empty()) return true;
    char resolved[PATH_MAX];
    if (!realpath(path, resolved)) return false;
    return std::strncmp(resolved, AllowedFolder.data(), AllowedFolder.size()) == 0;
}

class ScopedReadGuard {
public:
    explicit ScopedReadGuard(const QString& folder) {
        AllowedFolder = QFileInfo(folder).canonicalFilePath().toStdString() + '/';
    }
    ~ScopedReadGuard() { AllowedFolder.clear(); }
    ScopedReadGuard(const ScopedReadGuard&) = delete;
    ScopedReadGuard& operator=(const ScopedReadGuard&) = delete;
};

template <typename Open>
Open Next(const char* name) {
    return reinterpret_cast<Open>(dlsym(RTLD_NEXT, name));
}

mode_t ModeOf(int flags, va_list arguments) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(arguments, int)) : 0;
}

int Refused() {
    errno = EACCES;
    return -1;
}

const QString& IncludeFolder() {
    static const QString folder = [] {
        const QString path = fuzz::ScratchFolder() + QStringLiteral("/site");
        QDir().mkpath(path + QStringLiteral("/parts"));
        fuzz::WriteScratchFile(path + QStringLiteral("/head.inc"),
                               "#define $Title$ Fuzzed page\r\n<title>$Title$ $FileName$</title>\r\n");
        fuzz::WriteScratchFile(path + QStringLiteral("/parts/nav.inc"),
                               "#include \"../head.inc\"\n<a href=\"$FilePath$\">$FileExt$</a>\n");
        fuzz::WriteScratchFile(path + QStringLiteral("/loop.inc"), "x\n#include \"loop.inc\"\n");
        VariableTable::WithDateAndTime();  // the time zone and locale data are read before the guard
        return path;
    }();
    return folder;
}

}  // namespace

// Every open of the process goes through these while the guard is on; Qt opens files with them.
extern "C" int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (!IsAllowed(path)) return Refused();
    static const auto next = Next<int (*)(const char*, int, ...)>("open");
    return next(path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (!IsAllowed(path)) return Refused();
    static const auto next = Next<int (*)(const char*, int, ...)>("open64");
    return next(path, flags, mode);
}

extern "C" int openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (!AllowedFolder.empty() && (folder != AT_FDCWD || !IsAllowed(path))) return Refused();
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    return next(folder, path, flags, mode);
}

extern "C" int openat64(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (!AllowedFolder.empty() && (folder != AT_FDCWD || !IsAllowed(path))) return Refused();
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
    return next(folder, path, flags, mode);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const QString page = IncludeFolder() + QStringLiteral("/page.htm");
    const ScopedReadGuard guard(IncludeFolder());
    try {
        Preprocess(text, page);
    } catch (const AbortCommand&) {
        // An include that cannot be read, or nested too deep.
    }
    return 0;
}
