// tests/support/ScopedState.h — process-wide settings a test changes for its own lifetime only, so
// that no test sees what an earlier one left behind, whatever the order the cases run in.
#pragma once
#include <signal.h>
#include <sys/resource.h>

#include "platform/Errors.h"
#include "platform/QelConsole.h"

namespace plovane::test {

// The process's command line, as the given one while the object lives.
class ScopedCommandLine {
public:
    explicit ScopedCommandLine(const CommandLine& line) : Previous(ProcessCommandLine()) {
        SetProcessCommandLine(line);
    }
    ~ScopedCommandLine() { SetProcessCommandLine(Previous); }
    ScopedCommandLine(const ScopedCommandLine&) = delete;
    ScopedCommandLine& operator=(const ScopedCommandLine&) = delete;

    void Set(const CommandLine& line) { SetProcessCommandLine(line); }

private:
    const CommandLine Previous;
};

// The application's error handler, as the given one while the object lives; the default after.
class ScopedErrorHandler {
public:
    explicit ScopedErrorHandler(ErrorHandler handler) { SetErrorHandler(std::move(handler)); }
    ~ScopedErrorHandler() { SetErrorHandler({}); }
    ScopedErrorHandler(const ScopedErrorHandler&) = delete;
    ScopedErrorHandler& operator=(const ScopedErrorHandler&) = delete;
};

// Makes every write past `bytes` fail, as a full disk does, for the object's lifetime.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Saved);
        OldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Saved);
        signal(SIGXFSZ, OldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit Saved{};
    sighandler_t OldHandler;
};

}  // namespace plovane::test
