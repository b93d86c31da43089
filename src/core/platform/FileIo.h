#pragma once
// The few file operations below the standard library that the core needs, with a half for each platform.
#include <cstdint>
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

// Whether the current user may read, or write, what stands at `path`. On Windows a file with the
// read-only attribute counts as not writable.
bool MayRead(const std::string &path);
bool MayWrite(const std::string &path);

} // namespace vrelmont
