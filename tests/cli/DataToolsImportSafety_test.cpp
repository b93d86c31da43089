// vrelmont-cli import killed, out of disk or refused: the table stays exactly as it was, nothing is
// left beside it that would stop a check, and the checks read it at once.
#include "DataToolsRun.h"
#include "SqliteShell.h"
#include "TempDir.h"

#include "engine/TBFTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace vrelmont::test;
namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// Starts vrelmont-cli with its output in files, under a file size limit when one is given.
pid_t StartCli(const std::vector<std::string> &args, const TempDir &capture, rlim_t fileSizeLimit = RLIM_INFINITY) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(capture.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(capture.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (fileSizeLimit != RLIM_INFINITY) {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char *> argv{const_cast<char *>(VRELMONT_CLI_PATH)};
        for (const auto &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(VRELMONT_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// The entries of the agenda that a reader could trip over: everything but the hidden copies that a
// later import removes.
std::vector<std::string> VisibleListing(const fs::path &dir) {
    std::vector<std::string> names;
    for (const auto &name : Listing(dir))
        if (name.rfind(".SKSEZZAS.DAT.import-", 0) != 0)
            names.push_back(name);
    return names;
}

bool ChecksReadAtOnce(const fs::path &table) {
    vrelmont::TBFTable reader;
    const bool opened = reader.OpenTable(vrelmont::Variant::text(table.string())) == vrelmont::kAnswerDone &&
                        reader.SetIndex("Sklad+Cislo") == vrelmont::kAnswerDone && reader.RecordCount() >= 1;
    reader.CloseTable();
    return opened;
}
#endif

class ImportSafety : public ::testing::Test {
protected:
    ImportSafety() {
        EXPECT_EQ(RunCli({"create-agenda", agenda(), "--name", "Test"}).status, 0);
        WriteBytes(dir.file("first.csv"), "Sklad,Cislo,Popis\n1,1,první\n1,2,druhý\n");
        EXPECT_EQ(RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")}).status, 0);
        std::string csv = "Sklad,Cislo,Popis,BarCode\n";
        for (int i = 0; i < 60000; ++i)
            csv += "2," + std::to_string(i) + ",Zboží s dlouhým popisem číslo " + std::to_string(i) + ",859" +
                   std::to_string(1000000 + i) + "\n";
        WriteBytes(dir.file("big.csv"), csv);
    }

    std::string agenda() const { return dir.file("AGENDA.001"); }
    fs::path stockFile() const { return fs::path(agenda()) / "SKSEZZAS.DAT"; }

    TempDir dir;
    TempDir capture;
};

TEST_F(ImportSafety, AnImportKilledAtAnyMomentLeavesTheTableAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "kill -9 of a child process is POSIX; on Windows the import appends in place in one transaction";
#else
    const std::string before = ReadBytes(stockFile().string());
    const auto listing = Listing(agenda());
    int killedBeforeTheEnd = 0;
    for (const int delayMs : {0, 5, 20, 50, 100, 150, 200, 300, 400, 600}) {
        const pid_t pid = StartCli({"import", agenda(), "SKSEZZAS", dir.file("big.csv")}, capture);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid, SIGKILL);
        const int status = Wait(pid);
        const std::string after = ReadBytes(stockFile().string());
        if (status == -SIGKILL && after == before)
            ++killedBeforeTheEnd;
        else if (after != before) { // the import had finished: then all of it is there
            EXPECT_EQ(TableRows(stockFile(), "SKSEZZAS").size(), 60002u) << delayMs;
            return;
        }
        EXPECT_EQ(VisibleListing(agenda()), listing) << delayMs;
        EXPECT_TRUE(ChecksReadAtOnce(stockFile())) << delayMs;
    }
    EXPECT_GT(killedBeforeTheEnd, 3);
    // The next import removes the copies that killed ones left behind.
    EXPECT_EQ(RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")}).status, 0);
    EXPECT_EQ(Listing(agenda()), listing);
    EXPECT_EQ(TableRows(stockFile(), "SKSEZZAS").size(), 4u);
#endif
}

TEST_F(ImportSafety, AnImportThatHitsAFullDiskLeavesTheTableAsItWasAndSaysSo) {
#ifdef _WIN32
    GTEST_SKIP() << "the full disk is a POSIX file size limit (RLIMIT_FSIZE), which Windows has not";
#else
    const std::string before = ReadBytes(stockFile().string());
    const auto listing = Listing(agenda());
    // Room for a copy of the table and a little more, not for 60,000 records.
    const pid_t pid = StartCli({"import", agenda(), "SKSEZZAS", dir.file("big.csv")}, capture,
                               static_cast<rlim_t>(before.size() + 16384));
    EXPECT_EQ(Wait(pid), 3);
    const std::string err = ReadBytes(capture.file("err"));
    EXPECT_NE(err.find(stockFile().string()), std::string::npos) << err;
    EXPECT_NE(err.find("disk je plný"), std::string::npos) << err;
    EXPECT_NE(err.find("nic nebylo importováno"), std::string::npos) << err;
    EXPECT_EQ(ReadBytes(stockFile().string()), before);
    EXPECT_EQ(Listing(agenda()), listing);
    EXPECT_TRUE(ChecksReadAtOnce(stockFile()));
#endif
}

TEST_F(ImportSafety, AReadOnlyTableIsNotReplaced) {
    const std::string before = ReadBytes(stockFile().string());
    fs::permissions(stockFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto result = RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("Do souboru " + stockFile().string() + " nelze zapisovat"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(stockFile().string()), before);
    EXPECT_EQ(fs::status(stockFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(ImportSafety, TheNewTableKeepsTheOldOnesPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no group permissions, and there the table is appended to in place";
#else
    fs::permissions(stockFile(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")}).status, 0);
    EXPECT_EQ(fs::status(stockFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
}

TEST_F(ImportSafety, ATableReachedThroughALinkIsReplacedWhereItStands) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and there the table is appended to in place";
#else
    const fs::path real = dir.path() / "elsewhere.DAT";
    fs::rename(stockFile(), real);
    fs::create_symlink(real, stockFile());
    ASSERT_EQ(RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")}).status, 0);
    EXPECT_TRUE(fs::is_symlink(stockFile()));
    EXPECT_EQ(TableRows(real, "SKSEZZAS").size(), 4u);
#endif
}

// A FIFO is read as a stream, with the same all-or-nothing result.
TEST_F(ImportSafety, AFifoIsReadAsAStreamAllOrNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs";
#else
    const std::string fifo = dir.file("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string before = ReadBytes(stockFile().string());
    for (const auto &[csv, status] : {std::pair<std::string, int>{"Sklad,Cislo\n1,3\n1,x\n", 3},
                                      std::pair<std::string, int>{"Sklad,Cislo\n1,3\n1,4\n", 0}}) {
        std::thread feeder([&, csv = csv] { WriteBytes(fifo, csv); });
        const auto result = RunCli({"import", agenda(), "SKSEZZAS", fifo});
        feeder.join();
        EXPECT_EQ(result.status, status) << result.err;
        if (status != 0) {
            EXPECT_EQ(ReadBytes(stockFile().string()), before);
        }
    }
    EXPECT_EQ(TableRows(stockFile(), "SKSEZZAS").size(), 4u);
#endif
}

// A host that is writing holds the import off until its commit, and its record stays.
TEST_F(ImportSafety, AnImportWaitsForAWriterAndKeepsItsRecords) {
#ifdef _WIN32
    GTEST_SKIP() << "the writer is the sqlite3 shell, which the Windows build has not";
#else
    SqliteShell host(stockFile().string());
    ASSERT_TRUE(host.run("BEGIN IMMEDIATE; INSERT INTO SKSEZZAS (Sklad, Cislo) VALUES (9, 9);"));
    host.send(".system sleep 1\nCOMMIT;\n");
    const auto result = RunCli({"import", agenda(), "SKSEZZAS", dir.file("first.csv")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(host.close(), 0);
    EXPECT_EQ(TableRows(stockFile(), "SKSEZZAS").size(), 5u);
#endif
}

// In write-ahead-log mode the records go into the log: a killed import leaves the table file as it
// was and a log that the checks read through.
TEST_F(ImportSafety, AWriteAheadLogTableKilledDuringAnImportIsReadAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "the sqlite3 shell and kill -9 are not there on Windows";
#else
    {
        SqliteShell shell(stockFile().string());
        ASSERT_TRUE(shell.run("PRAGMA journal_mode=WAL;"));
    }
    const std::string before = ReadBytes(stockFile().string());
    const pid_t pid = StartCli({"import", agenda(), "SKSEZZAS", dir.file("big.csv")}, capture);
    for (int i = 0; i < 200 && !fs::exists(stockFile().string() + "-wal"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(pid, SIGKILL);
    if (Wait(pid) != -SIGKILL)
        GTEST_SKIP() << "the import finished before it could be killed";
    EXPECT_EQ(ReadBytes(stockFile().string()), before);
    vrelmont::TBFTable reader;
    if (reader.OpenTable(vrelmont::Variant::text(stockFile().string())) == vrelmont::kAnswerDone) {
        EXPECT_EQ(reader.RecordCount(), 2);
        return;
    }
    // Killed in the middle of writing its log: only a writer may set it right, and the reader says so
    // instead of reading a torn state.
    EXPECT_NE(reader.lastOpenError().find("nedokončený zápis jiného programu"), std::string::npos)
        << reader.lastOpenError();
    EXPECT_NE(reader.lastOpenError().find("SKSEZZAS.DAT-wal"), std::string::npos) << reader.lastOpenError();
#endif
}

} // namespace
