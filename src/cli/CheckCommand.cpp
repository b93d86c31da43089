// vrelmont-cli check: the check run of the main window's Start, over an agenda directory.
#include "checks/CheckList.h"
#include "checks/CheckRun.h"
#include "checks/ProtocolFile.h"
#include "cli/CheckCliHost.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/EngineOption.h"
#include "hostdb/PathText.h"
#include "hostdb/TS3IniFile.h"
#include "location/CurrentAgenda.h"
#include "platform/ShortDate.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace vrelmont::cli {
namespace {

constexpr int kExitRunStopped = 1;

const std::string kUsage =
    "Usage: vrelmont-cli check AGENDA_DIR [--checks LIST] [--output FILE] [--engine NAME]\n"
    "\n"
    "Runs the checks of the program's Start over the agenda in AGENDA_DIR and writes the report\n"
    "to standard output (UTF-8), exactly as the report box would show it. The agenda's files are\n"
    "only read.\n"
    "\n"
    "  --checks LIST   \"all\" or check numbers 1-15 separated by commas, the numbers of the\n"
    "                  settings keys Check01-Check15 (default: 1,2,3,4,5,14,15). The checks run\n"
    "                  in the program's run order whatever order LIST gives.\n"
    "                     1 duplicate stock item numbers\n"
    "                     2 missing master cards\n"
    "                     3 duplicate master card numbers\n"
    "                     4 duplicate PLU codes of master cards\n"
    "                     5 duplicate PLU codes of stock items\n"
    "                     6 duplicate catalogue numbers of master cards\n"
    "                     7 duplicate catalogue numbers of stock items\n"
    "                     8 duplicate bar codes of master cards\n"
    "                     9 duplicate bar codes of stock items\n"
    "                    10 duplicate abbreviations of master cards\n"
    "                    11 duplicate abbreviations of stock items\n"
    "                    12 duplicate descriptions of master cards\n"
    "                    13 duplicate descriptions of stock items\n"
    "                    14 master cards without description\n"
    "                    15 stock items without description\n"
    "  --output FILE   also save the report as the program's Uložit protokol does\n"
    "                  (windows-1250, CR LF; UTF-8 with a byte-order mark when needed)\n"
    + std::string(kEngineOptionUsage) +
    "\n"
    "Progress is shown on standard error when it is a terminal; Ctrl+C interrupts the running\n"
    "check as Přerušit does.\n"
    "\n"
    "Exit status: 0 the run completed, 1 a check stopped the run (its table could not be opened\n"
    "or indexed, or it was interrupted), 2 wrong usage, 3 any other error.\n";

std::array<bool, 16> ParseCheckList(const std::string &list)
{
    std::array<bool, 16> ticked{};
    if (list == "all") {
        ticked.fill(true);
        return ticked;
    }
    std::string::size_type start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ticked[static_cast<std::size_t>(ParseNumberOption("--checks", item, 1, 15))] = true;
        if (comma == std::string::npos)
            return ticked;
        start = comma + 1;
    }
}

std::array<bool, 16> DefaultChecks()
{
    std::array<bool, 16> ticked{};
    for (int checkBox = 1; checkBox <= 15; ++checkBox)
        ticked[static_cast<std::size_t>(checkBox)] = CheckedByDefault(checkBox);
    return ticked;
}

int RunCheckCommand(const ParsedArgs &parsed)
{
    if (parsed.positional.size() != 1)
        throw UsageError(parsed.positional.empty() ? "missing AGENDA_DIR" : "only one AGENDA_DIR may be given");
    const std::string agendaDir = NormalizeDirPath(parsed.positional.front());
    if (agendaDir.empty() || !std::filesystem::is_directory(agendaDir))
        throw std::runtime_error("not a directory: " + parsed.positional.front());
    const std::array<bool, 16> ticked =
        parsed.has("--checks") ? ParseCheckList(parsed.required("--checks")) : DefaultChecks();
    const bool saving = parsed.has("--output");
    ApplyEngineOption(parsed);

    AgendaTablePath = agendaDir;
    AgendaName = TS3IniFile(agendaDir + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", "");

    CheckCliHost host(ticked, TodayShortDate(), saving);
    TBFTable BFTable1;
    TBFTable BFTable2;
    const bool completed = RunChecks(host, BFTable1, BFTable2);
    host.FinishOutput();
    // The window can only show the fixed text; a terminal user also learns which file failed and why.
    for (const TBFTable *table : {&BFTable1, &BFTable2})
        if (!completed && !table->lastOpenError().empty())
            std::fprintf(stderr, "vrelmont-cli check: %s\n", table->lastOpenError().c_str());
    if (saving)
        WriteProtocolFile(parsed.required("--output"), host.lines());
    return completed ? kExitOk : kExitRunStopped;
}

} // namespace

int CheckCommand(const Args &args)
{
    return RunTool("check", kUsage, args, {"--checks", "--output", kEngineOption}, RunCheckCommand);
}

} // namespace vrelmont::cli
