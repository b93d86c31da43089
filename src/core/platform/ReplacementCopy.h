#pragma once
// A hidden copy of a file, written beside it and renamed over it once complete, so that the file is
// never written in place and a crash leaves it whole. Only where the system renames a file over one
// that other programs hold open and can sync the folder that records the rename: not on Windows.
#include <string>

namespace vrelmont {

class ReplacementCopy {
public:
    // Whether this system replaces files whole (false on Windows, where nothing below may be called).
    static bool available();

    // Copies `filePath` to a new hidden file beside it (beside the file a link points to, so that a
    // link stays a link), locked as long as this object lives. First removes the copies that a killed
    // writer left: those no living writer holds locked. Throws std::runtime_error in Czech naming
    // `filePath`, saying so when the disk is full.
    explicit ReplacementCopy(const std::string &filePath);
    // Removes the copy unless it replaced the file. Closes the file's own descriptor only now: closing
    // any descriptor of a file drops every lock this process holds on it, SQLite's included.
    ~ReplacementCopy();
    ReplacementCopy(const ReplacementCopy &) = delete;
    ReplacementCopy &operator=(const ReplacementCopy &) = delete;

    const std::string &path() const { return copyPath_; }
    // Gives the copy the file's permissions (and owner, where allowed), syncs it and renames it over
    // the file, the rename synced too. Throws std::runtime_error as the constructor does.
    void replaceOriginal();
    // Removes the copy now, unless it replaced the file.
    void removeCopy() noexcept;

private:
    // Removes the copy and closes the descriptors.
    void release() noexcept;

    std::string filePath_;
    std::string replaced_; // the file the copy replaces: filePath_, or the file its link points to
    std::string copyPath_; // empty once renamed or removed
    int copyFd_ = -1;      // holds the lock that tells a live copy from one left by a crash
    int originalFd_ = -1;
};

// The hidden name under which copies of `file` are written beside it: ".SKSEZZAS.DAT.import-".
std::string ReplacementCopyPrefix(const std::string &file);

} // namespace vrelmont
