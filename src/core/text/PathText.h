#pragma once
#include <filesystem>
#include <string>

namespace vrelmont {

// The platform's directory separator as text: "/" here, "\" on Windows.
inline constexpr char kDirSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// Removes every character below code 33 from both ends; an empty result stays empty,
// otherwise the directory separator is appended unless the text already ends with it.
std::string NormalizeDirPath(const std::string &text);

// Appends the separator unless the text already ends with it (an empty text becomes the separator).
std::string WithTrailingSeparator(const std::string &text);

} // namespace vrelmont
