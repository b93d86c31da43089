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

} // namespace vrelmont
