#pragma once
// The program keeps paths as UTF-8 texts. These turn them into file system paths and back as UTF-8:
// on Windows std::filesystem reads a narrow text in the C library's locale instead, so that a folder
// such as C:\Účetnictví would not be found. Narrow C library calls (fopen, stat, access) are no
// better there: the platform layer uses their wide forms.
#include <filesystem>
#include <string>
#include <string_view>

namespace vrelmont {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path &path);

// Windows drops a blank or a dot at the end of a path's component ("AGENDA.001 " names AGENDA.001),
// so such a path would lead to another file or folder than the one given. On Windows: the Czech
// reason why `utf8` cannot be used as it is given; empty when it can. Elsewhere always empty.
std::string AmbiguousPathReason(std::string_view utf8);

} // namespace vrelmont
