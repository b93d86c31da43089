// A check's shared lock on its table lasts from the open to the close, whatever else the process
// does with the same table meanwhile: POSIX record locks belong to the process, so one stray open
// and close of the file from another thread would drop the lock, and a host could commit under the
// reading check. Asked of the system from a child process: a process is never told of its own locks.
#include "SqliteShell.h"
#include "TestAgenda.h"

#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "platform/FileAccess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vrelmont;
using namespace vrelmont::testing;
using vrelmont::test::SqliteShell;

namespace {

// Whether this process holds a lock on the bytes SQLite's readers lock (its shared-lock range).
bool ThisProcessHoldsTheSharedLock(const std::string &path) {
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct flock probe {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        probe.l_start = 0x40000000 + 2;
        probe.l_len = 510;
        const bool held =
            fd >= 0 && ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK && probe.l_pid == parent;
        ::_exit(held ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Holds `file` open on a thread of its own, in the middle of a walk, until told to close it.
class ReadingThread {
public:
    explicit ReadingThread(const std::string &file) {
        std::promise<void> reading;
        auto started = reading.get_future();
        thread_ = std::thread([this, file, reading = std::move(reading)]() mutable {
            TBFTable table;
            const bool walking = table.OpenTable(Variant::text(file)) == kAnswerDone && table.SetIndex("Cislo") == 0;
            if (walking)
                table.GoTop();
            reading.set_value();
            release_.get_future().wait();
            table.CloseTable();
        });
        started.wait();
    }
    ~ReadingThread() {
        release_.set_value();
        thread_.join();
    }

private:
    std::promise<void> release_;
    std::thread thread_;
};

TEST(SharedLock, SurvivesEveryLookAtTheSameTableFromAnotherThread) {
    for (const std::string mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        TestAgenda agenda;
        agenda.addCards({Card(1), Card(2), Card(2)});
        agenda.execSql("SKKMKART", "PRAGMA journal_mode=" + mode);
        const std::string file = agenda.tableFile("SKKMKART");
        {
            ReadingThread reader(file);
            ASSERT_TRUE(ThisProcessHoldsTheSharedLock(file));
            // Everything that looks at a table before, while and after it is read.
            EXPECT_EQ(ExamineFile(file), FileKind::Regular);
            for (int round = 0; round < 2; ++round) {
                TBFTable table;
                ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKKMKART")), kAnswerDone)
                    << table.lastOpenError();
                EXPECT_EQ(table.RecordCount(), 3);
                ASSERT_EQ(table.SetIndex("Cislo"), 0);
                table.GoTop();
                EXPECT_EQ(table.Value("Cislo").toInt32(), 1);
                table.CloseTable();
            }
            EXPECT_TRUE(ThisProcessHoldsTheSharedLock(file));
        }
        EXPECT_FALSE(ThisProcessHoldsTheSharedLock(file));
    }
}

// A write-ahead-log table that no program keeps open is read from its file alone. A writer that
// opens it meanwhile commits into its log, which the walk does not see. Once the walk has read on
// after the writer came, it keeps the writer from moving its log into the file (a checkpoint); a
// checkpoint that came before that stops the walk with the reason instead of mixing two states.
TEST(SharedLock, AWriterThatComesDuringAWalkOfTheFileAloneNeverMixesStates) {
    enum class Checkpoint { None, BeforeTheWalkReadsOn, AfterTheWalkReadOn };
    const struct {
        const char *what;
        Checkpoint when;
    } cases[] = {{"committed to the log only", Checkpoint::None},
                 {"checkpointed before the walk read on", Checkpoint::BeforeTheWalkReadsOn},
                 {"checkpointed after the walk read on", Checkpoint::AfterTheWalkReadOn}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestAgenda agenda;
        agenda.createCards();
        agenda.execSql("SKKMKART", "PRAGMA journal_mode=WAL; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   "FROM n WHERE i < 30000) INSERT INTO SKKMKART (Cislo, Popis) "
                                   "SELECT i, printf('%.200c', 'p') FROM n;");
        const std::string file = agenda.tableFile("SKKMKART");
        TBFTable table;
        ASSERT_EQ(table.OpenTable(Variant::text(file)), kAnswerDone) << table.lastOpenError();
        ASSERT_EQ(table.SetIndex("Cislo"), 0);
        table.GoTop();
        SqliteShell writer(file);
        ASSERT_TRUE(writer.run("PRAGMA wal_autocheckpoint=0; UPDATE SKKMKART SET Popis = 'nový';" +
                               std::string(c.when == Checkpoint::BeforeTheWalkReadsOn ? "PRAGMA wal_checkpoint;" : "")))
            << writer.output();
        std::string failure;
        int walked = 0;
        try {
            do {
                EXPECT_EQ(table.Value("Popis").toText().size(), 200u);
                if (++walked == 1000 && c.when == Checkpoint::AfterTheWalkReadOn) {
                    ASSERT_TRUE(writer.run("PRAGMA wal_checkpoint;")) << writer.output();
                }
            } while (table.MoveNext() != kAnswerNoFurtherRecord);
        } catch (const EngineError &error) {
            failure = error.what();
        }
        table.CloseTable();
        EXPECT_EQ(writer.close(), 0);
        if (c.when == Checkpoint::BeforeTheWalkReadsOn) {
            EXPECT_NE(failure.find("tabulku během čtení změnil jiný program"), std::string::npos) << failure;
            EXPECT_LT(walked, 30000);
        } else {
            EXPECT_EQ(failure, "");
            EXPECT_EQ(walked, 30000);
        }
    }
}

} // namespace
