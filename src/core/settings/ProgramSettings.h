#pragma once
// The program's own settings file Vrelmont.ini: the DATA directory and the fifteen check choices.
#include "settings/SelectedChecks.h"

#include <string>

namespace vrelmont {

struct ProgramSettings {
    std::string moneyDataRoot; // PATH/MoneyDataRoot as stored, empty when missing
    // Key CheckNN belongs to CheckBoxN; a key the file says nothing usable in keeps its default.
    SelectedChecks checks = SelectedChecks::defaults();
};

// "Check01" .. "Check15".
std::string CheckKeyName(int checkBoxNumber);

// A missing file or key gives the defaults; a check value that is no number gives its default.
ProgramSettings LoadProgramSettings(const std::string &settingsFilePath);

// Writes the sixteen keys, each by itself, keeping every other line of the file; a new file gets PATH
// before SETTING. They are put into the file together; a failure throws IniWriteError
// ("Unable to write to <path>") and leaves the file as it was.
void SaveProgramSettings(const std::string &settingsFilePath, const std::string &dataRootPath,
                         const SelectedChecks &checks);

// Where the settings file lives: beside the program when that directory already holds Vrelmont.ini or
// can be written; otherwise in the user's configuration directory (an installed program).
std::string ChooseSettingsFilePath(const std::string &programDir, const std::string &userConfigDir);

} // namespace vrelmont
