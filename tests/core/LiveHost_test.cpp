// The checks beside a host that has the tables open: a real sqlite3 process writes to them while
// the checks read, in write-ahead-log mode and with a rollback journal.
#include "SqliteShell.h"
#include "TempDir.h"
#include "TestAgenda.h"
#include "tablefiles/ReadOnlyVfs.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>

using namespace vrelmont;
using namespace vrelmont::testing;
using vrelmont::test::SqliteShell;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

constexpr int kCardNumbers = 3;
const std::string kCardSeven = "Nalezena duplicitní kmenová karta č. 7";

std::vector<std::string> ListingOf(const std::string &dir) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CardsSql(int from, int to) {
    return "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(from) + " UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(to) + ") INSERT INTO SKKMKART (Cislo, Popis) SELECT i, 'karta ' || i FROM n;";
}

class LiveHost : public CheckFixture {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the second process that writes is the sqlite3 shell, which the Windows build has not";
#endif
    }
    // Cards 1..count, each once.
    void cards(int count, const std::string &journalMode) {
        agenda.createCards();
        SqliteShell shell(agenda.tableFile("SKKMKART"));
        ASSERT_TRUE(shell.run("PRAGMA journal_mode=" + journalMode + ";" + CardsSql(1, count))) << shell.output();
        ASSERT_EQ(shell.close(), 0);
    }
    std::string cardsFile() const {
        return agenda.tableFile("SKKMKART");
    }
};

// --- Write-ahead log -------------------------------------------------------------------------------

TEST_F(LiveHost, RecordsCommittedOnlyToTheWriteAheadLogAreSeenAndNoFileIsCreated) {
    cards(20, "WAL");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("PRAGMA wal_autocheckpoint=0; INSERT INTO SKKMKART (Cislo, Popis) VALUES (7, 'druhá');"))
        << writer.output();
    ASSERT_TRUE(fs::file_size(cardsFile() + "-wal") > 0);
    const auto before = ListingOf(agenda.dir());
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_EQ(findings(), Lines{kCardSeven});
    EXPECT_EQ(ListingOf(agenda.dir()), before);
    EXPECT_EQ(writer.close(), 0);
}

TEST_F(LiveHost, ACommitDuringTheWalkIsNotSeenByItAndDoesNotWaitForIt) {
    cards(300, "WAL");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("SELECT count(*) FROM SKKMKART;"));
    bool committed = false;
    host.onEvents = [&](FakeRunHost &) {
        if (committed || isClosed(walkTable))
            return;
        // Two more cards 7 and the first hundred records gone: the walk still sees the state it began with.
        committed =
            writer.run("INSERT INTO SKKMKART (Cislo) VALUES (7), (7); DELETE FROM SKKMKART WHERE Cislo > 200;", 5);
    };
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_TRUE(committed) << writer.output();
    EXPECT_TRUE(findings().empty());
    host.onEvents = nullptr;
    host.lines.clear();
    EXPECT_TRUE(run(kCardNumbers));
    EXPECT_EQ(findings(), (Lines{kCardSeven, kCardSeven}));
}

// A writer that commits again and again, enough to move records from the log into the file
// (checkpoints) while the checks read: every run sees a whole state, never a torn one.
TEST_F(LiveHost, RunsBesideAWriterThatKeepsCommittingSeeWholeStates) {
    cards(2000, "WAL");
    agenda.execSql("SKKMKART", "INSERT INTO SKKMKART (Cislo) VALUES (7)");
    SqliteShell writer(cardsFile());
    std::string batch;
    for (int i = 0; i < 150; ++i)
        batch += "BEGIN; DELETE FROM SKKMKART WHERE Cislo > 10000; " + CardsSql(10001, 10400) +
                 " UPDATE SKKMKART SET Popis = Popis || 'x' WHERE Cislo % 7 = " + std::to_string(i % 7) + "; COMMIT;\n";
    writer.send(batch + "SELECT 'writer-finished';\n");
    int runs = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (writer.output().find("writer-finished") == std::string::npos && std::chrono::steady_clock::now() < end) {
        host.lines.clear();
        ASSERT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
        ASSERT_EQ(findings(), Lines{kCardSeven});
        ++runs;
        writer.collect();
    }
    EXPECT_GT(runs, 0);
    EXPECT_EQ(writer.output().find("Error"), std::string::npos) << writer.output();
}

TEST_F(LiveHost, ALogWithoutItsSharedMemoryFileIsRefusedNamingBothFiles) {
    cards(10, "WAL");
    {
        SqliteShell writer(cardsFile());
        ASSERT_TRUE(writer.run("PRAGMA wal_autocheckpoint=0; INSERT INTO SKKMKART (Cislo) VALUES (7);"));
        ::kill(writer.pid(), SIGKILL); // leaves its -wal and -shm behind
        writer.close();
    }
    fs::remove(cardsFile() + "-shm");
    const auto before = ListingOf(agenda.dir());
    EXPECT_FALSE(run(kCardNumbers));
    EXPECT_EQ(host.messages, Lines{"Nelze otevřít seznam kmenových karet."});
    EXPECT_NE(walkTable.lastOpenError().find(cardsFile() + "-wal"), std::string::npos) << walkTable.lastOpenError();
    EXPECT_NE(walkTable.lastOpenError().find(cardsFile() + "-shm"), std::string::npos);
    EXPECT_EQ(ListingOf(agenda.dir()), before);
}

TEST_F(LiveHost, ALogLeftByAKilledWriterIsReadThroughItsFiles) {
    cards(10, "WAL");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("PRAGMA wal_autocheckpoint=0; INSERT INTO SKKMKART (Cislo) VALUES (7);"));
    ::kill(writer.pid(), SIGKILL);
    writer.close();
    const auto before = ListingOf(agenda.dir());
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_EQ(findings(), Lines{kCardSeven});
    EXPECT_EQ(ListingOf(agenda.dir()), before);
}

TEST_F(LiveHost, AWriteAheadLogTableThatNobodyHasOpenIsReadWithoutCreatingAFile) {
    cards(10, "WAL");
    agenda.execSql("SKKMKART", "INSERT INTO SKKMKART (Cislo) VALUES (7)");
    const auto before = ListingOf(agenda.dir());
    ASSERT_FALSE(fs::exists(cardsFile() + "-wal"));
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_EQ(findings(), Lines{kCardSeven});
    EXPECT_EQ(ListingOf(agenda.dir()), before);
}

// A table read from its file alone stays so for its whole read transaction, even when a host opens
// it meanwhile: looking at its header (for the record count's change stamp) must not switch the
// reader's guard off while SQLite goes on reading the file alone.
TEST_F(LiveHost, AHeaderLookDuringAReadOfTheFileAloneKeepsItsGuard) {
    cards(10, "WAL");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(("file:" + cardsFile() + "?readonly_shm=1").c_str(), &db,
                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, ReadOnlyVfsName()),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN; SELECT count(*) FROM SKKMKART", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_TRUE(ReadOnlyFileReadWithoutLog(db));
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("INSERT INTO SKKMKART (Cislo) VALUES (7);")) << writer.output();
    ASSERT_TRUE(fs::exists(cardsFile() + "-wal"));
    EXPECT_EQ(TableFileHeader(db).substr(0, 15), "SQLite format 3");
    EXPECT_TRUE(ReadOnlyFileReadWithoutLog(db)) << "the look decided anew in the middle of the transaction";
    sqlite3_close(db);
    EXPECT_EQ(writer.close(), 0);
}

// --- Rollback journal and locks ---------------------------------------------------------------------

TEST_F(LiveHost, AWriteLockHeldForAMomentIsWaitedFor) {
    cards(10, "DELETE");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("BEGIN EXCLUSIVE; INSERT INTO SKKMKART (Cislo) VALUES (7);"));
    writer.send(".system sleep 1\nCOMMIT;\n");
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_EQ(findings(), Lines{kCardSeven});
    EXPECT_EQ(writer.close(), 0);
}

TEST_F(LiveHost, ALockHeldLongerThanTheWaitFailsWithTheLockedTextNamingTheFile) {
    cards(10, "DELETE");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run("BEGIN EXCLUSIVE; INSERT INTO SKKMKART (Cislo) VALUES (7);"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(run(kCardNumbers));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(29));
    EXPECT_EQ(host.messages, Lines{"Nelze otevřít seznam kmenových karet."});
    EXPECT_NE(walkTable.lastOpenError().find(cardsFile()), std::string::npos);
    EXPECT_NE(walkTable.lastOpenError().find("soubor má právě uzamčen jiný program (čekáno 30 s)"), std::string::npos)
        << walkTable.lastOpenError();
}

TEST_F(LiveHost, AHostCommitWaitsForTheWalkThatSeesTheStateItBeganWith) {
    cards(300, "DELETE");
    SqliteShell writer(cardsFile());
    ASSERT_TRUE(writer.run(".timeout 60000"));
    bool sent = false;
    host.onEvents = [&](FakeRunHost &) {
        if (sent || isClosed(walkTable))
            return;
        writer.send("INSERT INTO SKKMKART (Cislo) VALUES (7); SELECT 'host-committed';\n");
        sent = true;
    };
    EXPECT_TRUE(run(kCardNumbers)) << walkTable.lastOpenError();
    EXPECT_TRUE(sent);
    EXPECT_TRUE(findings().empty());
    EXPECT_TRUE(writer.run("", 30)) << writer.output();
    EXPECT_NE(writer.output().find("host-committed"), std::string::npos) << writer.output();
    host.onEvents = nullptr;
    host.lines.clear();
    EXPECT_TRUE(run(kCardNumbers));
    EXPECT_EQ(findings(), Lines{kCardSeven});
}

// A run opens a table check after check and keeps its count while the file stays as it was: a
// commit in between, with either journal, is counted again, also into an empty table.
TEST_F(LiveHost, RecordCountsFollowCommitsBetweenOpens) {
    for (const std::string mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        agenda.createCards();
        SqliteShell writer(cardsFile());
        ASSERT_TRUE(writer.run("PRAGMA journal_mode=" + mode + ";")) << writer.output();
        const auto countNow = [&] {
            EXPECT_EQ(walkTable.OpenTable(Variant::text(cardsFile())), kAnswerDone) << walkTable.lastOpenError();
            const std::int32_t count = walkTable.RecordCount();
            EXPECT_EQ(walkTable.RecordCount(), count);
            walkTable.CloseTable();
            return count;
        };
        EXPECT_EQ(countNow(), 0);
        ASSERT_TRUE(writer.run(CardsSql(1, 5))) << writer.output();
        EXPECT_EQ(countNow(), 5);
        EXPECT_EQ(countNow(), 5);
        ASSERT_TRUE(writer.run("DELETE FROM SKKMKART WHERE Cislo = 3; " + CardsSql(6, 7))) << writer.output();
        EXPECT_EQ(countNow(), 6);
        EXPECT_EQ(writer.close(), 0);
        fs::remove(cardsFile());
    }
}

TEST_F(LiveHost, AHotJournalLeftByAKilledWriterIsNamedWithWhatToDo) {
    cards(10, "DELETE");
    SqliteShell writer(cardsFile());
    // A small cache makes the writer spill its changes into the file before it commits.
    ASSERT_TRUE(writer.run("PRAGMA cache_size=1; BEGIN; " + CardsSql(100, 3000) +
                           " UPDATE SKKMKART SET Popis = printf('%.300c', 'x');"));
    ::kill(writer.pid(), SIGKILL);
    writer.close();
    ASSERT_TRUE(fs::exists(cardsFile() + "-journal"));
    EXPECT_FALSE(run(kCardNumbers));
    EXPECT_NE(walkTable.lastOpenError().find("nedokončený zápis jiného programu (deník " + cardsFile() + "-journal)"),
              std::string::npos)
        << walkTable.lastOpenError();
    EXPECT_NE(walkTable.lastOpenError().find("otevřete tabulku programem, který do ní zapisoval"), std::string::npos);
}

} // namespace
