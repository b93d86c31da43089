// vrelmont-cli check --format json|csv, --summary and --fail-on-findings, against the text report.
#include "DataToolsRun.h"
#include "TempDir.h"

#include "checks/CheckList.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#ifndef _WIN32
#include <spawn.h>
#endif
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace vrelmont;
using namespace vrelmont::test;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

#ifdef _WIN32
// The Windows tests run with the test engine registered, whose records carry no numbers to name whole
// duplicate groups by: the formats are tested on the table files there.
CliResult RunCli(std::initializer_list<std::string> arguments) {
    std::vector<std::string> args(arguments);
    if (!args.empty() && args.front() == "check")
        args.insert(args.end(), {"--engine", "files"});
    return vrelmont::test::RunCli(args);
}
#endif

// The finding lines of the text report, by check number.
std::map<int, Lines> FindingsOfReport(const std::string &report) {
    std::map<int, Lines> findings;
    int current = 0;
    const Lines lines = SplitLines(report);
    for (std::size_t i = 5; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        bool isTitle = false;
        for (const int box : kRunOrder)
            if (CheckTitle(box) == line) {
                current = box;
                findings[box];
                isTitle = true;
            }
        if (isTitle || line.empty() || line.front() == '=' || line == "Dokončeno")
            continue;
        findings[current].push_back(line);
    }
    return findings;
}

// A spreadsheet's reading of CSV: quoted fields may hold the delimiter, quotes and line breaks.
std::vector<Lines> ParseCsv(const std::string &text, char delimiter) {
    std::vector<Lines> rows;
    Lines row;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\r') {
        } else if (c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
        any = true;
    }
    if (any && (!field.empty() || !row.empty())) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

// Standard error's lines without the program's name before each, as the findings give a reason.
std::string WithoutProgramName(const std::string &err) {
    std::string text;
    for (const std::string &line : SplitLines(err))
        text += (text.empty() ? "" : "\n") + line.substr(line.find(": ") + 2);
    return text;
}

std::string Cell(const json &number) {
    return number.is_null() ? "" : std::to_string(number.get<int>());
}

// The check's group of that id.
const json &GroupOf(const json &check, const json &id) {
    for (const json &group : check["groups"])
        if (group["id"] == id)
            return group;
    throw std::runtime_error("no group " + id.dump());
}

// Plain SQL over a table file, for what the walk should have seen.
class TableQuery {
public:
    explicit TableQuery(const fs::path &file) {
        if (sqlite3_open_v2(file.string().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
    }
    ~TableQuery() { sqlite3_close_v2(db_); }

    // (Sklad or null, Cislo) of every record whose key equals, in index order (stored order within a key).
    std::vector<std::pair<json, int>> recordsWithKey(const std::string &table, const json &warehouse,
                                                     const std::string &field, const std::string &value) {
        const bool stock = table == "SKSEZZAS";
        std::string sql = "SELECT " + std::string(stock ? "Sklad" : "NULL") + ", Cislo FROM " + table + " WHERE \"" +
                          field + "\" = ?1" + (stock ? " AND Sklad = ?2" : "") + " ORDER BY rowid";
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
        if (field == "Cislo")
            sqlite3_bind_int(statement, 1, std::stoi(value));
        else
            sqlite3_bind_text(statement, 1, value.c_str(), -1, SQLITE_TRANSIENT);
        if (stock)
            sqlite3_bind_int(statement, 2, warehouse.get<int>());
        std::vector<std::pair<json, int>> records;
        while (sqlite3_step(statement) == SQLITE_ROW)
            records.emplace_back(stock ? json(sqlite3_column_int(statement, 0)) : json(nullptr),
                                 sqlite3_column_int(statement, 1));
        sqlite3_finalize(statement);
        return records;
    }

private:
    sqlite3 *db_ = nullptr;
};

class CheckFormats : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data = new TempDir;
        const auto made = RunCli({"demo", data->file("DATA")});
        ASSERT_EQ(made.status, 0) << made.err;
    }
    static void TearDownTestSuite() {
        delete data;
        data = nullptr;
    }
    static fs::path agenda(const std::string &name) { return data->path() / "DATA" / name; }

    static TempDir *data;
};
TempDir *CheckFormats::data = nullptr;

TEST_F(CheckFormats, JsonHoldsTheReportsFindingsAndEachGroupOnceOnEveryDemoAgenda) {
    for (const std::string name : {"AGENDA.001", "AGENDA.002", "AGENDA.003"}) {
        SCOPED_TRACE(name);
        const fs::path dir = agenda(name);
        const CliResult text = RunCli({"check", dir.string(), "--checks", "all"});
        const CliResult out = RunCli({"check", dir.string(), "--checks", "all", "--format", "json"});
        ASSERT_EQ(text.status, 0) << text.err;
        ASSERT_EQ(out.status, 0) << out.err;
        const std::map<int, Lines> expected = FindingsOfReport(text.out);
        const json result = json::parse(out.out);

        EXPECT_EQ(result["schema_version"], 2);
        EXPECT_EQ(result["agenda"]["path"], dir.string());
        EXPECT_EQ(result["agenda"]["name"], SplitLines(text.out)[2].substr(8));
        EXPECT_TRUE(result["completed"].get<bool>());
        ASSERT_EQ(result["checks"].size(), 15u);
        long total = 0;
        TableQuery stock(dir / "SKSEZZAS.DAT"), cards(dir / "SKKMKART.DAT");
        for (std::size_t position = 0; position < kRunOrder.size(); ++position) {
            const int box = kRunOrder[position];
            const json &check = result["checks"][position];
            SCOPED_TRACE(box);
            EXPECT_EQ(check["number"], box);
            EXPECT_EQ(check["title"].get<std::string>() + ":", CheckTitle(box));
            EXPECT_EQ(check["table"], std::string(CheckTableName(box)));
            EXPECT_EQ(check["status"], "completed");
            // The blue captions of the window mark the checks whose findings need not be errors.
            EXPECT_EQ(check["severity"], box >= 6 && box <= 13 ? "warning" : "error");
            Lines texts;
            for (const json &finding : check["findings"])
                texts.push_back(finding["text"]);
            EXPECT_EQ(texts, expected.at(box));
            EXPECT_EQ(check["count"], texts.size());
            total += static_cast<long>(texts.size());

            const bool duplicates = box != 2 && box != 14 && box != 15;
            for (const json &finding : check["findings"]) {
                EXPECT_EQ(finding.contains("group"), duplicates);
                const std::string number = std::to_string(finding["number"].get<int>());
                EXPECT_NE(finding["text"].get<std::string>().find(" " + number), std::string::npos);
                if (!duplicates)
                    continue;
                // The group is every record with the finding's key, in index order, the finding among them.
                const json &group = GroupOf(check, finding["group"]);
                const json &members = group["members"];
                EXPECT_EQ(group["value"], finding["value"]);
                EXPECT_NE(std::find(members.begin(), members.end(),
                                    json{{"warehouse", finding["warehouse"]}, {"number", finding["number"]}}),
                          members.end());
                const auto records =
                    (check["table"] == "SKSEZZAS" ? stock : cards)
                        .recordsWithKey(check["table"], finding["warehouse"], check["field"], group["value"]);
                ASSERT_EQ(records.size(), members.size());
                EXPECT_EQ(members[0]["warehouse"], records[0].first);
                EXPECT_EQ(members[0]["number"], records[0].second);
            }
            // Each group once: its members are its first record and the records of its findings.
            std::size_t members = 0;
            for (const json &group : check["groups"])
                members += group["members"].size() - 1;
            EXPECT_EQ(members, duplicates ? texts.size() : 0u);
        }
        EXPECT_EQ(result["total"], total);
    }
}

TEST_F(CheckFormats, CsvRowsAreTheJsonFindingsAndGroups) {
    const fs::path dir = agenda("AGENDA.002");
    const CliResult js = RunCli({"check", dir.string(), "--checks", "all", "--format", "json"});
    ASSERT_EQ(js.status, 0) << js.err;
    const json result = json::parse(js.out);
    for (const char delimiter : {',', ';'}) {
        SCOPED_TRACE(delimiter);
        const CliResult csv = RunCli({"check", dir.string(), "--checks", "all", "--format", "csv", "--csv-delimiter",
                                      std::string(1, delimiter)});
        ASSERT_EQ(csv.status, 0) << csv.err;
        ASSERT_EQ(csv.out.substr(0, 3), "\xEF\xBB\xBF");
        const std::vector<Lines> rows = ParseCsv(csv.out.substr(3), delimiter);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0], (Lines{"kind", "check", "check_id", "severity", "title", "table", "warehouse", "number",
                                  "field", "value", "text", "group", "status", "error", "count", "elapsed_s"}));
        // Filtered by kind, the rows are the JSON's findings, its groups' members and its checks.
        Lines findings, expectedFindings, members, expectedMembers, checks, expectedChecks;
        for (std::size_t row = 1; row < rows.size(); ++row) {
            const Lines &r = rows[row];
            ASSERT_EQ(r.size(), 16u);
            if (r[0] == "finding")
                findings.push_back(r[1] + "|" + r[4] + "|" + r[5] + "|" + r[6] + "|" + r[7] + "|" + r[8] + "|" + r[9] +
                                   "|" + r[10] + "|" + r[11]);
            else if (r[0] == "member")
                members.push_back(r[11] + ":" + r[6] + "/" + r[7]);
            else if (r[0] == "check")
                checks.push_back(r[1] + "|" + r[2] + "|" + r[3] + "|" + r[12] + "|" + r[14]);
            else
                EXPECT_TRUE(r[0] == "group" || (r[0] == "run" && row + 1 == rows.size())) << r[0];
        }
        for (const json &check : result["checks"]) {
            expectedChecks.push_back(Cell(check["number"]) + "|" + check["id"].get<std::string>() + "|" +
                                     check["severity"].get<std::string>() + "|" + check["status"].get<std::string>() +
                                     "|" + Cell(check["count"]));
            for (const json &finding : check["findings"])
                expectedFindings.push_back(
                    std::to_string(check["number"].get<int>()) + "|" + check["title"].get<std::string>() + "|" +
                    check["table"].get<std::string>() + "|" + Cell(finding["warehouse"]) + "|" +
                    Cell(finding["number"]) + "|" + check["field"].get<std::string>() + "|" +
                    finding["value"].get<std::string>() + "|" + finding["text"].get<std::string>() + "|" +
                    (finding.contains("group") ? Cell(finding["group"]) : ""));
            for (const json &group : check["groups"])
                for (const json &member : group["members"])
                    expectedMembers.push_back(Cell(group["id"]) + ":" + Cell(member["warehouse"]) + "/" +
                                              Cell(member["number"]));
        }
        EXPECT_EQ(checks, expectedChecks);
        EXPECT_EQ(findings, expectedFindings);
        std::sort(members.begin(), members.end());
        std::sort(expectedMembers.begin(), expectedMembers.end());
        EXPECT_EQ(members, expectedMembers);
        EXPECT_EQ(static_cast<long>(findings.size()), result["total"].get<long>());
    }
}

// JSON lines carry the document's content as events, one object a line, in the order of the run.
TEST_F(CheckFormats, NdjsonLinesAreTheJsonDocumentAsEvents) {
    const std::string dir = agenda("AGENDA.002").string();
    const CliResult js = RunCli({"check", dir, "--checks", "all", "--format", "json"});
    const CliResult lines = RunCli({"check", dir, "--checks", "all", "--format", "ndjson"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    json rebuilt = json::parse(js.out);
    for (json &check : rebuilt["checks"]) {
        check["findings"] = json::array();
        check["groups"] = json::array();
    }
    std::vector<std::string> types;
    for (const std::string &line : SplitLines(lines.out)) {
        json event = json::parse(line);
        const std::string type = event["type"];
        types.push_back(type);
        event.erase("type");
        if (type == "finding" || type == "group") {
            const auto position = std::find(kRunOrder.begin(), kRunOrder.end(), event["check"].get<int>());
            json &check = rebuilt["checks"][static_cast<std::size_t>(position - kRunOrder.begin())];
            event.erase("check");
            check[type == "finding" ? "findings" : "groups"].push_back(event);
        }
    }
    EXPECT_EQ(rebuilt, json::parse(js.out));
    EXPECT_EQ(types.front(), "run");
    EXPECT_EQ(types[1], "check_start");
    EXPECT_EQ(types.back(), "summary");
    EXPECT_EQ(std::count(types.begin(), types.end(), "check_end"), 15);
}

TEST_F(CheckFormats, UntickedChecksAreSkippedAndTheProtocolStaysTheReport) {
    const fs::path dir = agenda("AGENDA.001");
    const TempDir out;
    const CliResult text = RunCli({"check", dir.string(), "--checks", "9,2", "--output", out.file("text.txt")});
    const CliResult js = RunCli(
        {"check", dir.string(), "--checks", "9,2", "--format", "json", "--output", out.file("json.txt"), "--summary"});
    ASSERT_EQ(js.status, 0) << js.err;
    EXPECT_EQ(ReadBytes(out.file("text.txt")), ReadBytes(out.file("json.txt")));
    const json result = json::parse(js.out);
    for (const json &check : result["checks"]) {
        const int box = check["number"];
        EXPECT_EQ(check["status"], box == 9 || box == 2 ? "completed" : "skipped") << box;
        if (check["status"] == "skipped") {
            EXPECT_EQ(check["count"], 0);
            EXPECT_TRUE(check["findings"].empty());
        }
    }
    // The summary goes to standard error beside JSON, one line per ticked check in run order.
    EXPECT_EQ(js.err, "Check02 Kontrola existence kmenových karet: 3\n"
                      "Check09 Kontrola duplicitních čár. kódů skladových zásob: 1\n");
    const CliResult summed = RunCli({"check", dir.string(), "--checks", "9,2", "--summary"});
    EXPECT_EQ(summed.out, text.out + js.err);
}

TEST_F(CheckFormats, ExitStatusWithFailOnFindings) {
    EXPECT_EQ(RunCli({"check", agenda("AGENDA.001").string(), "--fail-on-findings"}).status, 4);
    EXPECT_EQ(RunCli({"check", agenda("AGENDA.001").string(), "--format", "csv", "--fail-on-findings"}).status, 4);
    EXPECT_EQ(RunCli({"check", agenda("AGENDA.001").string()}).status, 0);
    EXPECT_EQ(RunCli({"check", agenda("AGENDA.003").string(), "--checks", "all", "--fail-on-findings"}).status, 0);

    // A run that stops keeps its own status, and the JSON says which check stopped it.
    const TempDir broken;
    fs::create_directory(broken.path() / "AGENDA.009");
    fs::copy_file(agenda("AGENDA.001") / "SKSEZZAS.DAT", broken.path() / "AGENDA.009" / "SKSEZZAS.DAT");
    const CliResult stopped =
        RunCli({"check", broken.file("AGENDA.009"), "--checks", "1,3,9", "--format", "json", "--fail-on-findings"});
    EXPECT_EQ(stopped.status, 1);
    const json result = json::parse(stopped.out);
    EXPECT_FALSE(result["completed"].get<bool>());
    EXPECT_EQ(result["checks"][0]["status"], "completed");
    EXPECT_EQ(result["checks"][1]["status"], "failed"); // the cards cannot be opened
    EXPECT_EQ(result["checks"][2]["status"], "skipped");
    EXPECT_EQ(result["checks"][10]["status"], "not_run"); // ticked, but the run never came to it
    EXPECT_EQ(result["total"], 1);
    // The reason is what standard error says, in JSON and in CSV.
    EXPECT_EQ(result["checks"][1]["error"], WithoutProgramName(stopped.err));
    EXPECT_EQ(result["error"], result["checks"][1]["error"]);
    const CliResult csv = RunCli({"check", broken.file("AGENDA.009"), "--checks", "1,3,9", "--format", "csv"});
    const std::vector<Lines> rows = ParseCsv(csv.out.substr(3), ',');
    const std::string title(CheckTitle(3).substr(0, CheckTitle(3).size() - 1));
    const Lines checkRow{"check", "3",      "duplicate-card-number",     "error", title, "SKKMKART", "", "", "", "", "",
                         "",      "failed", WithoutProgramName(csv.err), "0"};
    ASSERT_GE(rows.size(), 2u);
    const auto row =
        std::find_if(rows.begin(), rows.end(), [](const Lines &r) { return r[0] == "check" && r[1] == "3"; });
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(Lines(row->begin(), row->end() - 1), checkRow);
    EXPECT_EQ(rows.back()[12], "failed");
}

// An index that cannot be set: the window's text, then which index of which table.
TEST_F(CheckFormats, AnIndexThatCannotBeSetIsNamed) {
    const TempDir broken;
    const fs::path dir = broken.path() / "AGENDA.009";
    fs::create_directory(dir);
    fs::copy_file(agenda("AGENDA.001") / "SKSEZZAS.DAT", dir / "SKSEZZAS.DAT");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "SKSEZZAS.DAT").string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP INDEX SKSEZZAS_Sklad_BarCode", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const CliResult out = RunCli({"check", dir.string(), "--checks", "9", "--format", "json"});
    EXPECT_EQ(out.status, 1);
    const Lines lines = SplitLines(out.err);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "vrelmont-cli check: Nelze nastavit index skladových zásob.");
    EXPECT_NE(lines[1].find("SKSEZZAS"), std::string::npos);
    EXPECT_NE(lines[1].find("index Sklad+BarCode"), std::string::npos);
    EXPECT_EQ(json::parse(out.out)["checks"][10]["error"], WithoutProgramName(out.err));
}

// Ctrl+C: the run stops as with Přerušit, standard error says why, and every format still ends
// whole. The output is read from a pipe that the test leaves full until the signal is sent, so the
// run is surely still going; the descriptions check stands in a run of a thousand equal keys.
TEST_F(CheckFormats, CtrlCStopsTheRunAndSaysSoInEveryFormat) {
#ifdef _WIN32
    GTEST_SKIP() << "Ctrl+C is sent here as the POSIX signal SIGINT; Windows has no kill() to send it with";
#else
    const TempDir dir;
    const CliResult made =
        RunCli({"generate", dir.file("AGENDA.500"), "--cards", "4000", "--stock", "20000", "--warehouses", "5"});
    ASSERT_EQ(made.status, 0) << made.err;

    for (const std::string format : {"text", "json", "ndjson", "csv"}) {
        SCOPED_TRACE(format);
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, report[0]);
        const std::string errFile = dir.file("err");
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT); // a test run in the background would otherwise pass Ctrl+C on as ignored
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        std::vector<std::string> args{
            VRELMONT_CLI_PATH, "check", dir.file("AGENDA.500"), "--checks", "all", "--format", format, "--jobs", "1"};
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        close(report[1]);

        usleep(500 * 1000); // the run fills the pipe and waits
        kill(child, SIGINT);
        std::string out;
        char buffer[65536];
        for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(got));
        close(report[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_EQ(ReadBytes(errFile), "vrelmont-cli check: přerušeno klávesami Ctrl+C; kontroly se zastavily\n");
        const Lines lines = SplitLines(out);
        ASSERT_GE(lines.size(), 2u);
        if (format == "text") {
            EXPECT_EQ(lines.back(), "[ kontrola přerušena uživatelem ]");
        } else if (format == "json") {
            const json result = json::parse(out);
            EXPECT_EQ(result["status"], "aborted");
            const auto aborted = std::find_if(result["checks"].begin(), result["checks"].end(),
                                              [](const json &check) { return check["status"] == "aborted"; });
            ASSERT_NE(aborted, result["checks"].end());
            EXPECT_EQ((*aborted)["error"], "přerušeno klávesami Ctrl+C; kontroly se zastavily");
        } else if (format == "ndjson") {
            EXPECT_FALSE(json::parse(lines.back())["completed"].get<bool>());
        }
    }
#endif
}

// An engine error ends the run with status 3; the JSON is still whole and says which check failed.
TEST_F(CheckFormats, AnEngineErrorStillLeavesAWholeDocument) {
    const TempDir dir;
    const std::string agendaDir = dir.file("AGENDA.700");
    ASSERT_EQ(RunCli({"create-agenda", agendaDir, "--name", "Test"}).status, 0);
    WriteBytes(dir.file("stock.csv"), "Sklad,Cislo\n1,1\n1,2\n");
    ASSERT_EQ(RunCli({"import", agendaDir, "SKSEZZAS", dir.file("stock.csv")}).status, 0);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((agendaDir + "/SKSEZZAS.DAT").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE SKSEZZAS SET Cislo = 'dva' WHERE Cislo = 2", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    const CliResult out = RunCli({"check", agendaDir, "--checks", "1,9", "--format", "json"});
    EXPECT_EQ(out.status, 3);
    EXPECT_FALSE(out.err.empty());
    const json result = json::parse(out.out);
    EXPECT_FALSE(result["completed"].get<bool>());
    EXPECT_EQ(result["checks"][0]["status"], "failed");
    EXPECT_EQ(result["checks"][0]["error"], WithoutProgramName(out.err));
    EXPECT_EQ(result["checks"][10]["status"], "not_run");
    EXPECT_EQ(result["checks"][1]["status"], "skipped");
}

// Texts that JSON must escape and CSV must quote come back as they were stored.
TEST_F(CheckFormats, AwkwardTextsSurviveBothFormats) {
    const TempDir dir;
    const std::string agendaDir = dir.file("AGENDA.600");
    ASSERT_EQ(RunCli({"create-agenda", agendaDir, "--name", "Pila \"U Lípy\"; s.r.o."}).status, 0);
    const std::string awkward = "M8 \"\"pozink\"\"; \\ 5\t%\r\nřádek, \x01";
    WriteBytes(dir.file("cards.csv"), "Cislo,Popis\n1,\"" + awkward + "\"\n2,\"" + awkward + "\"\n");
    const CliResult imported = RunCli({"import", agendaDir, "SKKMKART", dir.file("cards.csv")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::string stored = "M8 \"pozink\"; \\ 5\t%\r\nřádek, \x01";

    const CliResult js = RunCli({"check", agendaDir, "--checks", "12", "--format", "json"});
    ASSERT_EQ(js.status, 0) << js.err;
    const json result = json::parse(js.out);
    EXPECT_EQ(result["agenda"]["name"], "Pila \"U Lípy\"; s.r.o.");
    const json &finding = result["checks"][13]["findings"][0];
    EXPECT_EQ(finding["value"], stored);
    EXPECT_EQ(finding["text"], "Nalezena kmenová karta č. 2 s duplicitním popisem " + stored);
    EXPECT_EQ(result["checks"][13]["groups"][0]["members"],
              json::parse(R"([{"warehouse": null, "number": 1}, {"warehouse": null, "number": 2}])"));

    const CliResult csv = RunCli({"check", agendaDir, "--checks", "12", "--format", "csv", "--csv-delimiter", ";"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<Lines> rows = ParseCsv(csv.out.substr(3), ';');
    // Thirteen checks before, a group, its two members, the finding, two checks and the run.
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[14],
              (Lines{"group", "12", "", "", "", "SKKMKART", "", "", "Popis", stored, "", "1", "", "", "", ""}));
    EXPECT_EQ(
        Lines(rows[17].begin(), rows[17].begin() + 12),
        (Lines{"finding", "12", "duplicate-card-description", "warning", "Kontrola duplicitních popisů kmenových karet",
               "SKKMKART", "", "2", "Popis", stored, finding["text"], "1"}));
}

// A group whose members outgrow memory's share (4 MB of JSON) goes through a temporary file whole.
TEST_F(CheckFormats, AGroupOfAHundredFiftyThousandRecordsComesBackWhole) {
    const TempDir dir;
    const std::string agendaDir = dir.file("AGENDA.800");
    ASSERT_EQ(RunCli({"create-agenda", agendaDir, "--name", "Test"}).status, 0);
    std::string cards = "Cislo\n";
    for (int number = 1; number <= 150000; ++number)
        cards += std::to_string(number) + "\n";
    WriteBytes(dir.file("cards.csv"), cards);
    ASSERT_EQ(RunCli({"import", agendaDir, "SKKMKART", dir.file("cards.csv")}).status, 0);
    const CliResult out = RunCli({"check", agendaDir, "--checks", "12", "--format", "json"});
    ASSERT_EQ(out.status, 0) << out.err;
    const json result = json::parse(out.out);
    const json &check = result["checks"][13];
    ASSERT_EQ(check["groups"].size(), 1u);
    const json &members = check["groups"][0]["members"];
    ASSERT_EQ(members.size(), 150000u);
    EXPECT_EQ(members[0]["number"], 1);
    EXPECT_EQ(members[149999]["number"], 150000);
    EXPECT_EQ(check["count"], 149999);
}

// A value a spreadsheet would run as a formula is text in CSV; JSON keeps the value as stored.
TEST_F(CheckFormats, CsvNeverHandsASpreadsheetAFormula) {
    const TempDir dir;
    const std::string agendaDir = dir.file("AGENDA.600");
    ASSERT_EQ(RunCli({"create-agenda", agendaDir, "--name", "Test"}).status, 0);
    WriteBytes(dir.file("cards.csv"),
               "Cislo,Zkrat,Popis\n1,@SUM(A1),\"=HYPERLINK(\"\"x\"\")\"\n2,@SUM(A1),\"=HYPERLINK(\"\"x\"\")\"\n"
               "3,-2+3,+1\n4,-2+3,+1\n");
    ASSERT_EQ(RunCli({"import", agendaDir, "SKKMKART", dir.file("cards.csv")}).status, 0);
    const CliResult csv = RunCli({"check", agendaDir, "--checks", "10,12", "--format", "csv"});
    const json js = json::parse(RunCli({"check", agendaDir, "--checks", "10,12", "--format", "json"}).out);
    Lines values;
    for (const Lines &row : ParseCsv(csv.out.substr(3), ','))
        if (row[0] == "finding")
            values.push_back(row[9]);
    EXPECT_EQ(values, (Lines{"'-2+3", "'@SUM(A1)", "'+1", "'=HYPERLINK(\"x\")"}));
    EXPECT_EQ(js["checks"][13]["findings"][1]["value"], "=HYPERLINK(\"x\")");
}

#ifndef _WIN32
// What a terminal receives when vrelmont-cli writes both its outputs to it, with TERM as given.
std::string OnTerminal(const std::vector<std::string> &arguments, const char *term) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
        throw std::runtime_error("no pseudo-terminal");
    std::vector<std::string> args{VRELMONT_CLI_PATH};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int shown = open(ptsname(terminal), O_RDWR | O_NOCTTY);
        dup2(shown, STDOUT_FILENO);
        dup2(shown, STDERR_FILENO);
        setenv("TERM", term, 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::string out;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(got));
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    return out;
}
#endif

// On a terminal a stored ESC or NUL is shown escaped; the saved protocol keeps the stored bytes.
// The progress names the check's place among those that run, without control sequences for TERM=dumb.
TEST_F(CheckFormats, ATerminalSeesControlCharactersEscapedAndWhereTheRunIs) {
#ifdef _WIN32
    GTEST_SKIP() << "a pseudo-terminal is POSIX's";
#else
    const TempDir dir;
    const std::string agendaDir = dir.file("AGENDA.600");
    ASSERT_EQ(RunCli({"create-agenda", agendaDir, "--name", "Test"}).status, 0);
    WriteBytes(dir.file("cards.csv"), "Cislo,Popis\n1,a\x1B[2Jb\n2,a\x1B[2Jb\n");
    ASSERT_EQ(RunCli({"import", agendaDir, "SKKMKART", dir.file("cards.csv")}).status, 0);
    const std::string protocol = dir.file("protokol.txt");
    const std::string out = OnTerminal({"check", agendaDir, "--checks", "12,14", "--output", protocol}, "xterm");
    EXPECT_NE(out.find("s duplicitním popisem a\\x1B[2Jb"), std::string::npos) << out;
    EXPECT_EQ(out.find("\x1B[2J"), std::string::npos);
    EXPECT_NE(out.find("2/2 Kontrola duplicitních popisů kmenových karet: 100%"), std::string::npos) << out;
    EXPECT_NE(ReadBytes(protocol).find(" a\x1B[2Jb\r\n"), std::string::npos);

    const std::string dumb = OnTerminal({"check", agendaDir, "--checks", "12,14"}, "dumb");
    EXPECT_NE(dumb.find("1/2 Hledání kmenových karet bez popisu:"), std::string::npos) << dumb;
    EXPECT_EQ(dumb.find('\x1B'), std::string::npos) << dumb;
#endif
}

// A workbook needs a file to be written to; the Windows build, made without libxlsxwriter, says so.
TEST_F(CheckFormats, XlsxGoesToTheOutputFileOnly) {
    const std::string dir = agenda("AGENDA.001").string();
    EXPECT_EQ(RunCli({"check", dir, "--format", "xlsx"}).status, 2);
    const TempDir out;
    const CliResult book = RunCli({"check", dir, "--format", "xlsx", "--output", out.file("nalezy.xlsx")});
#ifdef _WIN32
    EXPECT_EQ(book.status, 2);
    EXPECT_NE(book.err.find("formát xlsx tato sestava programu neumí"), std::string::npos) << book.err;
#else
    EXPECT_EQ(book.status, 0) << book.err;
    EXPECT_EQ(book.out, "");
    EXPECT_EQ(ReadBytes(out.file("nalezy.xlsx")).substr(0, 2), "PK"); // a zip, read back by FindingsXlsx
#endif
}

// An --output that cannot be written stops the command before the run, whatever the format.
TEST_F(CheckFormats, AnUnwritableOutputIsRefusedBeforeTheRun) {
    const TempDir dir;
#ifdef _WIN32
    const auto formats = {"text"}; // the Windows build refuses xlsx before it looks at the file
#else
    const auto formats = {"text", "xlsx"};
#endif
    for (const std::string format : formats) {
        const CliResult out = RunCli({"check", agenda("AGENDA.001").string(), "--format", format, "--output",
                                      (dir.path() / "no such folder" / "out.txt").string()});
        EXPECT_EQ(out.status, 3);
        EXPECT_EQ(out.out, "") << "nothing of the run";
        EXPECT_NE(out.err.find("Nelze zapsat soubor"), std::string::npos) << out.err;
    }
    const std::string kept = dir.file("kept.txt");
    ASSERT_EQ(RunCli({"check", agenda("AGENDA.001").string(), "--output", kept}).status, 0);
    EXPECT_FALSE(ReadBytes(kept).empty());
}

// The DATA folder given for an agenda: the agendas under it are named, and it is a usage error.
TEST_F(CheckFormats, ADataRootIsNoAgenda) {
    const CliResult out = RunCli({"check", (data->path() / "DATA").string()});
    EXPECT_EQ(out.status, 2);
    EXPECT_NE(out.err.find("je složka dat, ne agenda"), std::string::npos) << out.err;
    EXPECT_NE(out.err.find("AGENDA.003"), std::string::npos) << out.err;
    EXPECT_NE(out.err.find("Železářství Novák s.r.o."), std::string::npos) << out.err;
    EXPECT_EQ(out.out, "");
}

TEST_F(CheckFormats, WrongFormatOptionsAndVersion) {
    const std::string dir = agenda("AGENDA.001").string();
    EXPECT_EQ(RunCli({"check", dir, "--format", "xml"}).status, 2);
    EXPECT_EQ(RunCli({"check", dir, "--format", "csv", "--csv-delimiter", "|"}).status, 2);
    EXPECT_EQ(RunCli({"check", dir, "--csv-delimiter", ";"}).status, 2);
    EXPECT_EQ(RunCli({"check", dir, "--no-bom"}).status, 2);
    const CliResult plain = RunCli({"check", dir, "--format", "csv", "--no-bom"});
    EXPECT_EQ(plain.out.substr(0, 5), "kind,");
    EXPECT_EQ(RunCli({"check", dir, "--summary=yes"}).status, 2);
    EXPECT_EQ(RunCli({"help", "check"}).out, RunCli({"check", "--help"}).out);
    EXPECT_EQ(RunCli({"help", "nonsense"}).status, 2);
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vrelmont-cli 1.10\n");
}

} // namespace
