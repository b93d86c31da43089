#include "platform/ReplacementCopy.h"

#include "platform/Utf8Path.h"

#include <filesystem>
#include <stdexcept>
#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vrelmont {

namespace {

std::string directoryOf(const std::string &file) {
    const auto parent = Utf8FromPath(PathFromUtf8(file).parent_path());
    return parent.empty() ? "." : parent;
}

} // namespace

std::string ReplacementCopyPrefix(const std::string &file) {
    return directoryOf(file) + "/." + Utf8FromPath(PathFromUtf8(file).filename()) + ".import-";
}

#ifdef _WIN32

// Windows renames no file over one that another program has open and syncs no folder.
bool ReplacementCopy::available() {
    return false;
}

ReplacementCopy::ReplacementCopy(const std::string &filePath) : filePath_(filePath) {
    throw std::logic_error("ReplacementCopy is not available on Windows: " + filePath);
}

ReplacementCopy::~ReplacementCopy() = default;
void ReplacementCopy::replaceOriginal() {}
void ReplacementCopy::removeCopy() noexcept {}
void ReplacementCopy::release() noexcept {}

#else

namespace {

[[noreturn]] void failWithErrno(const std::string &what) {
    const int code = errno;
    const bool full = code == ENOSPC || code == EFBIG || code == EDQUOT;
    throw std::runtime_error(what + ": " + (full ? "disk je plný – " : "") + std::strerror(code));
}

// Copies left by an append that was killed: no living writer holds their lock any more.
void removeAbandonedCopies(const std::string &file) {
    const std::string dir = directoryOf(file);
    const std::string prefix = std::filesystem::path(ReplacementCopyPrefix(file)).filename().string();
    DIR *listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0)
            continue;
        const std::string path = dir + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

} // namespace

bool ReplacementCopy::available() {
    return true;
}

ReplacementCopy::ReplacementCopy(const std::string &filePath) : filePath_(filePath), replaced_(filePath) {
    try {
        std::error_code error;
        if (std::filesystem::is_symlink(filePath_, error)) {
            const auto target = std::filesystem::canonical(filePath_, error);
            if (!error)
                replaced_ = target.string();
        }
        removeAbandonedCopies(replaced_);
        copyPath_ = ReplacementCopyPrefix(replaced_) + "XXXXXX";
        copyFd_ = ::mkstemp(copyPath_.data());
        if (copyFd_ < 0) {
            copyPath_.clear();
            failWithErrno("Nelze zapisovat vedle souboru " + filePath_);
        }
        // Held until the copy is renamed or removed; a copy whose lock nobody holds was left by a crash.
        ::flock(copyFd_, LOCK_EX);
        originalFd_ = ::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC);
        if (originalFd_ < 0)
            failWithErrno("Nelze číst soubor " + filePath_);
        char buffer[1 << 16];
        while (true) {
            const auto n = ::read(originalFd_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                failWithErrno("Nelze číst soubor " + filePath_);
            if (n == 0)
                break;
            for (ssize_t done = 0; done < n;) {
                const auto written = ::write(copyFd_, buffer + done, static_cast<std::size_t>(n - done));
                if (written < 0 && errno == EINTR)
                    continue;
                if (written <= 0)
                    failWithErrno("Nelze zapisovat do souboru " + filePath_);
                done += written;
            }
        }
    } catch (...) {
        release();
        throw;
    }
}

ReplacementCopy::~ReplacementCopy() {
    release();
}

void ReplacementCopy::release() noexcept {
    removeCopy();
    if (originalFd_ >= 0)
        ::close(originalFd_);
    if (copyFd_ >= 0)
        ::close(copyFd_);
    originalFd_ = copyFd_ = -1;
}

void ReplacementCopy::replaceOriginal() {
    struct stat info {};
    if (::fstat(originalFd_, &info) == 0) {
        ::fchmod(copyFd_, info.st_mode & 07777);
        if (::fchown(copyFd_, info.st_uid, info.st_gid) != 0) {
            // Only an administrator may give a file away; the writer then owns the new file.
        }
    }
    if (::fsync(copyFd_) != 0)
        failWithErrno("Nelze zapisovat do souboru " + filePath_);
    if (::rename(copyPath_.c_str(), replaced_.c_str()) != 0)
        failWithErrno("Nelze nahradit soubor " + filePath_);
    copyPath_.clear();
    const int dirFd = ::open(directoryOf(replaced_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd); // the rename itself reaches the disk
        ::close(dirFd);
    }
}

void ReplacementCopy::removeCopy() noexcept {
    if (!copyPath_.empty())
        ::unlink(copyPath_.c_str());
    copyPath_.clear();
}

#endif

} // namespace vrelmont
