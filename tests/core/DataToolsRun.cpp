#include "DataToolsRun.h"

#include "TempDir.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace vrelmont::test {
namespace {

std::string ShellQuoted(const std::string &arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class Database {
public:
    explicit Database(const fs::path &file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
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

} // namespace vrelmont::test
