#pragma once
// The few file operations below the standard library that the core needs, with a half for each platform.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace vrelmont {

// Creates and opens a new file for writing whose name is `pathTemplate` with its trailing "XXXXXX"
// replaced; `pathTemplate` then holds the name. Answers the descriptor, or -1.
int CreateUniqueFile(std::string &pathTemplate);

// Writes all of `bytes`, flushes them to the disk and closes `fd` (also on failure); true when all worked.
bool WriteSyncAndClose(int fd, const std::string &bytes);

// Whether the current user may create files in the directory.
bool IsWritableDirectory(const std::string &directory);

// Whether anything stands at `path`, following links; with `size`, its size in bytes.
bool PathExists(const std::string &path, std::int64_t *size = nullptr);

// What tells one state of a file's content from another without opening it: its identity, size and
// time of last change (in the file system's own units, to the nanosecond where it keeps them).
struct FileState {
    std::uint64_t identity = 0; // device and inode where the system has them
    std::int64_t size = 0;
    std::int64_t changedAt = 0;
    bool operator==(const FileState &) const = default;
};

// The state of the file at `path`, following links; false when nothing stands there.
bool StateOfFile(const std::string &path, FileState &state);

// Now, in the units and from the epoch of FileState::changedAt.
std::int64_t FileClockNow();

// Whether the current user may read, or write, what stands at `path`. On Windows a file with the
// read-only attribute counts as not writable.
bool MayRead(const std::string &path);
bool MayWrite(const std::string &path);

// Whether a system error code says that nothing more fits: a full disk, or the file size limit or
// the user's quota reached. On Windows the code is the system's own, as SQLite's file layer keeps it.
bool IsNoRoomError(int systemError);

// Whether a folder listing hides the entry: a name starting with a dot here, the hidden or system
// attribute on Windows.
bool IsHiddenDirectoryEntry(const std::filesystem::directory_entry &entry);

// A new temporary file for reading and writing, in the user's temporary folder, which the system
// removes when it is closed (or the program ends); null when none can be made.
std::FILE *OpenScratchFile();

} // namespace vrelmont
