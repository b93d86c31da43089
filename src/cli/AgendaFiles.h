#pragma once
// The files of a new, empty agenda: the stock tables with every index the checks select, and the
// settings holding the business name.
#include <filesystem>
#include <string>

namespace vrelmont::cli {

enum class SettingsForm { Ini, Table }; // AGENDA.INI, or the settings table AGENDA.DAT

inline const char *const kCompanySection = "Údaje o firmě";
inline const char *const kBusinessNameKey = "Název-obchodní";

// Writes SKKMKART.DAT, SKSEZZAS.DAT and the settings into the existing, empty directory `dir`.
// Throws std::runtime_error naming the file that could not be written, also when the name does
// not read back as written (a name that windows-1250 cannot hold, in the INI form).
void WriteAgendaFiles(const std::filesystem::path &dir, const std::string &businessName, SettingsForm form);

} // namespace vrelmont::cli
