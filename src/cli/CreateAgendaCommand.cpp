// vrelmont-cli create-agenda: a new, empty agenda directory.
#include "cli/AgendaFiles.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/StagingDir.h"
#include "platform/Utf8Path.h"

#include <iostream>

namespace vrelmont::cli {
namespace {

const char kUsage[] = R"(Usage: vrelmont-cli create-agenda DIR --name NAME [--settings ini|dat]

Creates the agenda directory DIR with empty tables SKKMKART (master stock cards) and
SKSEZZAS (stock items), each with every index the checks use, and the agenda's
settings holding NAME as the business name (section "Údaje o firmě",
key "Název-obchodní").

  --name NAME        the business name
  --settings ini     keep the settings in the INI file AGENDA.INI (the default)
  --settings dat     keep them in the settings table AGENDA.DAT

DIR must not exist yet or be empty. The directory is built under a hidden name
beside DIR and appears under its own name only when complete.

Example:
  vrelmont-cli create-agenda DATA/AGENDA.001 --name "Železářství Novák s.r.o." --settings dat
)";

SettingsForm SettingsFormNamed(const std::string &name) {
    if (name == "ini")
        return SettingsForm::Ini;
    if (name == "dat")
        return SettingsForm::Table;
    throw UsageError("--settings takes ini or dat, not \"" + name + "\"");
}

int RunCreateAgenda(const ParsedArgs &args) {
    if (args.positional.size() != 1)
        throw UsageError("expected one agenda directory DIR");
    const std::string &name = args.required("--name");
    if (name.empty())
        throw UsageError("--name takes a business name, not an empty text");
    const SettingsForm form = SettingsFormNamed(args.valueOr("--settings", "ini"));

    StagingDir staging(PathFromUtf8(args.positional[0]));
    WriteAgendaFiles(staging.path(), name, form);
    staging.commit();
    std::cout << "Created agenda " << Utf8FromPath(staging.target()) << ".\n";
    return kExitOk;
}

} // namespace

int CreateAgendaCommand(const Args &args) {
    return RunTool("create-agenda", kUsage, args, {"--name", "--settings"}, RunCreateAgenda);
}

} // namespace vrelmont::cli
