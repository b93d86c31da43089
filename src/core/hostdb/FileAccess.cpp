#include "hostdb/FileAccess.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrelmont {

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
}

bool IsWriteProtected(const std::string &path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool ReplaceFileAtomically(const std::filesystem::path &target, std::string_view bytes,
                           std::optional<std::filesystem::perms> newFilePermissions) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::string temp = (target.parent_path().empty() ? fs::path(".") : target.parent_path()).string() + "/." +
                       target.filename().string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = true;
    for (std::size_t written = 0; ok && written < bytes.size();) {
        const auto n = ::write(fd, bytes.data() + written, bytes.size() - written);
        ok = n > 0;
        written += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        const fs::file_status existing = fs::status(target, error);
        fs::perms permissions;
        if (fs::is_regular_file(existing)) {
            permissions = existing.permissions();
        } else if (newFilePermissions) {
            permissions = *newFilePermissions;
        } else {
            const ::mode_t mask = ::umask(0);
            ::umask(mask);
            permissions = static_cast<fs::perms>(0666 & ~mask);
        }
        fs::permissions(temp, permissions, error);
        fs::rename(temp, target, error);
        ok = !error;
    }
    if (!ok)
        fs::remove(temp, error);
    return ok;
}

} // namespace vrelmont
