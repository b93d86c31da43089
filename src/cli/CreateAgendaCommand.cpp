// vrelmont-cli create-agenda: a new, empty agenda directory.
#include "cli/AgendaFiles.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/StagingDir.h"
#include "platform/Utf8Path.h"

#include <iostream>

namespace vrelmont::cli {
namespace {

SettingsForm SettingsFormNamed(const std::string &name) {
    if (name == "ini")
        return SettingsForm::Ini;
    if (name == "dat")
        return SettingsForm::Table;
    throw UsageError("--settings přijímá ini nebo dat, ne \"" + name + "\"");
}

int RunCreateAgenda(const ParsedArgs &args) {
    if (args.positional.size() != 1)
        throw UsageError("zadejte jednu složku agendy DIR");
    const std::string &name = args.required("--name");
    if (name.empty())
        throw UsageError("--name potřebuje název firmy, ne prázdný text");
    const SettingsForm form = SettingsFormNamed(args.valueOr("--settings", "ini"));

    StagingDir staging(PathFromUtf8(args.positional[0]));
    WriteAgendaFiles(staging.path(), name, form);
    staging.commit();
    std::cout << "Vytvořena agenda " << Utf8FromPath(staging.target()) << ".\n";
    return kExitOk;
}

} // namespace

const CommandDeclaration &CreateAgendaCommand() {
    static const CommandDeclaration command{
        "create-agenda",
        "create a new, empty agenda directory",
        "DIR",
        R"(Creates the agenda directory DIR with empty tables SKKMKART (master stock cards) and
SKSEZZAS (stock items), each with every index the checks use, and the agenda's
settings holding NAME as the business name (section "Údaje o firmě",
key "Název-obchodní").
)",
        {{"--name", "NAME", "the business name", {}, true},
         {"--settings",
          "ini|dat",
          "ini keeps the settings in the INI file AGENDA.INI (the default), dat in the settings table AGENDA.DAT",
          {"ini", "dat"}}},
        R"(DIR must not exist yet or be empty. The directory is built under a hidden name
beside DIR and appears under its own name only when complete.

Example:
  vrelmont-cli create-agenda DATA/AGENDA.001 --name "Železářství Novák s.r.o." --settings dat
)",
        RunCreateAgenda};
    return command;
}

} // namespace vrelmont::cli
