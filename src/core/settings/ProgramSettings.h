#pragma once
// The program's own settings file Vrelmont.ini: the DATA directory and the fifteen check choices.
#include "checks/CheckList.h"

#include <array>
#include <cstddef>
#include <string>

namespace vrelmont {

inline constexpr int kCheckCount = 15;
using CheckChoices = std::array<bool, kCheckCount>; // [N - 1] belongs to CheckBoxN and key CheckNN

// Ticked when the file says nothing usable: the checks' own defaults (1 to 5, 14 and 15).
inline constexpr CheckChoices kDefaultCheckChoices = [] {
    CheckChoices choices{};
    for (std::size_t i = 0; i < choices.size(); ++i)
        choices[i] = CheckedByDefault(static_cast<int>(i + 1));
    return choices;
}();

struct ProgramSettings {
    std::string moneyDataRoot; // PATH/MoneyDataRoot as stored, empty when missing
    CheckChoices checks = kDefaultCheckChoices;
};

// "Check01" .. "Check15".
std::string CheckKeyName(int checkBoxNumber);

// A missing file or key gives the defaults; a check value that is no number gives its default.
ProgramSettings LoadProgramSettings(const std::string &settingsFilePath);

// Writes the sixteen keys, each by itself, keeping every other line of the file; a new file gets PATH
// before SETTING. They are put into the file together; a failure throws IniWriteError
// ("Unable to write to <path>") and leaves the file as it was.
void SaveProgramSettings(const std::string &settingsFilePath, const std::string &dataRootPath,
                         const CheckChoices &checks);

// Where the settings file lives: beside the program when that directory already holds Vrelmont.ini or
// can be written; otherwise in the user's configuration directory (an installed program).
std::string ChooseSettingsFilePath(const std::string &programDir, const std::string &userConfigDir);

} // namespace vrelmont
