// vrelmont-cli check: the check run of the main window's Start, over an agenda directory.
#include "checks/CheckList.h"
#include "checks/CheckRun.h"
#include "checks/ParallelCheckRun.h"
#include "checks/ProtocolFile.h"
#include "cli/CheckCliHost.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/EngineOption.h"
#include "cli/FindingsOutput.h"
#include "cli/XlsxFindings.h"
#include "location/AgendaListing.h"
#include "platform/DateText.h"
#include "platform/Utf8Path.h"
#include "settings/TS3IniFile.h"
#include "text/PathText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace vrelmont::cli {
namespace {

constexpr int kExitRunStopped = 1;
// As shells report a program ended by SIGINT (128 + 2), so that scripts can tell it from a failure.
constexpr int kExitInterrupted = 130;
constexpr int kExitFindings = 4;

// Whether the folder holds a table of the checks (under any extension the engine may give it).
bool HoldsCheckedTables(const std::string &agendaDir) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(PathFromUtf8(agendaDir), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = Utf8FromPath(it->path().filename());
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        if (name.rfind("SKSEZZAS", 0) == 0 || name.rfind("SKKMKART", 0) == 0)
            return true;
    }
    return false;
}

// A data root given where an agenda belongs: its agendas are named instead of a table that cannot be opened.
void RefuseDataRoot(const std::string &given, const std::string &agendaDir) {
    if (HoldsCheckedTables(agendaDir))
        return;
    const std::vector<std::string> agendas = ListAgendaDirs(agendaDir);
    if (agendas.empty())
        return;
    std::string message = "\"" + given + "\" je složka dat, ne agenda; zadejte jednu z jejích agend:";
    for (const std::string &agenda : agendas) {
        message += "\n  " + agenda;
        if (const std::string name = ReadAgendaName(agenda); !name.empty())
            message += "  (" + name + ")";
    }
    throw UsageError(message);
}

// The file --output names is tried before the run, so that a long run does not end in a file that
// cannot be written. A file made for the try is removed again.
void RefuseUnwritableOutput(const std::string &path) {
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    const bool existed = std::filesystem::exists(file, error);
    if (std::filesystem::is_directory(file, error))
        throw std::runtime_error("Nelze zapsat soubor " + path + ": je to složka");
    std::ofstream probe(file, std::ios::binary | std::ios::app);
    if (!probe)
        throw std::runtime_error("Nelze zapsat soubor " + path + ": nelze jej otevřít pro zápis");
    probe.close();
    if (!existed)
        std::filesystem::remove(file, error);
}

SelectedChecks ParseCheckList(const std::string &list) {
    if (list == "all")
        return SelectedChecks::all();
    SelectedChecks ticked;
    std::string::size_type start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ticked.set(ParseNumberOption("--checks", item, 1, SelectedChecks::kCount), true);
        if (comma == std::string::npos)
            return ticked;
        start = comma + 1;
    }
}

FindingsFormat ParseFormat(const std::string &text) {
    if (text == "text")
        return FindingsFormat::Text;
    if (text == "json")
        return FindingsFormat::Json;
    if (text == "ndjson")
        return FindingsFormat::Ndjson;
    if (text == "csv")
        return FindingsFormat::Csv;
    if (text == "xlsx") {
        if (!XlsxAvailable())
            throw UsageError("formát xlsx tato sestava programu neumí (sestavení pro Windows je bez knihovny "
                             "libxlsxwriter); použijte --format csv nebo json");
        return FindingsFormat::Xlsx;
    }
    throw UsageError("--format přijímá text, json, ndjson, csv nebo xlsx, ne \"" + text + "\"");
}

char ParseCsvDelimiter(const std::string &text) {
    if (text == "," || text == ";")
        return text.front();
    if (text == "tab" || text == "\t")
        return '\t';
    throw UsageError("--csv-delimiter přijímá \",\", \";\" nebo tab, ne \"" + text + "\"");
}

int RunCheckCommand(const ParsedArgs &parsed) {
    if (parsed.positional.size() != 1)
        throw UsageError(parsed.positional.empty() ? "chybí složka agendy AGENDA_DIR"
                                                   : "zadejte jen jednu složku agendy AGENDA_DIR");
    // Taken as given, blanks included: trimming belongs to the path a user types into the window.
    const std::string &given = parsed.positional.front();
    const std::string agendaDir = given.empty() ? std::string() : WithTrailingSeparator(given);
    // Refused rather than read: Windows would read another folder than the one given.
    if (const std::string reason = AmbiguousPathReason(given); !reason.empty())
        throw std::runtime_error("složku \"" + given + "\" nelze číst tak, jak je zadána: " + reason);
    if (agendaDir.empty() || !std::filesystem::is_directory(PathFromUtf8(agendaDir)))
        throw std::runtime_error("\"" + parsed.positional.front() + "\" není složka");
    RefuseDataRoot(given, agendaDir);
    const SelectedChecks ticked =
        parsed.has("--checks") ? ParseCheckList(parsed.required("--checks")) : SelectedChecks::defaults();
    const FindingsFormat format = ParseFormat(parsed.valueOr("--format", "text"));
    // A workbook is the file --output names; the protocol is then not saved.
    if (format == FindingsFormat::Xlsx && !parsed.has("--output"))
        throw UsageError("--format xlsx potřebuje --output SOUBOR.xlsx");
    const bool saving = parsed.has("--output") && format != FindingsFormat::Xlsx;
    if (parsed.has("--output"))
        RefuseUnwritableOutput(parsed.required("--output"));
    const char csvDelimiter = ParseCsvDelimiter(parsed.valueOr("--csv-delimiter", ","));
    if (parsed.has("--csv-delimiter") && format != FindingsFormat::Csv)
        throw UsageError("--csv-delimiter platí jen s --format csv");
    if (parsed.has("--no-bom") && format != FindingsFormat::Csv)
        throw UsageError("--no-bom platí jen s --format csv");
    const bool summary = parsed.has("--summary");
    const bool failOnFindings = parsed.has("--fail-on-findings");
    const auto jobs = parsed.has("--jobs")
                          ? static_cast<unsigned>(ParseNumberOption("--jobs", parsed.required("--jobs"), 1, 64))
                          : std::max(1u, std::thread::hardware_concurrency());
    // The host's engine is a COM object of this thread's apartment: its checks run one by one, on
    // this thread. The table files are read on workers even with one job, which read a check again
    // when a host changed its table under the read.
    const bool hostEngine = ApplyEngineOption(parsed);

    const RunContext context{agendaDir,
                             TS3IniFile(agendaDir + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", ""),
                             TodayShortDateText()};

    // The text report needs no finding sink unless something counts the findings.
    const bool collecting = format != FindingsFormat::Text || summary || failOnFindings;
    CheckCliHost *hostForOutput = nullptr;
    FindingsOutput findings(format, stdout, ticked,
                            {csvDelimiter, !parsed.has("--no-bom"), parsed.valueOr("--output", "")}, [&hostForOutput] {
                                if (hostForOutput)
                                    hostForOutput->clearProgressForOutput();
                            });
    CheckCliHost host(ticked, saving, format == FindingsFormat::Text, collecting ? &findings : nullptr);
    hostForOutput = &host;
    findings.begin({parsed.positional.front(), context.agendaName, IsoDateTimeText(std::time(nullptr))});
    TBFTable walkTable;
    TBFTable lookupTable;
    bool completed = false;
    std::vector<std::string> openErrors;
    try {
        if (hostEngine) {
            completed = RunChecks(host, context, walkTable, lookupTable);
            for (const TBFTable *table : {&walkTable, &lookupTable})
                if (!completed && !table->lastOpenError().empty())
                    openErrors.push_back(table->lastOpenError());
        } else {
            ParallelRunResult result = RunChecksInParallel(host, context, jobs);
            completed = result.completed;
            openErrors = std::move(result.openErrors);
        }
    } catch (const std::exception &error) {
        // Whoever reads the findings still gets a whole document, which says the run did not complete.
        findings.end({false, host.interrupted(), error.what()});
        try {
            host.finishOutput();
        } catch (const std::exception &) {
            // The error that stopped the run is the one to report.
        }
        throw;
    } catch (...) {
        findings.end({false, host.interrupted(), "neznámá chyba"});
        throw;
    }
    std::string stoppedBecause;
    for (const std::string &line : host.messages())
        stoppedBecause += (stoppedBecause.empty() ? "" : "\n") + line;
    for (const std::string &openError : openErrors)
        stoppedBecause += (stoppedBecause.empty() ? "" : "\n") + openError;
    findings.end({completed, host.interrupted(), stoppedBecause});
    if (summary && format == FindingsFormat::Text)
        std::fputs(findings.summary().c_str(), stdout);
    host.finishOutput();
    if (summary && format != FindingsFormat::Text)
        std::fputs(findings.summary().c_str(), stderr);
    // The window can only show the fixed text; a terminal user also learns which file failed and why.
    for (const std::string &openError : openErrors)
        std::fprintf(stderr, "vrelmont-cli check: %s\n", openError.c_str());
    if (host.interrupted())
        std::fprintf(stderr, "vrelmont-cli check: %s\n",
                     completed ? "Ctrl+C přišlo až po poslední kontrole; kontroly doběhly" : kInterruptedRunText);
    if (saving)
        WriteProtocolFile(parsed.required("--output"), host.lines());
    if (!completed)
        return host.interrupted() ? kExitInterrupted : kExitRunStopped;
    return failOnFindings && findings.total() > 0 ? kExitFindings : kExitOk;
}

} // namespace

const CommandDeclaration &CheckCommand() {
    static const CommandDeclaration command{
        "check",
        "run the checks on an agenda and print the report",
        "AGENDA_DIR",
        "Runs the checks of the program's Start over the agenda in AGENDA_DIR and writes the report\n"
        "to standard output (UTF-8), exactly as the report box would show it. The agenda's files are\n"
        "only read.\n",
        {{"--checks",
          "LIST",
          "\"all\" or check numbers 1-15 separated by commas, the numbers of the settings keys "
          "Check01-Check15 (default: 1,2,3,4,5,14,15). The checks run in the program's run order whatever "
          "order LIST gives.\n"
          "   1 duplicate stock item numbers\n"
          "   2 missing master cards\n"
          "   3 duplicate master card numbers\n"
          "   4 duplicate PLU codes of master cards\n"
          "   5 duplicate PLU codes of stock items\n"
          "   6 duplicate catalogue numbers of master cards\n"
          "   7 duplicate catalogue numbers of stock items\n"
          "   8 duplicate bar codes of master cards\n"
          "   9 duplicate bar codes of stock items\n"
          "  10 duplicate abbreviations of master cards\n"
          "  11 duplicate abbreviations of stock items\n"
          "  12 duplicate descriptions of master cards\n"
          "  13 duplicate descriptions of stock items\n"
          "  14 master cards without description\n"
          "  15 stock items without description",
          {"all"}},
         {"--output", "FILE",
          "also save the report as the program's Uložit protokol does (windows-1250, CR LF; UTF-8 with a "
          "byte-order mark when needed)"},
         {"--format",
          "F",
          "text (the report, the default), json (one object, UTF-8), ndjson (one object a line: a check's "
          "start, each finding, each group, a check's end, the summary) or csv (UTF-8 with a byte-order "
          "mark). Every record sharing a duplicate key is listed once, in its group; the findings name the "
          "group. xlsx writes a workbook to the file --output names (a summary sheet and a sheet per check "
          "that ran; values as text cells).",
          {"text", "json", "ndjson", "csv", "xlsx"}},
         {"--csv-delimiter",
          "C",
          "the separator of csv: \",\" (the default), \";\" (what a Czech spreadsheet expects) or \"tab\"",
          {",", "tab"}},
         {"--no-bom", "", "csv without the byte-order mark, for readers that do not expect one"},
         {"--summary", "",
          "one line per ticked check with its number of findings, after the report (text) or on standard "
          "error (json, csv)"},
         {"--fail-on-findings", "", "exit with 4 when the run completed and found anything"},
         {"--jobs", "N",
          "run up to N checks at the same time (default: the number of processors); the report is the "
          "same, in the same order. 1 runs them one by one."},
         EngineOptionDeclaration()},
        "Progress is shown on standard error when it is a terminal (\"3/7\", the check's title and\n"
        "its percentage; without control sequences when TERM=dumb); control characters that the\n"
        "tables hold are shown escaped on a terminal. Ctrl+C interrupts the running check as\n"
        "Přerušit does, and says so on standard error.\n"
        "\n"
        "Exit status: 0 the run completed, 1 a check stopped the run (its table could not be opened\n"
        "or indexed), 2 wrong usage, 3 any other error, 4 the run completed with findings and\n"
        "--fail-on-findings was given, 130 Ctrl+C interrupted the run.\n",
        RunCheckCommand};
    return command;
}

} // namespace vrelmont::cli
