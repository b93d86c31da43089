#include "settings/ProgramSettings.h"

#include "ini/IniFile.h"
#include "platform/FileIo.h"
#include "text/PathText.h"

#include <cstdio>

namespace vrelmont {
namespace {
constexpr const char *kSettingsFileName = "Vrelmont.ini";
}

std::string CheckKeyName(int checkBoxNumber) {
    char name[16];
    std::snprintf(name, sizeof name, "Check%02d", checkBoxNumber);
    return name;
}

ProgramSettings LoadProgramSettings(const std::string &settingsFilePath) {
    IniFile ini(settingsFilePath, IniFile::WriteMode::OnFlush); // read once for all sixteen keys
    ProgramSettings settings;
    settings.moneyDataRoot = ini.GetText("PATH", "MoneyDataRoot", "");
    for (int n = 1; n <= SelectedChecks::kCount; ++n)
        settings.checks.set(n, ini.GetFlag("SETTING", CheckKeyName(n), SelectedChecks::defaults().contains(n)));
    return settings;
}

void SaveProgramSettings(const std::string &settingsFilePath, const std::string &dataRootPath,
                         const SelectedChecks &checks) {
    // The sixteen keys reach the file together: one replacement of the file instead of sixteen,
    // and a failure leaves the old file whole rather than half updated.
    IniFile ini(settingsFilePath, IniFile::WriteMode::OnFlush);
    ini.PutText("PATH", "MoneyDataRoot", dataRootPath);
    for (int n = 1; n <= SelectedChecks::kCount; ++n)
        ini.PutFlag("SETTING", CheckKeyName(n), checks.contains(n));
    ini.Flush();
}

std::string ChooseSettingsFilePath(const std::string &programDir, const std::string &userConfigDir) {
    const std::string besideProgram = programDir + kSettingsFileName;
    if (PathExists(besideProgram) || IsWritableDirectory(programDir))
        return besideProgram;
    return WithTrailingSeparator(userConfigDir) + kSettingsFileName;
}

} // namespace vrelmont
