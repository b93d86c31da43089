// vrelmont-cli demo and generate: deterministic agendas with findings of every kind.
#include "DataToolsRun.h"
#include "TempDir.h"

#include "engine/TBFTable.h"
#include "settings/TS3IniFile.h"

#include <gtest/gtest.h>

using namespace vrelmont;
using namespace vrelmont::test;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kAgendas = {"AGENDA.001", "AGENDA.002", "AGENDA.003"};

// Everything a reader of the agenda sees: the settings file's bytes or rows, and every record.
std::vector<std::string> Content(const fs::path &agenda) {
    std::vector<std::string> content = Listing(agenda);
    if (fs::exists(agenda / "AGENDA.INI"))
        content.push_back(ReadBytes((agenda / "AGENDA.INI").string()));
    if (fs::exists(agenda / "AGENDA.DAT"))
        for (const auto &row : TableRows(agenda / "AGENDA.DAT", "AGENDA"))
            content.push_back(row);
    for (const std::string table : {"SKKMKART", "SKSEZZAS"})
        for (const auto &row : TableRows(agenda / (table + ".DAT"), table))
            content.push_back(row);
    return content;
}

std::string BusinessName(const fs::path &agenda) {
    TS3IniFile settings((agenda / "AGENDA.INI").string());
    return settings.GetText("Údaje o firmě", "Název-obchodní", "");
}

TEST(Demo, ThreeAgendasInBothSettingsFormsTheSameOnEveryRun) {
    TempDir dir;
    const auto first = RunCli({"demo", dir.file("DATA")});
    ASSERT_EQ(first.status, 0) << first.err;
    fs::create_directory(dir.path() / "SECOND");
    const auto second = RunCli({"demo", dir.file("SECOND")}); // an empty directory is fine
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"DATA", "SECOND"}));

    EXPECT_EQ(Listing(dir.path() / "DATA"), kAgendas);
    for (const auto &agenda : kAgendas)
        EXPECT_EQ(Content(dir.path() / "DATA" / agenda), Content(dir.path() / "SECOND" / agenda)) << agenda;

    EXPECT_TRUE(fs::exists(dir.path() / "DATA/AGENDA.001/AGENDA.INI"));
    EXPECT_TRUE(fs::exists(dir.path() / "DATA/AGENDA.002/AGENDA.DAT"));
    EXPECT_FALSE(fs::exists(dir.path() / "DATA/AGENDA.002/AGENDA.INI"));
    EXPECT_EQ(BusinessName(dir.path() / "DATA/AGENDA.001"), "Železářství Novák s.r.o.");
    EXPECT_EQ(BusinessName(dir.path() / "DATA/AGENDA.002"), "Pekárna a cukrárna Dvořák, spol. s r.o.");
    EXPECT_EQ(BusinessName(dir.path() / "DATA/AGENDA.003"), "Zahradnictví Kvítek – Ing. Jana Hájková");
}

// The first agenda's findings, check by check; the second has findings of every kind too, the third none.
TEST(Demo, FindingsForEveryCheck) {
    TempDir dir;
    ASSERT_EQ(RunCli({"demo", dir.file("DATA")}).status, 0);
    const std::map<std::string, long> hardware{{"stock numbers", 1},     {"card numbers", 1},      {"missing cards", 3},
                                               {"undescribed cards", 1}, {"undescribed stock", 3}, {"card UzivCode", 1},
                                               {"stock UzivCode", 1},    {"card Katalog", 1},      {"stock Katalog", 1},
                                               {"card BarCode", 1},      {"stock BarCode", 1},     {"card Zkrat", 1},
                                               {"stock Zkrat", 1},       {"card Popis", 1},        {"stock Popis", 2}};
    EXPECT_EQ(FindingCounts(dir.path() / "DATA/AGENDA.001"), hardware);
    for (const auto &[kind, count] : FindingCounts(dir.path() / "DATA/AGENDA.002"))
        EXPECT_GE(count, 1) << kind;
    for (const auto &[kind, count] : FindingCounts(dir.path() / "DATA/AGENDA.003"))
        EXPECT_EQ(count, 0) << kind;
}

TEST(Demo, RefusesANonEmptyDirectory) {
    TempDir dir;
    fs::create_directory(dir.path() / "DATA");
    WriteBytes(dir.file("DATA/mine.txt"), "mine");
    const auto result = RunCli({"demo", dir.file("DATA")});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("existuje a není prázdná"), std::string::npos) << result.err;
    EXPECT_EQ(Listing(dir.path() / "DATA"), (std::vector<std::string>{"mine.txt"}));
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"DATA"}));
    EXPECT_EQ(RunCli({"demo"}).status, 2);
}

class Generate : public ::testing::Test {
protected:
    CliResult generate(const std::string &name, const std::string &seed) {
        return RunCli(
            {"generate", dir.file(name), "--cards", "3000", "--stock", "8000", "--warehouses", "3", "--seed", seed});
    }
    TempDir dir;
};

TEST_F(Generate, ASmallShareOfFindingsOfEveryKind) {
    const auto result = generate("AGENDA.900", "7");
    ASSERT_EQ(result.status, 0) << result.err;
    const fs::path agenda = dir.path() / "AGENDA.900";
    TBFTable stock;
    ASSERT_EQ(stock.OpenTable(Variant::text((agenda / "SKSEZZAS").string())), 0);
    EXPECT_EQ(stock.RecordCount(), 8000);
    // The indexes, dropped while appending, are back.
    for (const char *index : {"Cislo", "Popis", "Sklad+Cislo", "Sklad+UzivCode", "Sklad+Katalog", "Sklad+BarCode",
                              "Sklad+Zkrat", "Sklad+Popis"})
        EXPECT_EQ(stock.SetIndex(index), 0) << index;
    stock.CloseTable();
    TBFTable cards;
    ASSERT_EQ(cards.OpenTable(Variant::text((agenda / "SKKMKART").string())), 0);
    EXPECT_EQ(cards.RecordCount(), 3000);
    for (const char *index : {"Cislo", "UzivCode", "Katalog", "BarCode", "Zkrat", "Popis"})
        EXPECT_EQ(cards.SetIndex(index), 0) << index;
    cards.CloseTable();

    for (const auto &[kind, count] : FindingCounts(agenda)) {
        const long records = kind.rfind("card", 0) == 0 || kind == "undescribed cards" ? 3000 : 8000;
        EXPECT_GE(count, 1) << kind;
        EXPECT_LE(count * 100, records * 5) << kind << ": more than 5 % of the records";
    }
    EXPECT_FALSE(BusinessName(agenda).empty());
}

// The summary counts changes, and says so: "check" finds more, since a copy makes two records alike.
TEST_F(Generate, TheSummaryCountsChangesNotFindings) {
    const auto result = generate("AGENDA.900", "7");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Počty jsou počty změn, ne nálezů, které hlásí\n\"check\""), std::string::npos)
        << result.out;
    std::map<std::string, long> changes;
    for (const auto &line : SplitLines(result.out))
        if (line.rfind("  ", 0) == 0)
            changes[line.substr(line.find(' ', 2) + 1)] = std::stol(line.substr(2));
    const auto findings = FindingCounts(dir.path() / "AGENDA.900");
    ASSERT_EQ(changes.size(), 15u) << result.out;
    // A description taken away is one finding; what stock items repeat of their cards, the cards a
    // repeated number leaves out and the empty descriptions alike are findings beyond the changes.
    EXPECT_EQ(changes.at("kmenové karty bez popisu"), findings.at("undescribed cards"));
    EXPECT_GT(findings.at("stock UzivCode"), changes.at("duplicitní PLU skladových zásob"));
    EXPECT_GT(findings.at("card Popis"), changes.at("duplicitní popisy kmenových karet"));
    EXPECT_GT(findings.at("missing cards"), changes.at("skladové zásoby bez kmenové karty"));
}

TEST_F(Generate, TheSeedDecides) {
    ASSERT_EQ(generate("A", "7").status, 0);
    ASSERT_EQ(generate("B", "7").status, 0);
    ASSERT_EQ(generate("C", "8").status, 0);
    EXPECT_EQ(Content(dir.path() / "A"), Content(dir.path() / "B"));
    EXPECT_NE(Content(dir.path() / "A"), Content(dir.path() / "C"));
}

TEST_F(Generate, WrongArguments) {
    const std::vector<std::vector<std::string>> wrong = {
        {"generate", dir.file("A"), "--stock", "10"},
        {"generate", dir.file("A"), "--cards", "10"},
        {"generate", dir.file("A"), "--cards", "10", "--stock", "31"}, // more than 10 cards in 3 warehouses
        {"generate", dir.file("A"), "--cards", "ten", "--stock", "1"},
        {"generate", dir.file("A"), "--cards", "-1", "--stock", "0"},
        {"generate", dir.file("A"), "--cards", "10", "--stock", "1", "--warehouses", "0"},
        {"generate", "--cards", "10", "--stock", "1"}};
    for (const auto &args : wrong)
        EXPECT_EQ(RunCli(args).status, 2) << args.size();
    const auto tooMany = RunCli({"generate", dir.file("A"), "--cards", "10", "--stock", "31"});
    EXPECT_NE(tooMany.err.find("zadejte --warehouses 4 nebo víc"), std::string::npos) << tooMany.err;
    EXPECT_TRUE(Listing(dir.path()).empty());
    EXPECT_EQ(RunCli({"generate", dir.file("A"), "--cards", "10", "--stock", "30"}).status, 0);
}

} // namespace
