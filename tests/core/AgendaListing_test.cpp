#include "TempDir.h"
#include "TestScopes.h"

#include "engine/Engine.h"
#include "engine/EngineError.h"
#include "ini/IniFile.h"
#include "location/AgendaListing.h"
#include "location/AgendaPattern.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/TableFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace vrelmont;
using vrelmont::test::EngineFactoryScope;
using vrelmont::test::FailingEngineFactory;
using vrelmont::test::Native;
using vrelmont::test::PermissionScope;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

const char *const kSection = "Údaje o firmě";
const char *const kKey = "Název-obchodní";

void WriteIniName(const fs::path &agendaDir, const std::string &name) {
    IniFile(agendaDir.string() + "/AGENDA.INI").PutText(kSection, kKey, name);
}

void WriteTableName(const fs::path &agendaDir, const std::string &name) {
    CreateTableFile(agendaDir.string() + "/AGENDA.DAT", SettingsTable());
    TS3IniFile(agendaDir.string() + "/AGENDA.INI").PutText(kSection, kKey, name);
}

class FailingEngineScope : public EngineFactoryScope {
public:
    FailingEngineScope() : EngineFactoryScope(FailingEngineFactory("Třída není registrována")) {}
};

TEST(AgendaPattern, AgendaAloneOrWithAnyExtensionCaseIgnored) {
    for (const char *name : {"AGENDA.001", "agenda.002", "Agenda.TXT", "AGENDA", "agenda", "AGENDA.", "AGENDA.a.b"})
        EXPECT_TRUE(MatchesAgendaPattern(name)) << name;
    for (const char *name : {"AGENDAX", "AGENDA_1", "AGENDA 1", "AGEND", "XAGENDA.001", ".AGENDA.001", ""})
        EXPECT_FALSE(MatchesAgendaPattern(name)) << name;
}

TEST(AgendaDirs, MatchingDirectoriesAndFilesInNameOrder) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a FIFO, which Windows does not have";
#endif
    TempDir root;
    for (const char *dir : {"AGENDA.003", "AGENDA.001", "agenda.002", "AGENDA", "AGENDAX", "Data", ".AGENDA.004"})
        fs::create_directory(root.path() / dir);
    WriteBytes(root.file("AGENDA.TXT"), "plain file");
    WriteBytes(root.file("readme.txt"), "x");
    ASSERT_EQ(::mkfifo(root.file("AGENDA.FIFO").c_str(), 0600), 0) << "neither a directory nor a file";

    const std::vector<std::string> expected{root.dir() + "AGENDA/", root.dir() + "AGENDA.001/",
                                            root.dir() + "agenda.002/", root.dir() + "AGENDA.003/",
                                            root.dir() + "AGENDA.TXT/"};
    EXPECT_EQ(ListAgendaDirs(root.dir()), expected);
}

TEST(AgendaDirs, ManyAgendasComeInNameOrderWhateverTheCreationOrder) {
    TempDir root;
    std::vector<std::string> expected;
    for (int i = 300; i >= 1; --i)
        fs::create_directory(root.path() / ("AGENDA." +
                                            std::string(i < 10    ? "00"
                                                        : i < 100 ? "0"
                                                                  : "") +
                                            std::to_string(i)));
    for (int i = 1; i <= 300; ++i)
        expected.push_back(root.dir() + "AGENDA." +
                           std::string(i < 10    ? "00"
                                       : i < 100 ? "0"
                                                 : "") +
                           std::to_string(i) + kDirSeparator);
    EXPECT_EQ(ListAgendaDirs(root.dir()), expected);
}

TEST(AgendaDirs, NameOrderIgnoresCaseFirstThenComparesBytes) {
    EXPECT_TRUE(NameOrderLess("agenda.001", "AGENDA.002"));
    EXPECT_TRUE(NameOrderLess("AGENDA.abc", "agenda.ABD"));
    EXPECT_TRUE(NameOrderLess("AGENDA", "agenda")) << "equal without case: byte order decides";
    EXPECT_FALSE(NameOrderLess("agenda", "AGENDA"));
    EXPECT_FALSE(NameOrderLess("AGENDA.001", "AGENDA.001"));
    EXPECT_TRUE(NameOrderLess("AGENDA.čaj", "AGENDA.Ďas")) << "Czech capitals fold as well";
    EXPECT_TRUE(NameOrderLess("AGENDA", "AGENDA.001"));
}

TEST(AgendaDirs, HiddenEntriesAreSkipped) {
    TempDir root;
    fs::create_directory(root.path() / "AGENDA.001");
    fs::create_directory(root.path() / ".AGENDA.002");
    WriteBytes(root.file(".agenda"), "x");
    EXPECT_EQ(ListAgendaDirs(root.dir()), std::vector<std::string>{Native(root.dir() + "AGENDA.001/")});
}

TEST(AgendaDirs, MoreThan254EntriesAreAllListed) {
    TempDir root;
    for (int i = 0; i < 260; ++i)
        fs::create_directory(root.path() / ("AGENDA." + std::to_string(1000 + i)));
    const auto paths = ListAgendaDirs(root.dir());
    ASSERT_EQ(paths.size(), 260u);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), 260u);
}

TEST(AgendaDirs, MissingRootGivesNothingAndEmptyRootMeansCurrentDirectory) {
    TempDir root;
    EXPECT_TRUE(ListAgendaDirs(root.dir() + "missing/").empty());
    WriteBytes(root.file("not-a-dir"), "x");
    EXPECT_TRUE(ListAgendaDirs(root.dir() + "not-a-dir/").empty());

    fs::create_directory(root.path() / "AGENDA.001");
    const fs::path previous = fs::current_path();
    fs::current_path(root.path());
    const auto paths = ListAgendaDirs("");
    fs::current_path(previous);
    EXPECT_EQ(paths, std::vector<std::string>{Native("AGENDA.001/")});
}

TEST(AgendaPreselection, ExactPathOrSameLettersInAnyCase) {
    const std::vector<std::string> paths{"/d/AGENDA.001/", "/d/Účetní/AGENDA.002/", "/d/AGENDA.003/"};
    EXPECT_EQ(FindPreselectedRow(paths, "/d/AGENDA.003/"), 2u);
    EXPECT_EQ(FindPreselectedRow(paths, "/d/agenda.001/"), 0u);
    EXPECT_EQ(FindPreselectedRow(paths, "/D/ÚČETNÍ/agenda.002/"), 1u) << "accented letters fold too";
    EXPECT_EQ(FindPreselectedRow(paths, "/d/AGENDA.004/"), std::nullopt);
    EXPECT_EQ(FindPreselectedRow(paths, "/d/AGENDA.001"), std::nullopt) << "no separator appended here";
    EXPECT_EQ(FindPreselectedRow(paths, ""), std::nullopt);
    EXPECT_EQ(FindPreselectedRow({}, "/d/AGENDA.001/"), std::nullopt);
}

TEST(AgendaPreselection, ExactMatchWinsOverACaseVariant) {
    // On a case-sensitive file system these are two different agendas.
    const std::vector<std::string> paths{"/d/AGENDA.001/", "/d/agenda.001/"};
    EXPECT_EQ(FindPreselectedRow(paths, "/d/AGENDA.001/"), 0u);
    EXPECT_EQ(FindPreselectedRow(paths, "/d/agenda.001/"), 1u);
    EXPECT_EQ(FindPreselectedRow(paths, "/d/Agenda.001/"), 1u) << "without an exact match, the last equal one";
}

TEST(AgendaName, FromTheIniFileOrTheSettingsTable) {
    TempDir root;
    const fs::path iniAgenda = root.path() / "AGENDA.001";
    const fs::path tableAgenda = root.path() / "AGENDA.002";
    fs::create_directory(iniAgenda);
    fs::create_directory(tableAgenda);
    WriteIniName(iniAgenda, "Žluťoučký kůň s.r.o.");
    WriteTableName(tableAgenda, "Dřevo a.s.");

    EXPECT_EQ(ReadAgendaName(root.dir() + "AGENDA.001/"), "Žluťoučký kůň s.r.o.");
    EXPECT_EQ(ReadAgendaName(root.dir() + "AGENDA.002/"), "Dřevo a.s.");
}

TEST(AgendaName, EmptyWhenMissingUnreadableOrCorrupt) {
    TempDir root;
    const fs::path noSettings = root.path() / "AGENDA.001";
    const fs::path otherKey = root.path() / "AGENDA.002";
    const fs::path corrupt = root.path() / "AGENDA.003";
    const fs::path emptyTable = root.path() / "AGENDA.004";
    for (const auto &dir : {noSettings, otherKey, corrupt, emptyTable})
        fs::create_directory(dir);
    IniFile(otherKey.string() + "/AGENDA.INI").PutText(kSection, "Název", "Jiný klíč");
    WriteBytes(corrupt.string() + "/AGENDA.DAT", "this is no table file, only some text");
    WriteIniName(corrupt, "ignored: the table form is taken");
    CreateTableFile(emptyTable.string() + "/AGENDA.DAT", SettingsTable());
    const fs::path datIsDirectory = root.path() / "AGENDA.005";
    fs::create_directories(datIsDirectory / "AGENDA.DAT"); // exists, so the table form, but cannot be opened

    EXPECT_EQ(ReadAgendaName(noSettings.string() + "/"), "");
    EXPECT_EQ(ReadAgendaName(otherKey.string() + "/"), "");
    EXPECT_EQ(ReadAgendaName(corrupt.string() + "/"), "");
    EXPECT_EQ(ReadAgendaName(emptyTable.string() + "/"), "");
    EXPECT_EQ(ReadAgendaName(datIsDirectory.string() + "/"), "");
    WriteBytes(root.file("AGENDA.TXT"), "plain");
    EXPECT_EQ(ReadAgendaName(root.dir() + "AGENDA.TXT/"), "") << "a plain file has no settings";
}

TEST(AgendaName, UnreadableSettingsTableGivesEmptyName) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not stop the superuser";
    TempDir root;
    const fs::path agenda = root.path() / "AGENDA.001";
    fs::create_directory(agenda);
    WriteTableName(agenda, "Tajná firma");
    PermissionScope unreadable(agenda / "AGENDA.DAT", fs::perms::none);
    EXPECT_EQ(ReadAgendaName(agenda.string() + "/"), "");
}

TEST(AgendaName, EngineFailureWithASettingsTableIsAnError) {
    TempDir root;
    const fs::path tableAgenda = root.path() / "AGENDA.001";
    const fs::path iniAgenda = root.path() / "AGENDA.002";
    fs::create_directory(tableAgenda);
    fs::create_directory(iniAgenda);
    WriteTableName(tableAgenda, "Firma");
    WriteIniName(iniAgenda, "Firma INI");

    FailingEngineScope failing;
    EXPECT_THROW(ReadAgendaName(tableAgenda.string() + "/"), EngineError);
    EXPECT_EQ(ReadAgendaName(iniAgenda.string() + "/"), "Firma INI") << "the INI form needs no engine";
    EXPECT_THROW(ListAgendas(root.dir(), ""), EngineError);
}

TEST(AgendaListing, NamesFollowPathsAndTheCurrentAgendaIsPreselected) {
    TempDir root;
    for (const char *dir : {"AGENDA.001", "AGENDA.002", "AGENDA.003"})
        fs::create_directory(root.path() / dir);
    WriteIniName(root.path() / "AGENDA.001", "Stejná firma");
    WriteTableName(root.path() / "AGENDA.002", "Stejná firma");
    WriteBytes(root.file("AGENDA.TXT"), "plain");

    const AgendaListing listing = ListAgendas(root.dir(), Native(root.dir() + "agenda.002/"));
    ASSERT_EQ(listing.paths.size(), 4u);
    ASSERT_EQ(listing.names.size(), 4u);
    for (std::size_t row = 0; row < listing.paths.size(); ++row) {
        const std::string name = fs::path(listing.paths[row]).parent_path().filename().string();
        const std::string expected = (name == "AGENDA.001" || name == "AGENDA.002") ? "Stejná firma" : "";
        EXPECT_EQ(listing.names[row], expected) << name;
    }
    ASSERT_TRUE(listing.preselectedRow.has_value());
    EXPECT_EQ(listing.paths[*listing.preselectedRow], Native(root.dir() + "AGENDA.002/"));

    EXPECT_FALSE(ListAgendas(root.dir(), "").preselectedRow.has_value());
}

TEST(AgendaListing, ReadingLeavesTheAgendaFilesAsTheyWere) {
    TempDir root;
    const fs::path agenda = root.path() / "AGENDA.001";
    fs::create_directory(agenda);
    WriteTableName(agenda, "Firma");
    const std::string before = ReadBytes((agenda / "AGENDA.DAT").string());

    ListAgendas(root.dir(), root.dir() + "AGENDA.001/");

    EXPECT_EQ(ReadBytes((agenda / "AGENDA.DAT").string()), before);
    std::vector<std::string> files;
    for (const auto &entry : fs::directory_iterator(agenda))
        files.push_back(entry.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"AGENDA.DAT"}) << "no journal, no lock file, no AGENDA.INI";
}

} // namespace
