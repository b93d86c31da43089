#pragma once
// The few file operations below the standard library that the core needs, with a half for each platform.
#include <string>

namespace vrelmont {

// Creates and opens a new file for writing whose name is `pathTemplate` with its trailing "XXXXXX"
// replaced; `pathTemplate` then holds the name. Answers the descriptor, or -1.
int CreateUniqueFile(std::string &pathTemplate);

// Writes all of `bytes`, flushes them to the disk and closes `fd` (also on failure); true when all worked.
bool WriteSyncAndClose(int fd, const std::string &bytes);

// Whether the current user may create files in the directory.
bool IsWritableDirectory(const std::string &directory);

} // namespace vrelmont
