#include "DataToolsRun.h"

#include "TempDir.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace vrelmont::test {
namespace {

#ifndef _WIN32
std::string ShellQuoted(const std::string &arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
#endif

class Database {
public:
    explicit Database(const fs::path &file) {
        if (sqlite3_open_v2(file.string().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
    }
    ~Database() { sqlite3_close_v2(db_); }

    // Every row of the query, its columns joined by "|" as name=type:value.
    std::vector<std::string> rows(const std::string &sql) const {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_) + (": " + sql));
        std::vector<std::string> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const int type = sqlite3_column_type(statement, i);
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, i));
                row += std::string(i ? "|" : "") + sqlite3_column_name(statement, i) + "=" +
                       (type == SQLITE_INTEGER ? "i:"
                        : type == SQLITE_TEXT  ? "t:"
                                               : "?:") +
                       (text ? text : "");
            }
            rows.push_back(row);
        }
        sqlite3_finalize(statement);
        return rows;
    }

    long number(const std::string &sql) const {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_) + (": " + sql));
        const long value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        return value;
    }

    void exec(const std::string &sql) const {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_) + (": " + sql));
    }

private:
    sqlite3 *db_ = nullptr;
};

// Findings of a duplicate-key check: in each run of equal keys every record but the first.
std::string DuplicatesSql(const std::string &table, const std::string &key, const std::string &skipEmpty) {
    return "SELECT coalesce(sum(n - 1), 0) FROM (SELECT count(*) AS n FROM " + table +
           (skipEmpty.empty() ? "" : " WHERE " + skipEmpty + " <> ''") + " GROUP BY " + key + ")";
}

} // namespace

#ifdef _WIN32
namespace {
std::wstring Wide(const std::string &utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// One argument as CommandLineToArgvW reads it back: quoted, with backslashes before quotes doubled.
std::wstring WindowsQuoted(const std::wstring &arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE InheritableFile(const std::string &path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
} // namespace

// The CLI beside the test program, started directly (there is no POSIX shell), its output in files.
CliResult RunCli(const std::vector<std::string> &args) {
    TempDir capture;
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self, length);
    program = program.substr(0, program.find_last_of(L"\\/") + 1) + L"vrelmont-cli.exe";
    std::wstring commandLine = WindowsQuoted(program);
    for (const auto &arg : args)
        commandLine += L" " + WindowsQuoted(Wide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(capture.file("out"), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(capture.file("err"), GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    CliResult result;
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    result.out = ReadBytes(capture.file("out"));
    result.err = ReadBytes(capture.file("err"));
    return result;
}
#else
CliResult RunCli(const std::vector<std::string> &args) {
    TempDir capture;
    std::string command = ShellQuoted(VRELMONT_CLI_PATH);
    for (const auto &arg : args)
        command += " " + ShellQuoted(arg);
    command += " >" + ShellQuoted(capture.file("out")) + " 2>" + ShellQuoted(capture.file("err")) + " </dev/null";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadBytes(capture.file("out"));
    result.err = ReadBytes(capture.file("err"));
    return result;
}
#endif

std::vector<std::string> TableRows(const fs::path &file, const std::string &table) {
    return Database(file).rows("SELECT * FROM \"" + table + "\" ORDER BY rowid");
}

std::map<std::string, long> FindingCounts(const fs::path &agendaDir) {
    Database db(agendaDir / "SKSEZZAS.DAT");
    db.exec("ATTACH DATABASE '" + (agendaDir / "SKKMKART.DAT").string() + "' AS cards");
    const std::string stock = "main.SKSEZZAS", cards = "cards.SKKMKART";
    std::map<std::string, long> counts;
    counts["stock numbers"] = db.number(DuplicatesSql(stock, "Sklad, Cislo", ""));
    counts["card numbers"] = db.number(DuplicatesSql(cards, "Cislo", ""));
    counts["missing cards"] =
        db.number("SELECT count(*) FROM " + stock + " WHERE Cislo NOT IN (SELECT Cislo FROM " + cards + ")");
    counts["undescribed cards"] = db.number("SELECT count(*) FROM " + cards + " WHERE Popis = ''");
    counts["undescribed stock"] = db.number("SELECT count(*) FROM " + stock + " WHERE Popis = ''");
    for (const std::string field : {"UzivCode", "Katalog", "BarCode", "Zkrat"}) {
        counts["card " + field] = db.number(DuplicatesSql(cards, field, field));
        counts["stock " + field] = db.number(DuplicatesSql(stock, "Sklad, " + field, field));
    }
    counts["card Popis"] = db.number(DuplicatesSql(cards, "Popis", ""));
    counts["stock Popis"] = db.number(DuplicatesSql(stock, "Sklad, Popis", ""));
    return counts;
}

std::vector<std::string> Listing(const fs::path &dir) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SplitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace vrelmont::test
