#pragma once
// A throw-away agenda directory with host tables built record by record, for the check tests.
#include "FakeRunHost.h"
#include "checks/RunContext.h"
#include "engine/TBFTable.h"
#include "tablefiles/TableFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vrelmont::testing {

// The text fields of a record; a description unless told otherwise.
template <typename Record> struct TextFields {
    std::string uzivCode;
    std::string katalog;
    std::string barCode;
    std::string zkrat;
    std::string popis = "popis";

    Record &withPlu(std::string value) { return set(uzivCode, std::move(value)); }
    Record &withKatalog(std::string value) { return set(katalog, std::move(value)); }
    Record &withBarCode(std::string value) { return set(barCode, std::move(value)); }
    Record &withZkrat(std::string value) { return set(zkrat, std::move(value)); }
    Record &withPopis(std::string value) { return set(popis, std::move(value)); }

private:
    Record &set(std::string &field, std::string value) {
        field = std::move(value);
        return static_cast<Record &>(*this);
    }
};

struct StockItem : TextFields<StockItem> {
    std::int32_t sklad = 1;
    std::int32_t cislo = 0;
};

struct MasterCard : TextFields<MasterCard> {
    std::int32_t cislo = 0;
};

// Stock item `cislo` in warehouse `sklad`; master card `cislo`.
StockItem Stock(std::int32_t sklad, std::int32_t cislo);
MasterCard Card(std::int32_t cislo);

class TestAgenda {
public:
    TestAgenda();
    ~TestAgenda();
    TestAgenda(const TestAgenda &) = delete;
    TestAgenda &operator=(const TestAgenda &) = delete;

    // The directory, ending in the directory separator.
    const std::string &dir() const { return dir_; }
    std::string tableFile(const std::string &table) const { return TableFilePath(dir_, table); }

    // Records are stored in the order given; the table file is created on first use.
    void addStockItems(const std::vector<StockItem> &items);
    void addCards(const std::vector<MasterCard> &cards);
    void createStockItems() { ensureTable(StockItemsTable()); }
    void createCards() { ensureTable(MasterCardsTable()); }
    // A table with its own layout, e.g. without the index a check needs.
    void createTable(const TableDef &table);
    // Runs SQL on a table file, for records no check expects (a number stored as text, say).
    void execSql(const std::string &table, const std::string &sql);
    void writeFile(const std::string &name, const std::string &bytes) const;

    // What a run over this agenda is handed.
    RunContext context(const std::string &businessName = "Testovací firma") const;

private:
    void ensureTable(const TableDef &table);

    std::string dir_;
};

// One check run on its own over a fresh agenda, with the flag cleared.
class CheckFixture : public ::testing::Test {
protected:
    CheckFixture();
    // Runs the check that CheckBox`checkBox` enables.
    bool run(int checkBox);
    // The report lines after the check's header block.
    std::vector<std::string> findings() const { return host.linesFrom(4); }
    // Whether walkTable / lookupTable are closed: a closed table refuses every operation.
    static bool isClosed(TBFTable &table);

    TestAgenda agenda;
    FakeRunHost host;
    TBFTable walkTable;
    TBFTable lookupTable;
    RunContext context;
};

// `count` stock items in warehouse 1 numbered 1..count, each with the same bar code.
std::vector<StockItem> StockItemsWithBarCode(int count, const std::string &barCode);

} // namespace vrelmont::testing
