#pragma once
// Looking at and reading files that may not be what their names promise (a FIFO, a device, a
// directory, a link to /dev/zero, a huge file): nothing here waits for a writer or reads without bound.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vrelmont {

// AmbiguousName: a name that Windows would take for another one (a component ending in a blank or dot).
enum class FileKind { Regular, Missing, DanglingLink, Directory, Fifo, Device, OtherKind, NoPermission, AmbiguousName };

// What stands at `path`, following links; never opens it.
FileKind ExamineFile(const std::string &path);

// Why a path that is not a readable regular file cannot be read, in Czech: "soubor neexistuje",
// "není to soubor, ale adresář", "přístup k souboru byl odepřen", ...
std::string DescribeFileKind(FileKind kind);

// The whole content of a regular file of at most `maxBytes` bytes. Empty, with the reason in Czech,
// for a missing or unreadable file, for anything but a regular file, and for a larger file.
std::optional<std::string> ReadBoundedFile(const std::string &path, std::size_t maxBytes, std::string &reason,
                                           FileKind &kind);

// True when a file that exists must not be replaced: the user may not write it, or it carries no
// write permission at all (a read-only file, which even an administrator's writes leave alone).
bool IsWriteProtected(const std::string &path);

// Writes `bytes` into a new file beside `target` and, once they are on the disk, renames it over
// `target`: a failure at any step leaves `target` as it was and no file beside it. A file that is
// replaced keeps its permissions; a new one gets `newFilePermissions`, or the process's default.
// Answers false on failure. The one way the program replaces a file.
bool ReplaceFileAtomically(const std::filesystem::path &target, std::string_view bytes,
                           std::optional<std::filesystem::perms> newFilePermissions = std::nullopt);

} // namespace vrelmont
