// A soak beside a live host. A second process (this program again, with the hidden --writer option)
// commits small transactions to SKSEZZAS.DAT for the whole run, while `vrelmont-cli check --checks all
// --summary` reads the same agenda again and again. The writer's transactions keep the findings
// fixed: the stock items' bar codes form G groups of at least two records each, and a transaction
// moves one record to another group, lengthens ~50 descriptions (unique all the same), adds one
// record to a group and deletes one from another. So every consistent state of the table has N - G
// bar-code findings and the other checks keep the counts of the first state, and a run that reports
// anything else has read a state that never was.
//
// The writer runs in three modes: rollback (a rollback journal, one connection kept open), wal (a
// write-ahead log, one connection) and wal-reconnect (a write-ahead log, a connection per
// transaction, so that SQLite checkpoints and removes the -wal and -shm whenever it can). Within a
// mode the runs take the --jobs-list values in turn. Every run is classed: right, wrong (exit 0 but
// other counts), locked (the program's wait for a lock ran out), another error, or a hang (killed after
// --hang-seconds). The agenda directory is watched meanwhile: a name that neither the table files nor
// the writer's own journal files explain, or a change to a file the writer does not write, counts.
//
// Exit status: 0 when no run was wrong, failed otherwise than "locked" or hung, no file appeared,
// changed or went away, and the writer committed without errors; 1 otherwise; 2 for wrong usage.
#include <sqlite3.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWarehouses = 3;
// Stock items 1..kFixedItems have master cards and carry the duplicates of the other checks; the
// writer may move them to another bar-code group but never deletes them or changes their texts.
constexpr int kFixedItems = 24;
constexpr int kRecordsPerGroup = 8;
constexpr int kDescriptionUpdates = 50;
constexpr int kLongDescription = 40; // characters; a description this long goes back to its base text
constexpr int kCheckCount = 15;
constexpr int kWriterBusyMs = 10000;
constexpr std::string_view kLockedMessage = "soubor má právě uzamčen jiný program";
constexpr const char *kStockTable = "SKSEZZAS.DAT";
constexpr double kSlowRunSeconds = 5.0;
constexpr int kPrintedPerMode = 20; // wrong runs and errors printed in full per mode

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct SqlError : std::runtime_error {
    SqlError(sqlite3 *db, const std::string &what) : std::runtime_error(what + ": " + sqlite3_errmsg(db)) {}
};

class Statement {
public:
    Statement(sqlite3 *db, const std::string &sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK)
            throw SqlError(db, sql);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, std::int64_t value) {
        sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    Statement &bind(int index, const std::string &value) {
        sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw SqlError(db_, sqlite3_sql(statement_));
        return false;
    }
    // Runs a statement that returns no rows and makes it ready for the next bindings.
    void run() {
        step();
        sqlite3_reset(statement_);
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement_, column));
        return {bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
    }

private:
    sqlite3 *db_;
    sqlite3_stmt *statement_ = nullptr;
};

class Database {
public:
    explicit Database(const fs::path &file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const std::string message = std::string("cannot open ") + file.string() + ": " + sqlite3_errmsg(db_);
            sqlite3_close(db_);
            throw std::runtime_error(message);
        }
        sqlite3_busy_timeout(db_, kWriterBusyMs);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *get() const { return db_; }
    void exec(const std::string &sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw SqlError(db_, sql);
    }
    std::string single(const std::string &sql) {
        Statement statement(db_, sql);
        return statement.step() ? statement.text(0) : std::string();
    }

private:
    sqlite3 *db_ = nullptr;
};

// The journal mode a writer mode keeps its table in, as PRAGMA journal_mode answers it.
const char *JournalModeOf(const std::string &mode) {
    return mode == "rollback" ? "delete" : "wal";
}

// ---------------------------------------------------------------------------------------------------
// The agenda's records

std::string BarCodeOfGroup(std::size_t group) {
    char code[32];
    std::snprintf(code, sizeof code, "859%010zu", group);
    return code;
}

int WarehouseOfGroup(std::size_t group) {
    return static_cast<int>(group % kWarehouses) + 1;
}

// The base text a description returns to; it ends in the item's number, so adding 'x's keeps the
// descriptions unique.
std::string BaseDescription(std::int64_t number) {
    return "Zboží č. " + std::to_string(number);
}

struct Expected {
    std::array<std::int64_t, kCheckCount + 1> counts{}; // by check number; [0] unused
};

// Fills the tables that create-agenda made. Returns the counts the construction gives.
Expected FillAgenda(const fs::path &agenda, int records, std::size_t groups) {
    {
        Database cards(agenda / "SKKMKART.DAT");
        cards.exec("BEGIN");
        Statement insert(cards.get(), "INSERT INTO SKKMKART (Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) "
                                      "VALUES (?, ?, ?, ?, ?, ?)");
        auto add = [&](std::int64_t number, const std::string &plu, const std::string &catalogue,
                       const std::string &barCode, const std::string &abbreviation, const std::string &description) {
            insert.bind(1, number).bind(2, plu).bind(3, catalogue).bind(4, barCode).bind(5, abbreviation);
            insert.bind(6, description).run();
        };
        for (int i = 1; i <= kFixedItems; ++i) {
            const std::string n = std::to_string(i);
            std::string plu = "PLU-" + n, catalogue = "KAT-" + n, barCode = "8591" + std::to_string(100000 + i);
            std::string abbreviation = "ZK-" + n, description = "Karta č. " + n;
            // One duplicate for each card check, and one card without a description.
            if (i == 2)
                plu = "PLU-1";
            if (i == 4)
                catalogue = "KAT-3";
            if (i == 6)
                barCode = "8591100005";
            if (i == 8)
                abbreviation = "ZK-7";
            if (i == 10)
                description = "Karta č. 9";
            if (i == 11)
                description.clear();
            add(i, plu, catalogue, barCode, abbreviation, description);
        }
        add(kFixedItems, "PLU-X", "KAT-X", "8591999999", "ZK-X", "Karta navíc"); // a duplicate card number
        cards.exec("COMMIT");
    }

    Database stock(agenda / kStockTable);
    stock.exec("BEGIN");
    Statement insert(stock.get(), "INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)");
    // Stored in a shuffled order, so that the rowids do not follow any index.
    std::vector<int> order(static_cast<std::size_t>(records));
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = static_cast<int>(k);
    std::shuffle(order.begin(), order.end(), std::mt19937(20240501));
    for (const int k : order) {
        const std::int64_t number = k + 1;
        const std::size_t group = static_cast<std::size_t>(k) % groups;
        const std::string n = std::to_string(number);
        std::string plu, catalogue, abbreviation, description;
        if (k < kFixedItems) {
            // Fixed items k and k + kWarehouses share a warehouse: one duplicate for each stock check.
            plu = k == 3 ? "PLU-1" : "PLU-" + n;
            catalogue = k == 4 ? "KAT-2" : "KAT-" + n;
            abbreviation = k == 5 ? "ZK-3" : "ZK-" + n;
            description = k == 9 ? "Položka č. 7" : "Položka č. " + n;
            if (k == 10 || k == 11)
                description.clear(); // in warehouses 2 and 3: no pair of empty descriptions
        } else {
            plu = "U" + n;
            catalogue = "K" + n;
            abbreviation = "Z" + n;
            description = BaseDescription(number);
        }
        insert.bind(1, WarehouseOfGroup(group)).bind(2, number).bind(3, plu).bind(4, catalogue);
        insert.bind(5, BarCodeOfGroup(group)).bind(6, abbreviation).bind(7, description).run();
    }
    stock.exec("COMMIT");

    Expected expected;
    expected.counts = {
        0, 0, records - kFixedItems, 1, 1, 1, 1, 1, 1, records - static_cast<std::int64_t>(groups), 1, 1, 1, 1, 1, 2};
    return expected;
}

// ---------------------------------------------------------------------------------------------------
// The writer: a stand-in for the host, in a process of its own

// Two counters in a file that the writer and the soak both map: commits and failed transactions.
class SharedCounters {
public:
    explicit SharedCounters(const fs::path &file) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::ftruncate(fd, sizeof(std::uint64_t) * 2) != 0)
            throw std::runtime_error("cannot make " + file.string() + ": " + std::strerror(errno));
        void *memory = ::mmap(nullptr, sizeof(std::uint64_t) * 2, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ::close(fd);
        if (memory == MAP_FAILED)
            throw std::runtime_error("cannot map " + file.string() + ": " + std::strerror(errno));
        values_ = static_cast<std::uint64_t *>(memory);
    }
    ~SharedCounters() { ::munmap(values_, sizeof(std::uint64_t) * 2); }
    SharedCounters(const SharedCounters &) = delete;
    SharedCounters &operator=(const SharedCounters &) = delete;

    std::uint64_t commits() const { return std::atomic_ref<std::uint64_t>(values_[0]).load(); }
    std::uint64_t failures() const { return std::atomic_ref<std::uint64_t>(values_[1]).load(); }
    void countCommit() { std::atomic_ref<std::uint64_t>(values_[0]).fetch_add(1); }
    void countFailure() { std::atomic_ref<std::uint64_t>(values_[1]).fetch_add(1); }

private:
    std::uint64_t *values_ = nullptr;
};

// What the writer knows of the table; only it writes there, so this stays true after each commit.
struct StockModel {
    struct Item {
        std::int64_t rowid;
        std::int64_t number;
        std::size_t group;
    };
    struct Group {
        int warehouse;
        std::string barCode;
        std::size_t size = 0;
    };
    std::vector<Item> items;
    std::vector<Group> groups;
    std::map<int, std::vector<std::size_t>> groupsOfWarehouse;
    std::int64_t nextNumber = 1; // never reused, so no Sklad+Cislo repeats even after a delete

    void load(sqlite3 *db) {
        items.clear();
        groups.clear();
        groupsOfWarehouse.clear();
        std::map<std::pair<std::int64_t, std::string>, std::size_t> groupOfKey;
        Statement all(db, "SELECT rowid, Sklad, Cislo, BarCode FROM SKSEZZAS");
        while (all.step()) {
            const auto key = std::make_pair(all.integer(1), all.text(3));
            auto [found, added] = groupOfKey.try_emplace(key, groups.size());
            if (added) {
                groups.push_back({static_cast<int>(key.first), key.second, 0});
                groupsOfWarehouse[static_cast<int>(key.first)].push_back(found->second);
            }
            ++groups[found->second].size;
            items.push_back({all.integer(0), all.integer(2), found->second});
            nextNumber = std::max(nextNumber, all.integer(2) + 1);
        }
    }
};

class Writer {
public:
    Writer(const fs::path &table, std::string mode) : table_(table), mode_(std::move(mode)) {}

    // One connection with its statements; closing it is what lets SQLite remove the -wal and -shm.
    struct Connection {
        explicit Connection(const fs::path &table, const std::string &mode)
            : db(table), move(db.get(), "UPDATE SKSEZZAS SET BarCode = ? WHERE rowid = ?"),
              describe(db.get(),
                       "UPDATE SKSEZZAS SET Popis = CASE WHEN length(Popis) >= " + std::to_string(kLongDescription) +
                           " THEN 'Zboží č. ' || Cislo ELSE Popis || 'x' END WHERE rowid = ?"),
              insert(db.get(), "INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)"),
              remove(db.get(), "DELETE FROM SKSEZZAS WHERE rowid = ?") {
            const std::string journal = db.single(std::string("PRAGMA journal_mode=") + JournalModeOf(mode));
            if (journal != JournalModeOf(mode))
                throw std::runtime_error("journal mode is " + journal + ", not " + JournalModeOf(mode));
        }
        Database db;
        Statement move, describe, insert, remove;
    };

    void run(SharedCounters &counters, int pauseMs) {
        const bool reconnect = mode_ == "wal-reconnect";
        std::optional<Connection> connection;
        connection.emplace(table_, mode_);
        model_.load(connection->db.get());
        if (model_.groups.empty())
            throw std::runtime_error("the table holds no records to move");
        if (reconnect)
            connection.reset();
        int reported = 0;
        while (!StopAsked(0)) {
            try {
                if (reconnect || !connection)
                    connection.emplace(table_, mode_);
                transaction(*connection);
                counters.countCommit();
            } catch (const std::exception &error) {
                counters.countFailure();
                if (reported++ < 5)
                    std::fprintf(stderr, "live-host-soak writer (%s): %s\n", mode_.c_str(), error.what());
                recover(connection);
            }
            if (reconnect)
                connection.reset();
            if (pauseMs > 0 && StopAsked(pauseMs))
                break;
        }
        // A close while a check reads cannot checkpoint, and leaves the -wal and -shm for the next
        // open to clear. The soak stops the writer between runs, so one more open and close here
        // clears them as the host's next start would.
        if (reconnect) {
            try {
                connection.emplace(table_, mode_);
                connection.reset();
            } catch (const std::exception &error) {
                counters.countFailure();
                std::fprintf(stderr, "live-host-soak writer (%s): last close: %s\n", mode_.c_str(), error.what());
            }
        }
    }

private:
    // The soak closes the writer's standard input to stop it; waits up to `ms` for that.
    static bool StopAsked(int ms) {
        pollfd input{0, POLLIN, 0};
        return ::poll(&input, 1, ms) > 0;
    }

    template <typename Accept> std::optional<std::size_t> pick(Accept accept) {
        std::uniform_int_distribution<std::size_t> any(0, model_.items.size() - 1);
        for (int tries = 0; tries < 10000; ++tries) {
            const std::size_t index = any(random_);
            if (accept(model_.items[index]))
                return index;
        }
        return std::nullopt;
    }

    static bool IsFixed(const StockModel::Item &item) { return item.number <= kFixedItems; }

    void transaction(Connection &c) {
        auto &items = model_.items;
        auto &groups = model_.groups;
        c.db.exec("BEGIN IMMEDIATE");
        // One record to another group of its warehouse; its old group keeps at least two.
        if (const auto moved = pick([&](const auto &item) { return groups[item.group].size > 2; })) {
            StockModel::Item &item = items[*moved];
            const auto &siblings = model_.groupsOfWarehouse[groups[item.group].warehouse];
            if (siblings.size() > 1) {
                std::size_t target = item.group;
                while (target == item.group)
                    target = siblings[std::uniform_int_distribution<std::size_t>(0, siblings.size() - 1)(random_)];
                c.move.bind(1, groups[target].barCode).bind(2, item.rowid).run();
                --groups[item.group].size;
                ++groups[target].size;
                item.group = target;
            }
        }
        for (int i = 0; i < kDescriptionUpdates; ++i)
            if (const auto described = pick([](const auto &item) { return !IsFixed(item); }))
                c.describe.bind(1, items[*described].rowid).run();
        // One record in, one out: the count stays.
        const std::size_t into = std::uniform_int_distribution<std::size_t>(0, groups.size() - 1)(random_);
        const std::int64_t number = model_.nextNumber++;
        const std::string n = std::to_string(number);
        c.insert.bind(1, groups[into].warehouse).bind(2, number).bind(3, "U" + n).bind(4, "K" + n);
        c.insert.bind(5, groups[into].barCode).bind(6, "Z" + n).bind(7, BaseDescription(number)).run();
        items.push_back({sqlite3_last_insert_rowid(c.db.get()), number, into});
        ++groups[into].size;
        const auto removed = pick([&](const auto &item) { return !IsFixed(item) && groups[item.group].size > 2; });
        if (!removed)
            throw std::runtime_error("no record to delete");
        c.remove.bind(1, items[*removed].rowid).run();
        --groups[items[*removed].group].size;
        items[*removed] = items.back();
        items.pop_back();
        c.db.exec("COMMIT");
    }

    // After a failed transaction: undo it and read the table again, as the model went ahead of it.
    void recover(std::optional<Connection> &connection) {
        try {
            if (!connection)
                connection.emplace(table_, mode_);
            if (!sqlite3_get_autocommit(connection->db.get()))
                sqlite3_exec(connection->db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            const std::int64_t next = model_.nextNumber;
            model_.load(connection->db.get());
            model_.nextNumber = std::max(model_.nextNumber, next);
        } catch (const std::exception &error) {
            std::fprintf(stderr, "live-host-soak writer (%s): cannot read the table again: %s\n", mode_.c_str(),
                         error.what());
            connection.reset();
        }
    }

    fs::path table_;
    std::string mode_;
    StockModel model_;
    std::mt19937_64 random_{std::random_device{}()};
};

// live-host-soak --writer MODE AGENDA_DIR PAUSE_MS COUNTER_FILE
int WriterMain(int argc, char **argv) {
    if (argc != 6)
        return 2;
    try {
        SharedCounters counters{fs::path(argv[5])};
        Writer writer(fs::path(argv[3]) / kStockTable, argv[2]);
        writer.run(counters, std::atoi(argv[4]));
        return counters.failures() == 0 ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "live-host-soak writer (%s): %s\n", argv[2], error.what());
        return 3;
    }
}

// ---------------------------------------------------------------------------------------------------
// Child processes

struct ChildEnd {
    bool hung = false;
    bool exited = false; // with `code`; otherwise killed by `signal`
    int code = 0;
    int signal = 0;
    double seconds = 0;
};

ChildEnd EndOf(int status) {
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : 0;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

// Starts `args` with its standard streams on the given files (an empty name: inherited); `inputFd`
// >= 0 becomes its standard input instead.
pid_t Spawn(const std::vector<std::string> &args, const fs::path &out, const fs::path &err, int inputFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, inputFd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!out.empty())
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!err.empty())
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // A group of its own: Ctrl+C reaches the soak alone, which then stops its children in order.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0)
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    return pid;
}

// Waits for a child; kills it after `limitSeconds`. `tick` runs every 50 ms meanwhile.
ChildEnd WaitFor(pid_t pid, double limitSeconds, const std::function<void()> &tick = {}) {
    const auto start = Clock::now();
    auto lastTick = start;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            ChildEnd end = EndOf(status);
            end.seconds = SecondsSince(start);
            return end;
        }
        if (done < 0 && errno != EINTR)
            throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
        if (SecondsSince(start) > limitSeconds) {
            ::kill(-pid, SIGKILL); // its group: a wrapper script and what it started
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            ChildEnd end = EndOf(status);
            end.hung = true;
            end.seconds = SecondsSince(start);
            return end;
        }
        if (tick && Clock::now() - lastTick >= std::chrono::milliseconds(50)) {
            tick();
            lastTick = Clock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string ReadFile(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first lines of a run's standard error, joined: the first often only says which table, the
// second why.
std::string FirstLines(const std::string &text, int lines = 3) {
    std::string joined;
    std::istringstream in(text);
    std::string line;
    while (lines-- > 0 && std::getline(in, line))
        if (!line.empty())
            joined += (joined.empty() ? "" : " | ") + line;
    return joined.empty() ? "(nothing on standard error)" : joined;
}

// The summary lines: "Check09 Kontrola duplicitních čár. kódů skladových zásob: 2".
std::map<int, std::int64_t> SummaryCounts(const std::string &report) {
    std::map<int, std::int64_t> counts;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() < 8 || line.compare(0, 5, "Check") != 0)
            continue;
        const std::size_t colon = line.rfind(": ");
        if (colon == std::string::npos)
            continue;
        char *end = nullptr;
        const long long count = std::strtoll(line.c_str() + colon + 2, &end, 10);
        if (*end == '\0')
            counts[std::atoi(line.c_str() + 5)] = count;
    }
    return counts;
}

std::string CountsText(const std::map<int, std::int64_t> &counts, const Expected &expected) {
    std::string text;
    for (int check = 1; check <= kCheckCount; ++check) {
        const auto found = counts.find(check);
        char piece[64];
        if (found == counts.end())
            std::snprintf(piece, sizeof piece, " %02d:-", check);
        else if (found->second != expected.counts[static_cast<std::size_t>(check)])
            std::snprintf(piece, sizeof piece, " %02d:%lld(!%lld)", check, static_cast<long long>(found->second),
                          static_cast<long long>(expected.counts[static_cast<std::size_t>(check)]));
        else
            std::snprintf(piece, sizeof piece, " %02d:%lld", check, static_cast<long long>(found->second));
        text += piece;
    }
    return text;
}

bool CountsMatch(const std::map<int, std::int64_t> &counts, const Expected &expected) {
    if (counts.size() != kCheckCount)
        return false;
    for (const auto &[check, count] : counts)
        if (check < 1 || check > kCheckCount || count != expected.counts[static_cast<std::size_t>(check)])
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// The agenda directory

using Listing = std::map<std::string, std::uintmax_t>; // name -> size

Listing ListDirectory(const fs::path &dir) {
    Listing listing;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::error_code sizeError;
        const std::uintmax_t size = it->is_regular_file(sizeError) ? it->file_size(sizeError) : 0;
        listing[it->path().filename().string()] = sizeError ? 0 : size;
    }
    return listing;
}

std::string ListingText(const Listing &listing) {
    std::string text;
    for (const auto &[name, size] : listing)
        text += (text.empty() ? "" : ", ") + name + " (" + std::to_string(size) + " B)";
    return text;
}

// What happened to the agenda's files in one mode.
struct FileTrouble {
    std::set<std::string> added, changed, removed;
    std::set<std::string> openedForWriting; // not a change, but the files are to be opened read-only
    bool eventsLost = false;
    std::size_t count() const { return added.size() + changed.size() + removed.size(); }
};

// Watches the agenda directory, so that a file that comes and goes between two listings is seen.
class DirectoryWatch {
public:
    DirectoryWatch(const fs::path &dir, std::set<std::string> allowed, std::set<std::string> notWritten)
        : allowed_(std::move(allowed)), notWritten_(std::move(notWritten)) {
#ifdef __linux__
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ >= 0 && inotify_add_watch(fd_, dir.c_str(),
                                          IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_MODIFY | IN_ATTRIB |
                                              IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
            ::close(fd_);
            fd_ = -1;
        }
#else
        (void)dir;
#endif
    }
    ~DirectoryWatch() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DirectoryWatch(const DirectoryWatch &) = delete;
    DirectoryWatch &operator=(const DirectoryWatch &) = delete;

    void drain(FileTrouble &trouble) {
#ifdef __linux__
        if (fd_ < 0)
            return;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                return;
            for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
                inotify_event event;
                std::memcpy(&event, buffer + at, sizeof event);
                const std::string name = event.len ? std::string(buffer + at + sizeof event) : std::string();
                at += sizeof event + event.len;
                classify(event.mask, name.c_str(), trouble);
            }
        }
#else
        (void)trouble;
#endif
    }

    // Names the listing holds that no one may make.
    void checkListing(const Listing &listing, FileTrouble &trouble) const {
        for (const auto &entry : listing)
            if (!allowed_.count(entry.first))
                trouble.added.insert(entry.first);
    }

private:
#ifdef __linux__
    void classify(std::uint32_t mask, const std::string &name, FileTrouble &trouble) const {
        if (mask & IN_Q_OVERFLOW)
            trouble.eventsLost = true;
        if (mask & (IN_DELETE_SELF | IN_MOVE_SELF))
            trouble.removed.insert(".");
        if (name.empty())
            return;
        if ((mask & (IN_CREATE | IN_MOVED_TO)) && !allowed_.count(name))
            trouble.added.insert(name);
        if (notWritten_.count(name)) {
            if (mask & (IN_MODIFY | IN_ATTRIB | IN_MOVED_TO))
                trouble.changed.insert(name);
            if (mask & (IN_DELETE | IN_MOVED_FROM))
                trouble.removed.insert(name);
            if (mask & IN_CLOSE_WRITE)
                trouble.openedForWriting.insert(name);
        } else if (name == kStockTable && (mask & (IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO))) {
            trouble.removed.insert(name); // the writer changes the table in place, never replaces it
        }
    }
#endif

    int fd_ = -1;
    std::set<std::string> allowed_;
    std::set<std::string> notWritten_;
};

// ---------------------------------------------------------------------------------------------------
// The soak

struct Options {
    std::string cli;
    double seconds = 120;
    std::vector<std::string> modes{"rollback", "wal", "wal-reconnect"};
    std::vector<int> jobs{1, 2, 4};
    int records = 10000;
    int pauseMs = 5;
    double hangSeconds = 90;
    bool keep = false;
};

struct RunFigures {
    int runs = 0, right = 0, wrong = 0, locked = 0, errors = 0, hangs = 0, slow = 0;
    double longest = 0;
    std::uint64_t commits = 0; // the writer's commits while these runs read

    void add(const RunFigures &other) {
        runs += other.runs;
        right += other.right;
        wrong += other.wrong;
        locked += other.locked;
        errors += other.errors;
        hangs += other.hangs;
        slow += other.slow;
        longest = std::max(longest, other.longest);
        commits += other.commits;
    }
};

enum class Verdict { Right, Wrong, Locked, Error, Hang };

struct CheckRun {
    Verdict verdict = Verdict::Error;
    ChildEnd end;
    std::map<int, std::int64_t> counts;
    std::string firstError;
};

class Soak {
public:
    Soak(Options options, std::string self) : self_(std::move(self)), options_(std::move(options)) {}

    int run() {
        const char *tmp = std::getenv("TMPDIR");
        std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/vrelmont-soak.XXXXXX";
        if (!::mkdtemp(base.data()))
            throw std::runtime_error("cannot make a temporary directory: " + std::string(std::strerror(errno)));
        work_ = base;
        agenda_ = work_ / "AGENDA.001";
        const int status = soak();
        if (options_.keep)
            std::printf("kept %s\n", work_.c_str());
        else
            fs::remove_all(work_);
        return status;
    }

private:
    int soak() {
        const ChildEnd created = WaitFor(Spawn({options_.cli, "create-agenda", agenda_.string(), "--name", "Soak"},
                                               work_ / "create.out", work_ / "create.err"),
                                         60);
        if (!created.exited || created.code != 0) {
            std::fprintf(stderr, "live-host-soak: create-agenda failed: %s\n",
                         FirstLines(ReadFile(work_ / "create.err")).c_str());
            return 1;
        }
        groups_ = static_cast<std::size_t>(options_.records / kRecordsPerGroup);
        const Expected built = FillAgenda(agenda_, options_.records, groups_);
        std::printf("live-host-soak: %d stock items in %zu bar-code groups, %d master cards; %g s per mode; jobs",
                    options_.records, groups_, kFixedItems + 1, options_.seconds);
        for (const int jobs : options_.jobs)
            std::printf(" %d", jobs);
        std::printf("; the writer pauses %d ms between commits\n", options_.pauseMs);

        start_ = ListDirectory(agenda_);
        for (const auto &entry : start_)
            if (entry.first != kStockTable)
                notWritten_[entry.first] = ReadFile(agenda_ / entry.first);
        std::printf("agenda at the start: %s\n", ListingText(start_).c_str());
        if (!baseline(built))
            return 1;

        bool writerFailed = false;
        FileTrouble allTrouble;
        bool tableBroken = false;
        int quietWrong = 0;
        for (const std::string &mode : options_.modes) {
            if (stopRequested)
                break;
            FileTrouble trouble;
            setJournalMode(mode);
            const Listing before = ListDirectory(agenda_);
            std::printf("\n== %s\nbefore: %s\n", mode.c_str(), ListingText(before).c_str());
            compareWithStart(before, trouble);
            std::fflush(stdout);

            const bool writerOk = soakMode(mode, trouble, quietWrong);
            writerFailed = writerFailed || !writerOk;

            const Listing after = ListDirectory(agenda_);
            std::printf("after:  %s\n", ListingText(after).c_str());
            compareWithStart(after, trouble);
            reportTrouble(trouble);
            if (!verifyTable())
                tableBroken = true;
            allTrouble.added.insert(trouble.added.begin(), trouble.added.end());
            allTrouble.changed.insert(trouble.changed.begin(), trouble.changed.end());
            allTrouble.removed.insert(trouble.removed.begin(), trouble.removed.end());
            allTrouble.openedForWriting.insert(trouble.openedForWriting.begin(), trouble.openedForWriting.end());
        }
        return printTable(allTrouble, writerFailed, tableBroken, quietWrong);
    }

    CheckRun runCheck(int jobs, const std::function<void()> &tick) {
        const fs::path out = work_ / "check.out", err = work_ / "check.err";
        const pid_t pid = Spawn({options_.cli, "check", agenda_.string(), "--checks", "all", "--summary", "--format",
                                 "text", "--jobs", std::to_string(jobs)},
                                out, err);
        CheckRun result;
        result.end = WaitFor(pid, options_.hangSeconds, tick);
        const std::string errors = ReadFile(err);
        result.counts = SummaryCounts(ReadFile(out));
        result.firstError = FirstLines(errors);
        if (result.end.hung)
            result.verdict = Verdict::Hang;
        else if (result.end.exited && result.end.code == 0)
            result.verdict = CountsMatch(result.counts, expected_) ? Verdict::Right : Verdict::Wrong;
        else if (result.end.exited && result.end.code == 1 && errors.find(kLockedMessage) != std::string::npos)
            result.verdict = Verdict::Locked;
        else
            result.verdict = Verdict::Error;
        return result;
    }

    // A message with the agenda's temporary directory left out, so that equal messages group.
    std::string WithoutDirectory(std::string message) const {
        const std::string dir = agenda_.string() + "/";
        for (std::size_t at; (at = message.find(dir)) != std::string::npos;)
            message.erase(at, dir.size());
        return message;
    }

    static std::string EndText(const ChildEnd &end) {
        if (end.hung)
            return "killed after " + std::to_string(static_cast<int>(end.seconds)) + " s";
        return end.exited ? "exit " + std::to_string(end.code) : "signal " + std::to_string(end.signal);
    }

    // The runs on the quiet agenda give the expected counts; they must be the construction's.
    bool baseline(const Expected &built) {
        bool ok = true;
        for (const int jobs : options_.jobs) {
            const CheckRun first = runCheck(jobs, {});
            if (!first.end.exited || first.end.code != 0 || first.counts.size() != kCheckCount) {
                std::printf("baseline --jobs %d: %s, %s\n", jobs, EndText(first.end).c_str(), first.firstError.c_str());
                ok = false;
                continue;
            }
            if (jobs == options_.jobs.front()) {
                for (const auto &[check, count] : first.counts)
                    expected_.counts[static_cast<std::size_t>(check)] = count;
                std::printf("expected counts (no writer, --jobs %d):%s\n", jobs,
                            CountsText(first.counts, expected_).c_str());
                if (!CountsMatch(first.counts, built)) {
                    std::printf("baseline differs from the records made (check 9 must be N - G = %d - %zu):%s\n",
                                options_.records, groups_, CountsText(first.counts, built).c_str());
                    ok = false;
                }
            } else if (!CountsMatch(first.counts, expected_)) {
                std::printf("baseline --jobs %d differs:%s\n", jobs, CountsText(first.counts, expected_).c_str());
                ok = false;
            }
        }
        return ok;
    }

    void setJournalMode(const std::string &mode) {
        Database db(agenda_ / kStockTable);
        const std::string journal = db.single(std::string("PRAGMA journal_mode=") + JournalModeOf(mode));
        if (journal != JournalModeOf(mode))
            throw std::runtime_error("cannot set the journal mode " + std::string(JournalModeOf(mode)));
    }

    // The soak's own check that the writer kept its promises: a count that differs after the mode
    // is then the reader's fault, not the writer's.
    bool verifyTable() {
        Database db(agenda_ / kStockTable);
        const std::string integrity = db.single("PRAGMA integrity_check");
        const std::string records = db.single("SELECT count(*) FROM SKSEZZAS");
        const std::string groups = db.single("SELECT count(*) FROM (SELECT 1 FROM SKSEZZAS GROUP BY Sklad, BarCode)");
        const std::string smallest =
            db.single("SELECT min(c) FROM (SELECT count(*) c FROM SKSEZZAS GROUP BY Sklad, BarCode)");
        const std::string keys = db.single("SELECT count(*) FROM (SELECT DISTINCT Sklad, Cislo FROM SKSEZZAS)");
        const std::string descriptions = db.single("SELECT count(DISTINCT Popis) FROM SKSEZZAS");
        const bool ok = integrity == "ok" && records == std::to_string(options_.records) &&
                        groups == std::to_string(groups_) && std::atoi(smallest.c_str()) >= 2 && keys == records &&
                        descriptions == std::to_string(options_.records - 2); // one pair, one empty in two places
        if (!ok)
            std::printf("the writer broke the table's invariant: integrity %s, %s records, %s groups (smallest %s), "
                        "%s distinct Sklad+Cislo, %s distinct descriptions\n",
                        integrity.c_str(), records.c_str(), groups.c_str(), smallest.c_str(), keys.c_str(),
                        descriptions.c_str());
        return ok;
    }

    void compareWithStart(const Listing &listing, FileTrouble &trouble) {
        for (const auto &entry : listing)
            if (!start_.count(entry.first))
                trouble.added.insert(entry.first);
        for (const auto &entry : start_)
            if (!listing.count(entry.first))
                trouble.removed.insert(entry.first);
        for (const auto &[name, content] : notWritten_)
            if (listing.count(name) && ReadFile(agenda_ / name) != content)
                trouble.changed.insert(name);
    }

    static void reportTrouble(const FileTrouble &trouble) {
        auto names = [](const std::set<std::string> &set) {
            std::string text;
            for (const std::string &name : set)
                text += " " + name;
            return text;
        };
        if (!trouble.added.empty())
            std::printf("files added:%s\n", names(trouble.added).c_str());
        if (!trouble.changed.empty())
            std::printf("files changed:%s\n", names(trouble.changed).c_str());
        if (!trouble.removed.empty())
            std::printf("files removed:%s\n", names(trouble.removed).c_str());
        std::set<std::string> openedOnly;
        for (const std::string &name : trouble.openedForWriting)
            if (!trouble.changed.count(name))
                openedOnly.insert(name);
        if (!openedOnly.empty())
            std::printf("note: opened for writing, unchanged:%s\n", names(openedOnly).c_str());
        if (trouble.eventsLost)
            std::printf("note: some directory events were lost; the listings still count\n");
    }

    // One mode: the writer, the runs beside it, and the runs after it stopped. Returns whether the
    // writer started, committed without a failure and stopped cleanly.
    bool soakMode(const std::string &mode, FileTrouble &trouble, int &quietWrong) {
        std::set<std::string> allowed;
        for (const auto &entry : start_)
            allowed.insert(entry.first);
        if (mode == "rollback") {
            allowed.insert(std::string(kStockTable) + "-journal");
        } else {
            allowed.insert(std::string(kStockTable) + "-wal");
            allowed.insert(std::string(kStockTable) + "-shm");
        }
        std::set<std::string> notWritten;
        for (const auto &entry : notWritten_)
            notWritten.insert(entry.first);
        DirectoryWatch watch(agenda_, allowed, notWritten);

        const fs::path counterFile = work_ / ("commits-" + mode);
        fs::remove(counterFile);
        SharedCounters counters(counterFile);
        int stopPipe[2];
        // Neither end may leak into the check runs: one that held the write end would keep the writer
        // from seeing it close.
        if (::pipe(stopPipe) != 0 || ::fcntl(stopPipe[0], F_SETFD, FD_CLOEXEC) != 0 ||
            ::fcntl(stopPipe[1], F_SETFD, FD_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
        const pid_t writer =
            Spawn({self_, "--writer", mode, agenda_.string(), std::to_string(options_.pauseMs), counterFile.string()},
                  {}, {}, stopPipe[0]);
        ::close(stopPipe[0]);
        bool writerOk = true;
        auto writerGone = [&] {
            int status = 0;
            return ::waitpid(writer, &status, WNOHANG) == writer;
        };
        const auto waitStart = Clock::now();
        while (counters.commits() == 0 && SecondsSince(waitStart) < 30) {
            if (writerGone()) {
                std::printf("the writer ended before its first commit\n");
                ::close(stopPipe[1]);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }

        auto tick = [&] { watch.drain(trouble); };
        const auto deadline = Clock::now() + std::chrono::duration<double>(options_.seconds);
        std::map<int, RunFigures> &figures = figures_[mode];
        int printed = 0;
        std::map<int, int> wrongChecks;        // check -> runs that got its count wrong
        std::map<std::string, int> errorKinds; // exit and message -> runs
        for (std::size_t turn = 0; Clock::now() < deadline && !stopRequested; ++turn) {
            const int jobs = options_.jobs[turn % options_.jobs.size()];
            const std::uint64_t commitsBefore = counters.commits();
            const CheckRun result = runCheck(jobs, tick);
            RunFigures &row = figures[jobs];
            row.commits += counters.commits() - commitsBefore;
            ++row.runs;
            row.longest = std::max(row.longest, result.end.seconds);
            if (result.end.seconds > kSlowRunSeconds)
                ++row.slow;
            switch (result.verdict) {
            case Verdict::Right:
                ++row.right;
                break;
            case Verdict::Wrong:
                ++row.wrong;
                for (int check = 1; check <= kCheckCount; ++check) {
                    const auto found = result.counts.find(check);
                    if (found == result.counts.end() ||
                        found->second != expected_.counts[static_cast<std::size_t>(check)])
                        ++wrongChecks[check];
                }
                if (printed++ < kPrintedPerMode)
                    std::printf("WRONG   %s --jobs %d, run %d, %.2f s:%s\n", mode.c_str(), jobs, row.runs,
                                result.end.seconds, CountsText(result.counts, expected_).c_str());
                break;
            case Verdict::Locked:
                ++row.locked;
                break;
            case Verdict::Error:
                ++row.errors;
                ++errorKinds[EndText(result.end) + ": " + WithoutDirectory(result.firstError)];
                if (printed++ < kPrintedPerMode)
                    std::printf("ERROR   %s --jobs %d, run %d, %s: %s\n", mode.c_str(), jobs, row.runs,
                                EndText(result.end).c_str(), result.firstError.c_str());
                break;
            case Verdict::Hang:
                ++row.hangs;
                std::printf("HANG    %s --jobs %d, run %d, %s\n", mode.c_str(), jobs, row.runs,
                            EndText(result.end).c_str());
                break;
            }
            std::fflush(stdout);
            watch.drain(trouble);
            watch.checkListing(ListDirectory(agenda_), trouble);
            if (writerGone()) {
                std::printf("the writer ended before it was told to\n");
                writerOk = false;
                break;
            }
        }
        if (printed > kPrintedPerMode)
            std::printf("... and %d more wrong or failed runs in this mode\n", printed - kPrintedPerMode);
        for (const auto &[check, runs] : wrongChecks)
            std::printf("check %02d wrong in %d runs\n", check, runs);
        for (const auto &[message, runs] : errorKinds)
            std::printf("%6d runs: %s\n", runs, message.c_str());

        // Closing its standard input tells the writer to finish its transaction and close.
        ::close(stopPipe[1]);
        if (writerOk) {
            const ChildEnd end = WaitFor(writer, 30, tick);
            if (end.hung || !end.exited || end.code != 0) {
                std::printf("the writer did not stop cleanly: %s\n", EndText(end).c_str());
                writerOk = false;
            }
        }
        commits_[mode] = counters.commits();
        failures_[mode] = counters.failures();
        if (counters.failures() > 0)
            writerOk = false;

        // Says whether what is left was there when the writer had gone, or came with the runs after.
        const Listing stopped = ListDirectory(agenda_);
        if (stopped.size() != start_.size())
            std::printf("when the writer had stopped: %s\n", ListingText(stopped).c_str());

        // The quiet table must read as it did at the start.
        for (const int jobs : options_.jobs) {
            const CheckRun quiet = runCheck(jobs, tick);
            if (quiet.verdict != Verdict::Right) {
                ++quietWrong;
                std::printf("after the writer stopped, --jobs %d: %s, %s;%s\n", jobs, EndText(quiet.end).c_str(),
                            quiet.firstError.c_str(), CountsText(quiet.counts, expected_).c_str());
            }
        }
        watch.drain(trouble);
        return writerOk;
    }

    int printTable(const FileTrouble &trouble, bool writerFailed, bool tableBroken, int quietWrong) {
        std::printf("\n%-14s %4s %6s %6s %6s %6s %6s %6s %6s %9s %9s\n", "mode", "jobs", "runs", "right", "wrong",
                    "locked", "errors", "hangs", ">5 s", "longest", "commits");
        auto row = [](const std::string &mode, const std::string &jobs, const RunFigures &f) {
            std::printf("%-14s %4s %6d %6d %6d %6d %6d %6d %6d %7.2f s %9llu\n", mode.c_str(), jobs.c_str(), f.runs,
                        f.right, f.wrong, f.locked, f.errors, f.hangs, f.slow, f.longest,
                        static_cast<unsigned long long>(f.commits));
        };
        RunFigures total;
        for (const std::string &mode : options_.modes) {
            const auto found = figures_.find(mode);
            if (found == figures_.end())
                continue;
            RunFigures modeTotal;
            for (const int jobs : options_.jobs) {
                const auto figures = found->second.find(jobs);
                if (figures == found->second.end())
                    continue;
                row(mode, std::to_string(jobs), figures->second);
                modeTotal.add(figures->second);
            }
            // The mode's commits are all the writer made, also between and after the runs.
            modeTotal.commits = commits_[mode];
            row(mode, "all", modeTotal);
            if (failures_[mode] > 0)
                std::printf("%-14s      the writer's failed transactions: %llu\n", mode.c_str(),
                            static_cast<unsigned long long>(failures_[mode]));
            total.add(modeTotal);
        }
        row("all modes", "", total);
        std::printf("files added: %zu, changed: %zu, removed: %zu\n", trouble.added.size(), trouble.changed.size(),
                    trouble.removed.size());
        reportTrouble(trouble);

        std::vector<std::string> failures;
        if (total.wrong)
            failures.push_back(std::to_string(total.wrong) + " wrong results");
        if (total.errors)
            failures.push_back(std::to_string(total.errors) + " false errors");
        if (total.hangs)
            failures.push_back(std::to_string(total.hangs) + " hangs");
        if (trouble.count())
            failures.push_back(std::to_string(trouble.count()) + " files added, changed or removed");
        if (quietWrong)
            failures.push_back(std::to_string(quietWrong) + " wrong or failed runs after the writer stopped");
        if (writerFailed)
            failures.push_back("the writer failed");
        if (tableBroken)
            failures.push_back("the writer broke its invariant");
        if (stopRequested)
            failures.push_back("interrupted");
        if (total.runs == 0)
            failures.push_back("no run beside the writer");
        if (failures.empty()) {
            std::printf("live-host-soak: passed (%d runs, %d locked)\n", total.runs, total.locked);
            return 0;
        }
        std::string text;
        for (const std::string &failure : failures)
            text += (text.empty() ? "" : ", ") + failure;
        std::printf("live-host-soak: FAILED: %s\n", text.c_str());
        return 1;
    }

    std::string self_; // this program, which the writer runs as
    Options options_;
    fs::path work_, agenda_;
    std::size_t groups_ = 0;
    Expected expected_;
    Listing start_;
    std::map<std::string, std::string> notWritten_; // name -> content at the start
    std::map<std::string, std::map<int, RunFigures>> figures_;
    std::map<std::string, std::uint64_t> commits_, failures_;
};

const char kUsage[] = R"(usage: vrelmont-bench-live-host-soak --cli PATH [options]

Runs `vrelmont-cli check --checks all --summary` again and again on an agenda that a second process
writes to meanwhile, and counts the runs that were right, wrong, locked, failed or hung.

  --cli PATH          the vrelmont-cli to test (required)
  --seconds S         how long each mode runs (default 120); the runs take the jobs values in turn
  --modes LIST        writer modes, from rollback,wal,wal-reconnect (default: all three)
  --jobs-list LIST    --jobs values of the runs (default 1,2,4)
  --records N         stock items in the agenda (default 10000, at least 200)
  --pause-ms P        the writer's pause between commits (default 5; 0: back to back)
  --hang-seconds H    a run still going after H seconds is killed and counted as a hang (default 90)
  --keep              keep the temporary directory
  --help              this text
)";

std::vector<std::string> SplitList(const std::string &text) {
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

std::optional<Options> ParseOptions(int argc, char **argv) {
    Options options;
    auto number = [](const char *text, double low, double high) -> std::optional<double> {
        char *end = nullptr;
        const double value = std::strtod(text, &end);
        if (end == text || *end != '\0' || value < low || value > high)
            return std::nullopt;
        return value;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (arg == "--keep") {
            options.keep = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "live-host-soak: %s needs a value\n", arg.c_str());
            return std::nullopt;
        }
        const char *value = argv[++i];
        std::optional<double> parsed;
        if (arg == "--cli") {
            options.cli = value;
            continue;
        } else if (arg == "--seconds") {
            parsed = number(value, 0, 1e6);
            options.seconds = parsed.value_or(0);
        } else if (arg == "--records") {
            parsed = number(value, 200, 1e6);
            options.records = static_cast<int>(parsed.value_or(0));
        } else if (arg == "--pause-ms") {
            parsed = number(value, 0, 60000);
            options.pauseMs = static_cast<int>(parsed.value_or(0));
        } else if (arg == "--hang-seconds") {
            parsed = number(value, 1, 1e5);
            options.hangSeconds = parsed.value_or(0);
        } else if (arg == "--modes") {
            options.modes = SplitList(value);
            parsed = options.modes.empty() ? std::nullopt : std::optional<double>(0);
            for (const std::string &mode : options.modes)
                if (mode != "rollback" && mode != "wal" && mode != "wal-reconnect")
                    parsed = std::nullopt;
        } else if (arg == "--jobs-list") {
            options.jobs.clear();
            parsed = 0;
            for (const std::string &item : SplitList(value)) {
                const auto jobs = number(item.c_str(), 1, 64);
                if (!jobs || *jobs != static_cast<int>(*jobs))
                    parsed = std::nullopt;
                else
                    options.jobs.push_back(static_cast<int>(*jobs));
            }
            if (options.jobs.empty())
                parsed = std::nullopt;
        } else {
            std::fprintf(stderr, "live-host-soak: unknown option %s\n%s", arg.c_str(), kUsage);
            return std::nullopt;
        }
        if (!parsed) {
            std::fprintf(stderr, "live-host-soak: bad value for %s: %s\n", arg.c_str(), value);
            return std::nullopt;
        }
    }
    if (options.cli.empty()) {
        std::fprintf(stderr, "live-host-soak: --cli PATH is required\n%s", kUsage);
        return std::nullopt;
    }
    return options;
}

// This program's own path, to start the writer from.
std::string SelfPath(const char *argv0) {
    // The link itself, not its target: it still starts this program when a rebuild has replaced the
    // file meanwhile.
    std::error_code error;
    if (fs::exists("/proc/self/exe", error))
        return "/proc/self/exe";
    return fs::absolute(argv0).string();
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 1 && std::strcmp(argv[1], "--writer") == 0)
        return WriterMain(argc, argv);
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options)
        return 2;
    std::error_code error;
    if (!fs::is_regular_file(options->cli, error) || ::access(options->cli.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "live-host-soak: %s is not a program\n", options->cli.c_str());
        return 2;
    }
    struct sigaction stop {};
    stop.sa_handler = RequestStop;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return Soak(*options, SelfPath(argv[0])).run();
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "live-host-soak: %s\n", failure.what());
        return 1;
    }
}
