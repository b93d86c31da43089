#pragma once
// Force-included into the core tests of the Windows build: the few POSIX calls the tests make,
// answered the Windows way, so the tests themselves stay as they are.
#include <cerrno>
#include <cstring>
#include <direct.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>

// Windows file modes cannot stop writes into a directory: the tests that need that see a user
// whom permissions do not stop (as with root) and skip with their reason.
inline int geteuid() {
    return 0;
}

inline int chmod(const wchar_t *path, int mode) {
    return _wchmod(path, mode & (_S_IREAD | _S_IWRITE));
}

inline char *mkdtemp(char *pathTemplate) {
    if (_mktemp_s(pathTemplate, std::strlen(pathTemplate) + 1) != 0)
        return nullptr;
    return _mkdir(pathTemplate) == 0 ? pathTemplate : nullptr;
}

// Windows has no FIFOs.
inline int mkfifo(const char *, int) {
    errno = ENOSYS;
    return -1;
}

// Windows sends no signals to other processes; the tests that kill one skip before they would.
#define SIGKILL 9
inline int kill(long long, int) {
    errno = ENOSYS;
    return -1;
}

inline int setenv(const char *name, const char *value, int) {
    return _putenv_s(name, value);
}

// An empty value removes the variable.
inline int unsetenv(const char *name) {
    return _putenv_s(name, "");
}
