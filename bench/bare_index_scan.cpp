// The floor for the check run: the same fifteen walks written directly against SQLite, with no
// engine layer. Each duplicate-key walk steps over its covering index and compares every key with
// the one before; the missing-card walk merges the two number indexes; the undescribed walks stop
// at the first description. Prints the findings counted and the CPU time.
//
// With --numbers it also reads what the report's lines name and the walks do not hold: the number
// (Cislo) of each record that a text-key walk finds. The cheapest raw way found: at a run's second
// record, seek the run's keys in the same index and read on in step with the walk (reading a rowid
// with every key costs more). That is the least a raw scan pays for the lines; the figure without
// it is the floor of the walks. The records without a description come in rowid order, so they are
// read by rowid.
//
// With --numbers-in-order it reads the same numbers in rowid order instead: the run seek reads only
// the rowids (the index holds them), and every 32,768 of them, and at the end of a walk, they are
// sorted and their numbers read by rowid. That is the floor of a scan that orders its reads while
// holding no more than a fixed number of findings.
//
// Usage: vrelmont-bench-bare-scan AGENDA_DIR [--numbers | --numbers-in-order]
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

sqlite3 *OpenReadOnly(const std::string &path) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bare-scan: cannot open %s: %s\n", path.c_str(), sqlite3_errmsg(db));
        std::exit(1);
    }
    return db;
}

sqlite3_stmt *Prepare(sqlite3 *db, const std::string &sql) {
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bare-scan: %s: %s\n", sql.c_str(), sqlite3_errmsg(db));
        std::exit(1);
    }
    return statement;
}

std::string_view TextAt(sqlite3_stmt *statement, int column) {
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return {bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

// The sum of the numbers read, which keeps the reads from being optimised away.
std::int64_t numbersRead = 0;

// Reads the number of the record a rowid names.
class NumberByRowid {
public:
    NumberByRowid(sqlite3 *db, const char *table)
        : lookup_(Prepare(db, std::string("SELECT Cislo FROM ") + table + " WHERE rowid = ?")) {}
    ~NumberByRowid() { sqlite3_finalize(lookup_); }
    void read(std::int64_t rowid) {
        sqlite3_reset(lookup_);
        sqlite3_bind_int64(lookup_, 1, rowid);
        if (sqlite3_step(lookup_) == SQLITE_ROW)
            numbersRead += sqlite3_column_int64(lookup_, 0);
    }

private:
    sqlite3_stmt *lookup_;
};

enum class Numbers { None, InWalkOrder, InRowidOrder };

// Reads the numbers of a run of equal keys in the walk's order: the run's keys are sought once, at
// its second record, and every later record of the run is the seek's next row. In rowid order the
// seek reads the rowids alone and the numbers are read by them, a batch at a time, sorted.
class NumbersOfRun {
public:
    NumbersOfRun(sqlite3 *db, const char *table, const std::string &keys, const std::string &sameKeys, int keyCount,
                 Numbers order)
        : seek_(Prepare(db, std::string("SELECT ") + (order == Numbers::InRowidOrder ? "rowid" : "Cislo") + " FROM " +
                                table + " WHERE " + sameKeys + " ORDER BY " + keys + ", rowid LIMIT -1 OFFSET 1")),
          keyCount_(keyCount) {
        if (order == Numbers::InRowidOrder)
            byRowid_.emplace(db, table);
    }
    ~NumbersOfRun() { sqlite3_finalize(seek_); }
    // The walk stands on the run's record `index` (1 for the second).
    void read(sqlite3_stmt *walk, std::int64_t index) {
        if (index == 1) {
            sqlite3_reset(seek_);
            for (int k = 0; k < keyCount_; ++k)
                sqlite3_bind_value(seek_, k + 1, sqlite3_column_value(walk, k));
        }
        if (sqlite3_step(seek_) != SQLITE_ROW)
            return;
        if (!byRowid_) {
            numbersRead += sqlite3_column_int64(seek_, 0);
            return;
        }
        pending_.push_back(sqlite3_column_int64(seek_, 0));
        if (pending_.size() == kBatch)
            readPending();
    }
    // Before the walk ends, while it still holds the snapshot the rowids come from.
    void readPending() {
        std::sort(pending_.begin(), pending_.end());
        for (const std::int64_t rowid : pending_)
            byRowid_->read(rowid);
        pending_.clear();
    }

private:
    static constexpr std::size_t kBatch = 32768;
    sqlite3_stmt *seek_;
    int keyCount_;
    std::optional<NumberByRowid> byRowid_; // in rowid order only
    std::vector<std::int64_t> pending_;
};

// Rows whose key equals the row before: `warehouse` adds a leading integer key, `text` makes the
// last key a text that counts only when not empty (unless `emptyCounts`). `numbers`: how a text key's
// finding reads its record's number.
std::int64_t CountRepeats(sqlite3 *db, const char *table, const char *field, bool warehouse, bool text,
                          bool emptyCounts, Numbers numbers = Numbers::None) {
    const std::string keys = warehouse ? std::string("Sklad, ") + field : field;
    const bool readsNumbers = numbers != Numbers::None && text;
    sqlite3_stmt *walk = Prepare(db, "SELECT " + keys + " FROM " + table + " ORDER BY " + keys + ", rowid");
    const int last = warehouse ? 1 : 0;
    // The walks-only floor prepares nothing it does not use.
    std::optional<NumbersOfRun> reader;
    if (readsNumbers)
        reader.emplace(db, table, keys,
                       warehouse ? std::string("Sklad IS ?1 AND ") + field + " IS ?2" : std::string(field) + " IS ?1",
                       last + 1, numbers);
    std::int64_t findings = 0, previousWarehouse = 0, previousNumber = 0, runIndex = 0;
    std::string previousText;
    bool first = true;
    while (sqlite3_step(walk) == SQLITE_ROW) {
        const std::int64_t store = warehouse ? sqlite3_column_int64(walk, 0) : 0;
        bool same = !first && store == previousWarehouse;
        if (text) {
            const std::string_view value = TextAt(walk, last);
            same = same && value == previousText && (emptyCounts || !value.empty());
            if (!same)
                previousText.assign(value);
        } else {
            const std::int64_t number = sqlite3_column_int64(walk, last);
            same = same && number == previousNumber;
            previousNumber = number;
        }
        findings += same;
        runIndex = same ? runIndex + 1 : 0;
        if (same && reader)
            reader->read(walk, runIndex);
        previousWarehouse = store;
        first = false;
    }
    if (reader)
        reader->readPending();
    sqlite3_finalize(walk);
    return findings;
}

// Stock items whose number no card has: both number indexes walked once, side by side.
std::int64_t CountMissingCards(sqlite3 *stock, sqlite3 *cards) {
    sqlite3_stmt *items = Prepare(stock, "SELECT Cislo FROM SKSEZZAS ORDER BY Cislo, rowid");
    sqlite3_stmt *numbers = Prepare(cards, "SELECT Cislo FROM SKKMKART ORDER BY Cislo, rowid");
    std::int64_t findings = 0;
    bool haveCard = sqlite3_step(numbers) == SQLITE_ROW;
    while (sqlite3_step(items) == SQLITE_ROW) {
        const std::int64_t number = sqlite3_column_int64(items, 0);
        while (haveCard && sqlite3_column_int64(numbers, 0) < number)
            haveCard = sqlite3_step(numbers) == SQLITE_ROW;
        findings += !(haveCard && sqlite3_column_int64(numbers, 0) == number);
    }
    sqlite3_finalize(items);
    sqlite3_finalize(numbers);
    return findings;
}

std::int64_t CountUndescribed(sqlite3 *db, const char *table, bool numbers) {
    sqlite3_stmt *walk = Prepare(db, std::string("SELECT Popis, rowid FROM ") + table + " ORDER BY Popis, rowid");
    std::optional<NumberByRowid> reader;
    if (numbers)
        reader.emplace(db, table);
    std::int64_t findings = 0;
    while (sqlite3_step(walk) == SQLITE_ROW && sqlite3_column_bytes(walk, 0) == 0) {
        ++findings;
        if (reader)
            reader->read(sqlite3_column_int64(walk, 1));
    }
    sqlite3_finalize(walk);
    return findings;
}

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char **argv) {
    Numbers numbers = Numbers::None;
    if (argc == 3 && std::strcmp(argv[2], "--numbers") == 0)
        numbers = Numbers::InWalkOrder;
    else if (argc == 3 && std::strcmp(argv[2], "--numbers-in-order") == 0)
        numbers = Numbers::InRowidOrder;
    if (argc != 2 && numbers == Numbers::None) {
        std::fprintf(stderr, "usage: %s AGENDA_DIR [--numbers | --numbers-in-order]\n", argv[0]);
        return 2;
    }
    const bool readsNumbers = numbers != Numbers::None;
    const std::string agenda = std::string(argv[1]) + "/";
    const double cpuStart = CpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    sqlite3 *stock = OpenReadOnly(agenda + "SKSEZZAS.DAT");
    sqlite3 *cards = OpenReadOnly(agenda + "SKKMKART.DAT");

    std::int64_t findings = CountRepeats(stock, "SKSEZZAS", "Cislo", true, false, false);
    findings += CountRepeats(cards, "SKKMKART", "Cislo", false, false, false);
    findings += CountMissingCards(stock, cards);
    findings += CountUndescribed(cards, "SKKMKART", readsNumbers);
    findings += CountUndescribed(stock, "SKSEZZAS", readsNumbers);
    for (const char *field : {"UzivCode", "Katalog", "BarCode", "Zkrat", "Popis"}) {
        const bool descriptions = std::strcmp(field, "Popis") == 0;
        findings += CountRepeats(cards, "SKKMKART", field, false, true, descriptions, numbers);
        findings += CountRepeats(stock, "SKSEZZAS", field, true, true, descriptions, numbers);
    }
    sqlite3_close(stock);
    sqlite3_close(cards);

    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("findings=%lld cpu_s=%.3f wall_s=%.3f\n", static_cast<long long>(findings), CpuSeconds() - cpuStart,
                wall);
    if (readsNumbers)
        std::printf("numbers_read_sum=%lld\n", static_cast<long long>(numbersRead));
    return 0;
}
