#include "TempDir.h"
#include "TestScopes.h"

#include "engine/TBFTable.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/ReadOnlyVfs.h"
#include "tablefiles/TableFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace vrelmont;
using vrelmont::test::kReadOnlyDir;
using vrelmont::test::kReadOnlyFile;
using vrelmont::test::PermissionScope;
using vrelmont::test::Promptly;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;

namespace {

std::map<std::string, std::string> snapshot(const std::filesystem::path &dir) {
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? ReadBytes(entry.path().string()) : std::string("(no file)");
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

void setWriteAheadLog(const std::string &table) {
    sqlite3 *db = nullptr;
    sqlite3_open(table.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// What may stand beside a table: the table is read, or refused with a reason that names the file
// at fault; nothing waits, and nothing in the directory is made, changed or removed (SQLite itself
// would remove a log beside an empty file, and open a FIFO for ever).
TEST(ReadOnlyGuarantee, WhatStandsBesideATableIsLeftAsItWas) {
    const struct {
        const char *what;
        std::function<void(const std::string &table)> make;
        std::string reason; // empty: the table is read
    } cases[] = {
        {"an empty table file with a log",
         [](const std::string &table) {
             std::filesystem::resize_file(table, 0);
             WriteBytes(table + "-wal", std::string(4096, 'w'));
         },
         "soubor je prázdný a změny tabulky jsou jen v souboru "},
        {"an empty log without its shared memory",
         [](const std::string &table) {
             setWriteAheadLog(table);
             WriteBytes(table + "-wal", "");
         },
         ""},
#ifndef _WIN32
        {"a FIFO as the rollback journal",
         [](const std::string &table) { ASSERT_EQ(::mkfifo((table + "-journal").c_str(), 0644), 0); },
         "-journal vedle tabulky nelze číst: není to soubor, ale roura (FIFO)"},
        {"a FIFO as the shared memory of a log",
         [](const std::string &table) {
             setWriteAheadLog(table);
             WriteBytes(table + "-wal", std::string(4096, 'w'));
             ASSERT_EQ(::mkfifo((table + "-shm").c_str(), 0644), 0);
         },
         "-shm vedle tabulky nelze číst: není to soubor, ale roura (FIFO)"},
#endif
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fill(dir.dir());
        c.make(dir.file("SKSEZZAS.DAT"));
        const auto before = snapshot(dir.path());
        TBFTable stock;
        const auto opened = Promptly([&] { return stock.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")); });
        if (c.reason.empty()) {
            EXPECT_EQ(opened, 0) << stock.lastOpenError();
            EXPECT_EQ(stock.RecordCount(), 50);
        } else {
            EXPECT_NE(opened, 0);
            EXPECT_NE(stock.lastOpenError().find(c.reason), std::string::npos) << stock.lastOpenError();
        }
        stock.CloseTable();
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

// SQLite's own file layer stops at about 500 bytes: an agenda up to there is read, and a longer path
// is told as such, with the limit, not as a missing or unopenable file.
TEST(ReadOnlyGuarantee, DeepPathsAreReadAndTooLongOnesAreNamed) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders stop at 260 characters, before SQLite's limit";
#endif
    TempDir dir;
    std::string deep = dir.dir();
    const auto limit = static_cast<std::size_t>(ReadOnlyVfsMaxPath());
    while (deep.size() + 101 + std::string("SKSEZZAS.DAT").size() <= limit)
        deep += std::string(100, 'd') + vrelmont::kDirSeparator;
    deep += std::string(limit - deep.size() - std::string("/SKSEZZAS.DAT").size(), 'e') + vrelmont::kDirSeparator;
    std::filesystem::create_directories(deep);
    fill(deep);
    readLikeTheChecks(deep);
    TBFTable stock;
    const std::string tooLong = deep + "x" + vrelmont::kDirSeparator;
    std::filesystem::create_directories(tooLong);
    std::filesystem::copy_file(deep + "SKSEZZAS.DAT", tooLong + "SKSEZZAS.DAT");
    EXPECT_NE(stock.OpenTable(Variant::text(tooLong + "SKSEZZAS")), 0);
    EXPECT_EQ(stock.lastOpenError(), tooLong + "SKSEZZAS.DAT: cesta k souboru je příliš dlouhá (" +
                                         std::to_string(limit + 2) + " bajtů, nejvýše " + std::to_string(limit) + ")");
}

} // namespace
