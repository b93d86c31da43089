#pragma once
// The values the program finds once at start-up. One object, owned by the program entry and handed
// to whoever needs them.
#include <string>

namespace vrelmont {

inline constexpr const char *kProgramVersion = "1.10";
// The program's name: window titles, message boxes and the report header.
inline constexpr const char *kApplicationTitle = "Vrelmont";

struct ProgramValues {
    std::string version = kProgramVersion;
    std::string programDir;       // the running program's directory, ending in the separator
    std::string settingsFilePath; // Vrelmont.ini (see ChooseSettingsFilePath)
    std::string helpFilePath;     // the help document Vrelmont.html
};

} // namespace vrelmont
