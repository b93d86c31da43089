#pragma once
// Values set once at start-up and read everywhere.
#include <string>

namespace vrelmont {

inline std::string ProgramVersion;   // "1.10"
inline std::string ProgramDir;       // the running program's directory, ending in the separator
inline std::string SettingsFilePath; // Vrelmont.ini (see ChooseSettingsFilePath)
inline std::string HelpFilePath;     // the help document Vrelmont.html

inline constexpr const char *kProgramVersion = "1.10";

} // namespace vrelmont
