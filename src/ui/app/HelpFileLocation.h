#pragma once
#include <string>

namespace vrelmont::ui {

// The help document beside the program, else the one installed in <prefix>/share/vrelmont (found
// from the program's own place first, then from the configured prefix). None of them existing:
// the place beside the program.
std::string FindHelpFilePath(const std::string &programDir);

} // namespace vrelmont::ui
