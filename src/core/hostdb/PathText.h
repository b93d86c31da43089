#pragma once
#include <string>

namespace vrelmont {

// The platform's directory separator as text: "/" here, "\" on Windows.
#ifdef _WIN32
inline constexpr char kDirSeparator = '\\';
#else
inline constexpr char kDirSeparator = '/';
#endif

// Removes every character below code 33 from both ends; an empty result stays empty,
// otherwise the directory separator is appended unless the text already ends with it.
std::string NormalizeDirPath(const std::string &text);

// Appends the separator unless the text already ends with it (an empty text becomes the separator).
std::string WithTrailingSeparator(const std::string &text);

} // namespace vrelmont
