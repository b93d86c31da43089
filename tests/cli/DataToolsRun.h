#pragma once
// Runs the real vrelmont-cli and reads its table files back with plain SQLite, for the data tool tests.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vrelmont::test {

struct CliResult {
    int status = -1;
    std::string out; // standard output
    std::string err; // standard error
};

CliResult RunCli(const std::vector<std::string> &args);

// Every record of the table in stored order, one line each: "Sklad=i:1|Cislo=i:5|Popis=t:text".
std::vector<std::string> TableRows(const std::filesystem::path &file, const std::string &table);

// The number of finding lines each of the fifteen checks would write on the agenda, counted with
// SQL: keys compared exactly, empty texts skipped except for descriptions.
std::map<std::string, long> FindingCounts(const std::filesystem::path &agendaDir);

// The names of the entries of a directory, sorted.
std::vector<std::string> Listing(const std::filesystem::path &dir);

// The lines of a command's output, without their line ends.
std::vector<std::string> SplitLines(const std::string &text);

} // namespace vrelmont::test
