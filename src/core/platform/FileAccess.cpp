#include "platform/FileAccess.h"

#include "platform/FileIo.h"
#include "platform/Utf8Path.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vrelmont {

#ifdef _WIN32
// Windows keeps no FIFOs in its folders, and its devices (NUL, CON) are no files: looking at the
// file's type and reading it with a plain stream is enough.
FileKind ExamineFile(const std::string &path) {
    namespace fs = std::filesystem;
    if (!AmbiguousPathReason(path).empty())
        return FileKind::AmbiguousName;
    std::error_code error;
    const fs::path file = PathFromUtf8(path);
    const fs::file_status status = fs::status(file, error);
    switch (status.type()) {
    case fs::file_type::regular:
        return MayRead(path) ? FileKind::Regular : FileKind::NoPermission;
    case fs::file_type::directory:
        return FileKind::Directory;
    case fs::file_type::fifo:
        return FileKind::Fifo;
    case fs::file_type::character:
    case fs::file_type::block:
        return FileKind::Device;
    case fs::file_type::not_found:
        return fs::is_symlink(fs::symlink_status(file, error)) ? FileKind::DanglingLink : FileKind::Missing;
    case fs::file_type::none:
        return error == std::errc::permission_denied ? FileKind::NoPermission : FileKind::Missing;
    default:
        return FileKind::OtherKind;
    }
}
#else
FileKind ExamineFile(const std::string &path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == EACCES)
            return FileKind::NoPermission;
        struct stat link {};
        return ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) ? FileKind::DanglingLink : FileKind::Missing;
    }
    if (S_ISDIR(info.st_mode))
        return FileKind::Directory;
    if (S_ISFIFO(info.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return FileKind::Device;
    if (!S_ISREG(info.st_mode))
        return FileKind::OtherKind;
    return ::access(path.c_str(), R_OK) == 0 ? FileKind::Regular : FileKind::NoPermission;
}
#endif

std::string DescribeFileKind(FileKind kind) {
    switch (kind) {
    case FileKind::Regular:
        return "soubor je v pořádku";
    case FileKind::Missing:
        return "soubor neexistuje";
    case FileKind::DanglingLink:
        return "odkaz vede na soubor, který neexistuje";
    case FileKind::Directory:
        return "není to soubor, ale adresář";
    case FileKind::Fifo:
        return "není to soubor, ale roura (FIFO)";
    case FileKind::Device:
        return "není to soubor, ale zařízení";
    case FileKind::OtherKind:
        return "není to obyčejný soubor";
    case FileKind::NoPermission:
        return "přístup k souboru byl odepřen";
    case FileKind::AmbiguousName:
        return "název složky nebo souboru končí mezerou nebo tečkou, které Windows vynechá, a četl by se jiný "
               "soubor";
    }
    return "soubor nelze číst";
}

std::optional<std::string> ReadBoundedFile(const std::string &path, std::size_t maxBytes, std::string &reason,
                                           FileKind &kind) {
    kind = ExamineFile(path);
    if (kind != FileKind::Regular) {
        reason = DescribeFileKind(kind);
        return std::nullopt;
    }
#ifdef _WIN32
    const std::filesystem::path file = PathFromUtf8(path);
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (!in || error) {
        kind = FileKind::NoPermission;
        reason = DescribeFileKind(kind);
        return std::nullopt;
    }
    if (size > maxBytes) {
        reason =
            "soubor je příliš velký (" + std::to_string(size) + " bajtů, nejvýše " + std::to_string(maxBytes) + ")";
        return std::nullopt;
    }
    // One byte past the bound: a file that grows while it is read is refused too.
    std::string bytes(maxBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        reason = "chyba při čtení souboru";
        return std::nullopt;
    }
    if (bytes.size() > maxBytes) {
        reason = "soubor je příliš velký (nejvýše " + std::to_string(maxBytes) + " bajtů)";
        return std::nullopt;
    }
    return bytes;
#else
    // Non-blocking, so that a FIFO put in the file's place after the look above does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        kind = errno == EACCES || errno == EPERM ? FileKind::NoPermission : FileKind::Missing;
        reason = DescribeFileKind(kind);
        return std::nullopt;
    }
    struct stat info {};
    std::string bytes;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        kind = FileKind::OtherKind;
        reason = DescribeFileKind(kind);
    } else if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        ok = false;
        reason = "soubor je příliš velký (" + std::to_string(info.st_size) + " bajtů, nejvýše " +
                 std::to_string(maxBytes) + ")";
    } else {
        // Read one byte past the bound: a file that grows while it is read is refused too.
        bytes.resize(maxBytes + 1);
        std::size_t filled = 0;
        while (filled < bytes.size()) {
            const auto n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            filled += static_cast<std::size_t>(n);
        }
        bytes.resize(filled);
        if (!ok)
            reason = "chyba při čtení souboru";
        else if (filled > maxBytes) {
            ok = false;
            reason = "soubor je příliš velký (nejvýše " + std::to_string(maxBytes) + " bajtů)";
        }
    }
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return bytes;
#endif
}

bool IsWriteProtected(const std::string &path) {
#ifdef _WIN32
    // The read-only attribute shows as a file without write permission.
    return PathExists(path) && !MayWrite(path);
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
#endif
}

bool ReplaceFileAtomically(const std::filesystem::path &target, std::string_view bytes,
                           std::optional<std::filesystem::perms> newFilePermissions) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::string temp = Utf8FromPath(target.parent_path().empty() ? fs::path(".") : target.parent_path()) + "/." +
                       Utf8FromPath(target.filename()) + ".XXXXXX";
    const int fd = CreateUniqueFile(temp);
    if (fd < 0)
        return false;
    bool ok = WriteSyncAndClose(fd, std::string(bytes));
    if (ok) {
        const fs::file_status existing = fs::status(target, error);
        fs::perms permissions;
        if (fs::is_regular_file(existing)) {
            permissions = existing.permissions();
        } else if (newFilePermissions) {
            permissions = *newFilePermissions;
        } else {
#ifdef _WIN32
            permissions = fs::perms::owner_read | fs::perms::owner_write;
#else
            const ::mode_t mask = ::umask(0);
            ::umask(mask);
            permissions = static_cast<fs::perms>(0666 & ~mask);
#endif
        }
        fs::permissions(PathFromUtf8(temp), permissions, error);
        fs::rename(PathFromUtf8(temp), target, error);
        ok = !error;
    }
    if (!ok)
        fs::remove(PathFromUtf8(temp), error);
    return ok;
}

} // namespace vrelmont
