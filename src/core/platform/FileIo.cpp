#include "platform/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include "platform/Utf8Path.h"
#include "platform/WideText.h"

#include <chrono>
#include <filesystem>

#include "text/PathText.h"

#include <io.h>
#include <stdlib.h>
#include <windows.h>
#else
#include <chrono>
#include <cstdlib>
#include <unistd.h>
#endif

namespace vrelmont {

int CreateUniqueFile(std::string &pathTemplate) {
#ifdef _WIN32
    // Names are tried until one is new; O_EXCL keeps a name that appeared meanwhile from being reused.
    const std::string original = pathTemplate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        pathTemplate = original;
        if (_mktemp_s(pathTemplate.data(), pathTemplate.size() + 1) != 0)
            return -1;
        // The wide name: the narrow one would be read in the ANSI code page.
        const int fd = _wopen(WideFromUtf8(pathTemplate).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                              _S_IREAD | _S_IWRITE);
        if (fd >= 0)
            return fd;
    }
    return -1;
#else
    return ::mkstemp(pathTemplate.data());
#endif
}

bool WriteSyncAndClose(int fd, const std::string &bytes) {
    bool ok = true;
    for (std::size_t written = 0; ok && written < bytes.size();) {
#ifdef _WIN32
        const auto n = _write(fd, bytes.data() + written, static_cast<unsigned>(bytes.size() - written));
        ok = n > 0;
#else
        const auto n = ::write(fd, bytes.data() + written, bytes.size() - written);
        ok = n > 0;
#endif
        written += ok ? static_cast<std::size_t>(n) : 0;
    }
#ifdef _WIN32
    ok = ok && _commit(fd) == 0;
    ok = _close(fd) == 0 && ok;
#else
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
#endif
    return ok;
}

bool IsWritableDirectory(const std::string &directory) {
#ifdef _WIN32
    // Windows answers "writable" for every folder that lacks the read-only attribute, Program Files
    // included: only an attempt tells. The probe goes away when its handle closes.
    std::string probe = WithTrailingSeparator(directory) + ".vrelmont-write-probe-XXXXXX";
    if (_mktemp_s(probe.data(), probe.size() + 1) != 0)
        return false;
    const HANDLE file =
        CreateFileW(WideFromUtf8(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
#else
    return MayWrite(directory);
#endif
}

bool PathExists(const std::string &path, std::int64_t *size) {
#ifdef _WIN32
    struct _stat64 info {};
    if (_wstat64(WideFromUtf8(path).c_str(), &info) != 0)
        return false;
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
#endif
    if (size)
        *size = static_cast<std::int64_t>(info.st_size);
    return true;
}

bool StateOfFile(const std::string &path, FileState &state) {
#ifdef _WIN32
    struct _stat64 info {};
    if (_wstat64(WideFromUtf8(path).c_str(), &info) != 0)
        return false;
    // The times of _wstat64 are whole seconds; the file system keeps them to 100 ns.
    std::error_code error;
    const auto changed = std::filesystem::last_write_time(PathFromUtf8(path), error);
    state = {static_cast<std::uint64_t>(info.st_ino), static_cast<std::int64_t>(info.st_size),
             error ? static_cast<std::int64_t>(info.st_mtime)
                   : std::chrono::duration_cast<std::chrono::nanoseconds>(changed.time_since_epoch()).count()};
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    state = {static_cast<std::uint64_t>(info.st_dev) * 1000003u ^ static_cast<std::uint64_t>(info.st_ino),
             static_cast<std::int64_t>(info.st_size),
             static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
#endif
    return true;
}

std::int64_t FileClockNow() {
#ifdef _WIN32
    const auto now = std::filesystem::file_time_type::clock::now().time_since_epoch();
#else
    // The system clock is the one the file system stamps its times from.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
#endif
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

bool MayRead(const std::string &path) {
#ifdef _WIN32
    return _waccess(WideFromUtf8(path).c_str(), 4) == 0;
#else
    return ::access(path.c_str(), R_OK) == 0;
#endif
}

bool MayWrite(const std::string &path) {
#ifdef _WIN32
    return _waccess(WideFromUtf8(path).c_str(), 2) == 0;
#else
    return ::access(path.c_str(), W_OK) == 0;
#endif
}

bool IsNoRoomError(int systemError) {
#ifdef _WIN32
    return systemError == ERROR_DISK_FULL || systemError == ERROR_HANDLE_DISK_FULL;
#else
    return systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT;
#endif
}

bool IsHiddenDirectoryEntry(const std::filesystem::directory_entry &entry) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
    const std::string name = entry.path().filename().string();
    return !name.empty() && name.front() == '.';
#endif
}

std::FILE *OpenScratchFile() {
#ifdef _WIN32
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"vrl", 0, name) == 0)
        return nullptr;
    // GetTempFileNameW made the file; it is opened again so that closing it removes it.
    const HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE *file = _fdopen(fd, "w+b");
    if (!file)
        _close(fd);
    return file;
#else
    const char *folder = std::getenv("TMPDIR");
    std::string pathTemplate = std::string(folder && *folder ? folder : "/tmp") + "/vrelmont-XXXXXX";
    const int fd = ::mkstemp(pathTemplate.data());
    if (fd < 0)
        return nullptr;
    ::unlink(pathTemplate.c_str()); // gone from the folder at once; the space is freed at close
    std::FILE *file = ::fdopen(fd, "w+b");
    if (!file)
        ::close(fd);
    return file;
#endif
}

} // namespace vrelmont
