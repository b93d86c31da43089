#include "TempDir.h"
#include "TestScopes.h"

#include "hostdb/TBFTable.h"
#include "hostdb/TS3IniFile.h"
#include "hostdb/TableFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <vector>

using namespace vrelmont;
using vrelmont::test::kReadOnlyDir;
using vrelmont::test::kReadOnlyFile;
using vrelmont::test::PermissionScope;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;

namespace {

std::map<std::string, std::string> snapshot(const std::filesystem::path &dir) {
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
}

void fill(const std::string &dir) {
    CreateTableFile(TableFilePath(dir, "SKSEZZAS"), StockItemsTable());
    CreateTableFile(TableFilePath(dir, "SKKMKART"), MasterCardsTable());
    CreateTableFile(TableFilePath(dir, "AGENDA"), SettingsTable());
    TBFTable stock, cards;
    ASSERT_EQ(stock.OpenTable(Variant::text(dir + "SKSEZZAS")), 0);
    ASSERT_EQ(cards.OpenTable(Variant::text(dir + "SKKMKART")), 0);
    for (int i = 0; i < 50; ++i) {
        stock.AppendRecord();
        stock.SetValue("Sklad", Variant::int32(i % 3));
        stock.SetValue("Cislo", Variant::int32(i / 2));
        stock.SetValue("Popis", Variant::text(i % 7 ? "zboží" : ""));
        stock.PostRecord();
        cards.AppendRecord();
        cards.SetValue("Cislo", Variant::int32(i));
        cards.PostRecord();
    }
    TS3IniFile(dir + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", "Firma");
}

// Everything the checks and the agenda listing do with an agenda.
void readLikeTheChecks(const std::string &dir) {
    EXPECT_EQ(TS3IniFile(dir + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", ""), "Firma");
    TBFTable stock, cards;
    ASSERT_EQ(stock.OpenTable(Variant::text(dir + "SKSEZZAS")), 0);
    ASSERT_EQ(cards.OpenTable(Variant::text(dir + "SKKMKART")), 0);
    ASSERT_EQ(cards.SetIndex("Cislo"), 0);
    for (const char *index : {"Sklad+Cislo", "Cislo", "Popis", "Sklad+Popis"}) {
        ASSERT_EQ(stock.SetIndex(index), 0);
        ASSERT_EQ(stock.RecordCount(), 50);
        stock.GoTop();
        int walked = 1;
        do {
            stock.Value("Popis").toText();
            cards.SeekKey(Variant::int32(stock.Value("Cislo").toInt32()));
        } while (stock.MoveNext() != kAnswerNoFurtherRecord && ++walked);
        EXPECT_EQ(walked, 50);
    }
    stock.CloseTable();
    cards.CloseTable();
}

TEST(ReadOnlyGuarantee, ReadingChangesNoByteAndCreatesNoFile) {
    TempDir dir;
    fill(dir.dir());
    const auto before = snapshot(dir.path());
    readLikeTheChecks(dir.dir());
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(ReadOnlyGuarantee, AReadOnlyDirectoryAndReadOnlyFilesCanBeRead) {
    TempDir dir;
    fill(dir.dir());
    std::vector<std::unique_ptr<PermissionScope>> readOnlyFiles;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
        readOnlyFiles.push_back(std::make_unique<PermissionScope>(entry.path(), kReadOnlyFile));
    PermissionScope readOnlyDir(dir.path(), kReadOnlyDir);
    const auto before = snapshot(dir.path());
    readLikeTheChecks(dir.dir());
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(ReadOnlyGuarantee, AWriteAheadLogTableIsReadWithoutItsSideFiles) {
    TempDir dir;
    fill(dir.dir());
    sqlite3 *db = nullptr;
    sqlite3_open(dir.file("SKSEZZAS.DAT").c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const auto before = snapshot(dir.path());
    ASSERT_EQ(before.count("SKSEZZAS.DAT-wal"), 0u);
    readLikeTheChecks(dir.dir());
    EXPECT_EQ(snapshot(dir.path()), before);
}

} // namespace
