// vrelmont-cli create-agenda: empty tables with every index the checks select, and the business name.
#include "DataToolsRun.h"
#include "TempDir.h"

#include "engine/TBFTable.h"
#include "settings/TS3IniFile.h"

#include <gtest/gtest.h>

using namespace vrelmont;
using namespace vrelmont::test;
namespace fs = std::filesystem;

namespace {

const std::string kName = "Železářství Novák s.r.o.";

std::string BusinessName(const fs::path &agenda) {
    TS3IniFile settings((agenda / "AGENDA.INI").string());
    return settings.GetText("Údaje o firmě", "Název-obchodní", "<none>");
}

void ExpectEmptyTableWithIndexes(const fs::path &file, const std::vector<std::string> &indexes) {
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(file.string())), 0) << file;
    EXPECT_EQ(table.RecordCount(), 0) << file;
    for (const auto &index : indexes)
        EXPECT_EQ(table.SetIndex(index), 0) << file << " " << index;
    table.CloseTable();
}

void ExpectAgendaTables(const fs::path &agenda) {
    ExpectEmptyTableWithIndexes(agenda / "SKKMKART.DAT", {"Cislo", "UzivCode", "Katalog", "BarCode", "Zkrat", "Popis"});
    ExpectEmptyTableWithIndexes(agenda / "SKSEZZAS.DAT",
                                {"Cislo", "Popis", "Sklad+Cislo", "Sklad+UzivCode", "Sklad+Katalog", "Sklad+BarCode",
                                 "Sklad+Zkrat", "Sklad+Popis"});
}

TEST(CreateAgenda, IniSettingsByDefault) {
    TempDir dir;
    const fs::path agenda = dir.path() / "AGENDA.001";
    const auto result = RunCli({"create-agenda", agenda.string(), "--name", kName});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Listing(agenda), (std::vector<std::string>{"AGENDA.INI", "SKKMKART.DAT", "SKSEZZAS.DAT"}));
    EXPECT_EQ(BusinessName(agenda), kName);
    ExpectAgendaTables(agenda);
    // Nothing of the build is left beside the agenda.
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"AGENDA.001"}));
}

TEST(CreateAgenda, SettingsTable) {
    TempDir dir;
    const fs::path agenda = dir.path() / "AGENDA.002";
    const auto result = RunCli({"create-agenda", agenda.string(), "--settings", "dat", "--name=" + kName});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Listing(agenda), (std::vector<std::string>{"AGENDA.DAT", "SKKMKART.DAT", "SKSEZZAS.DAT"}));
    {
        TS3IniFile settings((agenda / "AGENDA.INI").string());
        EXPECT_EQ(settings.form(), TS3IniFile::Form::TableForm);
    }
    EXPECT_EQ(BusinessName(agenda), kName);
    ExpectAgendaTables(agenda);
}

TEST(CreateAgenda, AnExistingEmptyDirectoryIsFilled) {
    TempDir dir;
    fs::create_directory(dir.path() / "AGENDA.001");
    const auto result = RunCli({"create-agenda", dir.file("AGENDA.001") + "/", "--name", kName});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(BusinessName(dir.path() / "AGENDA.001"), kName);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"AGENDA.001"}));
}

TEST(CreateAgenda, RefusesANonEmptyDirectoryAndLeavesItAlone) {
    TempDir dir;
    fs::create_directory(dir.path() / "AGENDA.001");
    WriteBytes(dir.file("AGENDA.001/notes.txt"), "keep me");
    const auto result = RunCli({"create-agenda", dir.file("AGENDA.001"), "--name", kName});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("AGENDA.001 existuje a není prázdná"), std::string::npos) << result.err;
    EXPECT_EQ(Listing(dir.path() / "AGENDA.001"), (std::vector<std::string>{"notes.txt"}));
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"AGENDA.001"}));

    WriteBytes(dir.file("AGENDA.002"), "a file");
    EXPECT_EQ(RunCli({"create-agenda", dir.file("AGENDA.002"), "--name", kName}).status, 3);
    EXPECT_EQ(ReadBytes(dir.file("AGENDA.002")), "a file");
}

// A name that a line of an INI file cannot hold fails, and no agenda is left half made.
TEST(CreateAgenda, ANameTheIniFileCannotHoldLeavesNothing) {
    TempDir dir;
    const std::string twoLines = "Novák\n[Jiná sekce]";
    const auto result = RunCli({"create-agenda", dir.file("AGENDA.001"), "--name", twoLines});
    EXPECT_EQ(result.status, 3);
    EXPECT_FALSE(result.err.empty());
    EXPECT_TRUE(Listing(dir.path()).empty());

    // The settings table holds any text.
    ASSERT_EQ(RunCli({"create-agenda", dir.file("AGENDA.002"), "--name", twoLines, "--settings", "dat"}).status, 0);
    EXPECT_EQ(BusinessName(dir.path() / "AGENDA.002"), twoLines);
}

// Beyond windows-1250 the INI file is written as UTF-8; the name still reads back unchanged.
TEST(CreateAgenda, NamesBeyondWindows1250) {
    TempDir dir;
    ASSERT_EQ(RunCli({"create-agenda", dir.file("AGENDA.001"), "--name", "Ресторан Прага"}).status, 0);
    EXPECT_EQ(BusinessName(dir.path() / "AGENDA.001"), "Ресторан Прага");
}

TEST(CreateAgenda, Usage) {
    TempDir dir;
    const auto help = RunCli({"create-agenda", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: vrelmont-cli create-agenda DIR --name NAME", 0), 0u) << help.out;

    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"create-agenda", dir.file("A")},
                                               {"create-agenda", "--name", "X"},
                                               {"create-agenda", dir.file("A"), dir.file("B"), "--name", "X"},
                                               {"create-agenda", dir.file("A"), "--name", ""},
                                               {"create-agenda", dir.file("A"), "--name", "X", "--settings", "xml"},
                                               {"create-agenda", dir.file("A"), "--name", "X", "--name", "Y"},
                                               {"create-agenda", dir.file("A"), "--name", "X", "--colour", "red"},
                                               {"create-agenda", dir.file("A"), "--name"}}) {
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_NE(result.err.find("vrelmont-cli create-agenda: "), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_TRUE(Listing(dir.path()).empty());
}

TEST(Cli, OverviewAndUnknownCommand) {
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *command : {"check", "create-agenda", "import", "demo", "generate"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(RunCli({}).status, 2);
    const auto unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("neznámý příkaz \"frobnicate\""), std::string::npos);
}

} // namespace
