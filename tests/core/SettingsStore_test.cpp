#include "TempDir.h"
#include "TestScopes.h"

#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/TableFiles.h"

#include <filesystem>

#include <gtest/gtest.h>

using namespace vrelmont;
using vrelmont::test::EngineFactoryScope;
using vrelmont::test::FailingEngineFactory;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;

namespace {

const std::string kSection = "Údaje o firmě";
const std::string kKey = "Název-obchodní";

int recordCount(const std::string &datPath) {
    TBFTable table;
    EXPECT_EQ(table.OpenTable(Variant::text(datPath)), 0);
    return table.RecordCount();
}

TEST(SettingsStoreForm, TheTableWinsWheneverTheDatFileExists) {
    TempDir dir;
    WriteBytes(dir.file("AGENDA.INI"), "\xEF\xBB\xBF[Údaje o firmě]\nNázev-obchodní=z INI\n");
    {
        TS3IniFile store(dir.file("AGENDA.INI"));
        EXPECT_EQ(store.form(), TS3IniFile::Form::IniForm);
        EXPECT_EQ(store.GetText(kSection, kKey, ""), "z INI");
    }
    CreateTableFile(dir.file("AGENDA.DAT"), SettingsTable());
    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_EQ(store.form(), TS3IniFile::Form::TableForm);
    EXPECT_EQ(store.tablePath(), dir.file("AGENDA.DAT"));
    EXPECT_EQ(store.GetText(kSection, kKey, "default"), "default");
}

TEST(SettingsStoreForm, TablePathBesideTheIniName) {
    EXPECT_EQ(SettingsTablePathFor("/a/AGENDA.INI"), "/a/AGENDA.DAT");
    EXPECT_EQ(SettingsTablePathFor("/a/AGENDA"), "/a/AGENDA.DAT");
    EXPECT_EQ(SettingsTablePathFor("/a.b/AGENDA"), "/a.b/AGENDA.DAT");
}

TEST(SettingsStoreTable, WritingAppendsOnceThenUpdates) {
    TempDir dir;
    CreateTableFile(dir.file("AGENDA.DAT"), SettingsTable());
    {
        TS3IniFile store(dir.file("AGENDA.INI"));
        store.PutText(kSection, kKey, "Dřevo a.s.");
        store.PutText(kSection, kKey, "Dřevo s.r.o.");
        store.PutInt("Čísla", "počet", 12);
        EXPECT_EQ(store.GetText(kSection, kKey, ""), "Dřevo s.r.o.");
        EXPECT_EQ(store.GetInt("Čísla", "počet", 0), 12);
    }
    EXPECT_EQ(recordCount(dir.file("AGENDA.DAT")), 2);
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(dir.file("AGENDA.DAT"))), 0);
    ASSERT_EQ(table.SetIndex("Section1+Variable"), 0);
    ASSERT_EQ(table.SeekKeyPair(Variant::text(kSection), Variant::text(kKey)), kAnswerFound);
    EXPECT_EQ(table.Value("TypeVar").toText(), "");
    EXPECT_EQ(table.Value("Value").kind(), VariantKind::Text);
    ASSERT_EQ(table.SeekKeyPair(Variant::text("Čísla"), Variant::text("počet")), kAnswerFound);
    EXPECT_EQ(table.Value("Value").kind(), VariantKind::Int32) << "stored with the kind written";
}

TEST(SettingsStoreTable, ReadsConvertAndFallBackToTheirDefaults) {
    TempDir dir;
    CreateTableFile(dir.file("AGENDA.DAT"), SettingsTable());
    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_DOUBLE_EQ(store.GetFloat("S", "f", 1.5), 1.5) << "empty table: default without seeking";
    store.PutText("S", "text", "abc");
    store.PutFlag("S", "flag", true);
    store.PutDateTime("S", "when", 45000.75);
    store.PutFloat("S", "f", 0.125);
    EXPECT_EQ(store.GetInt("S", "text", 9), 9) << "a text that is no number";
    EXPECT_TRUE(store.GetFlag("S", "flag", false));
    EXPECT_DOUBLE_EQ(store.GetTime("S", "when", 0), 45000.75) << "a time read gives the whole number";
    EXPECT_DOUBLE_EQ(store.GetDate("S", "when", 0), 45000.75);
    EXPECT_DOUBLE_EQ(store.GetFloat("S", "f", 0), 0.125);
    EXPECT_EQ(store.GetText("s", "TEXT", "d"), "d") << "section and key reach the engine unchanged";
    store.RemoveKey("S", "text");
    EXPECT_EQ(store.GetText("S", "text", "gone"), "gone");

    std::vector<std::string> list{"kept"};
    store.ListSections(list);
    store.ListKeys("S", list);
    store.ListSectionPairs("S", list);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    unsigned char buffer[4];
    EXPECT_EQ(store.GetBytes("S", "f", buffer, sizeof buffer), 0u);
}

TEST(SettingsStoreTable, AnUnreadableTableGivesDefaultsAndIgnoresWrites) {
    TempDir dir;
    WriteBytes(dir.file("AGENDA.DAT"), "garbage, not a table");
    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_EQ(store.form(), TS3IniFile::Form::TableForm);
    EXPECT_EQ(store.GetText(kSection, kKey, "def"), "def");
    store.PutText(kSection, kKey, "x");
    store.RemoveKey(kSection, kKey);
    EXPECT_EQ(ReadBytes(dir.file("AGENDA.DAT")), "garbage, not a table");
}

TEST(SettingsStoreDiagnostics, TheDroppedFailuresKeepTheirReason) {
    TempDir dir;
    WriteBytes(dir.file("AGENDA.DAT"), "garbage, not a table");
    TS3IniFile store(dir.file("AGENDA.INI"));
    const std::string afterOpen = store.lastError();
    EXPECT_NE(afterOpen.find(dir.file("AGENDA.DAT")), std::string::npos) << afterOpen;
    EXPECT_NE(afterOpen.find("SetIndex Section1+Variable: "), std::string::npos) << afterOpen;
    EXPECT_NE(afterOpen.find("(OpenTable: "), std::string::npos) << "the cause stays with it: " << afterOpen;

    EXPECT_EQ(store.GetText(kSection, kKey, "def"), "def");
    EXPECT_NE(store.lastError().find("read [Údaje o firmě] Název-obchodní: "), std::string::npos) << store.lastError();
    store.PutText("S", "k", "x");
    EXPECT_NE(store.lastError().find("write [S] k: "), std::string::npos) << store.lastError();
    store.RemoveKey("S", "gone");
    EXPECT_NE(store.lastError().find("remove [S] gone: "), std::string::npos) << store.lastError();
}

TEST(SettingsStoreDiagnostics, ATableThatDoesNotOpenIsNamedWithTheEnginesReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("AGENDA.DAT")); // exists, but is no file
    TBFTable probe;
    ASSERT_NE(probe.OpenTable(Variant::text(dir.file("AGENDA.DAT"))), 0);
    const std::string reason = probe.lastOpenError();
    ASSERT_FALSE(reason.empty());

    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_EQ(store.form(), TS3IniFile::Form::TableForm);
    EXPECT_EQ(store.GetText(kSection, kKey, "def"), "def");
    EXPECT_NE(store.lastError().find("(OpenTable: " + reason + ")"), std::string::npos) << store.lastError();
}

TEST(SettingsStoreDiagnostics, ATableWithoutItsIndexSaysSo) {
    TempDir dir;
    TableDef unindexed = SettingsTable();
    unindexed.indexes.clear();
    CreateTableFile(dir.file("AGENDA.DAT"), unindexed);
    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_NE(store.lastError().find("SetIndex Section1+Variable: answer 2"), std::string::npos) << store.lastError();
    EXPECT_EQ(store.GetText(kSection, kKey, "def"), "def");
}

TEST(SettingsStoreDiagnostics, AValueOfAnotherKindIsAReasonAMissingKeyIsNot) {
    TempDir dir;
    CreateTableFile(dir.file("AGENDA.DAT"), SettingsTable());
    TS3IniFile store(dir.file("AGENDA.INI"));
    store.PutText("S", "text", "abc");
    EXPECT_EQ(store.GetText("S", "missing", "d"), "d");
    EXPECT_DOUBLE_EQ(store.GetFloat("S", "missing", 2.5), 2.5);
    EXPECT_EQ(store.lastError(), "") << "working writes and absent keys are no failure";

    EXPECT_EQ(store.GetInt("S", "text", 9), 9);
    EXPECT_NE(store.lastError().find("read [S] text: "), std::string::npos) << store.lastError();
    EXPECT_GT(store.lastError().size(), store.lastError().find("text: ") + 6) << "the conversion's own words follow";
}

TEST(SettingsStoreDiagnostics, TheIniFormDropsNothingAndThrowsItsFailures) {
    TempDir dir;
    TS3IniFile store(dir.file("AGENDA.INI"));
    EXPECT_EQ(store.GetInt("S", "missing", 4), 4);
    EXPECT_THROW(store.PutText("S", "k", "two\nlines"), IniValueError);
    EXPECT_EQ(store.lastError(), "");
}

TEST(SettingsStoreTable, AnEngineThatCannotStartReachesTheCreator) {
    TempDir dir;
    CreateTableFile(dir.file("AGENDA.DAT"), SettingsTable());
    EngineFactoryScope failingEngine(FailingEngineFactory("Server nelze spustit"));
    EXPECT_THROW(TS3IniFile store(dir.file("AGENDA.INI")), EngineError);
    // Without the table the engine is not needed at all.
    EXPECT_NO_THROW(TS3IniFile store(dir.file("OTHER.INI")));
}

TEST(SettingsStoreIni, BehavesAsThePlainFileButReadsTimeWithItsDate) {
    TempDir dir;
    TS3IniFile store(dir.file("AGENDA.INI"));
    store.PutDateTime("S", "when", 45000.5);
    EXPECT_DOUBLE_EQ(store.GetTime("S", "when", 0), 45000.5);
    EXPECT_DOUBLE_EQ(IniFile(dir.file("AGENDA.INI")).GetTime("S", "when", 0), 0.5);
    std::vector<std::string> list{"stale"};
    store.ListSections(list);
    EXPECT_EQ(list, std::vector<std::string>{"S"});
}

} // namespace
