#include "TestAgenda.h"

#include "checks/CheckList.h"
#include "engine/EngineError.h"
#include "tablefiles/SqliteHandle.h"
#include "writer/RecordWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vrelmont::testing {

TestAgenda::TestAgenda() {
    const auto base = std::filesystem::temp_directory_path() / "vrelmont-check-XXXXXX";
    std::string pattern = base.string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a directory like " + pattern);
    dir_ = pattern + "/";
}

TestAgenda::~TestAgenda() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void TestAgenda::ensureTable(const TableDef &table) {
    if (!std::filesystem::exists(tableFile(table.name)))
        CreateTableFile(tableFile(table.name), table);
}

void TestAgenda::createTable(const TableDef &table) {
    CreateTableFile(tableFile(table.name), table);
}

void TestAgenda::addStockItems(const std::vector<StockItem> &items) {
    ensureTable(StockItemsTable());
    RecordWriter writer(tableFile("SKSEZZAS"), StockItemsTable());
    for (const StockItem &item : items)
        writer.append({item.sklad, item.cislo, item.uzivCode, item.katalog, item.barCode, item.zkrat, item.popis});
    writer.commit();
}

void TestAgenda::addCards(const std::vector<MasterCard> &cards) {
    ensureTable(MasterCardsTable());
    RecordWriter writer(tableFile("SKKMKART"), MasterCardsTable());
    for (const MasterCard &card : cards)
        writer.append({card.cislo, card.uzivCode, card.katalog, card.barCode, card.zkrat, card.popis});
    writer.commit();
}

void TestAgenda::execSql(const std::string &table, const std::string &sql) {
    SqliteHandle::openReadWrite(tableFile(table)).exec(sql);
}

void TestAgenda::writeFile(const std::string &name, const std::string &bytes) const {
    std::ofstream file(dir_ + name, std::ios::binary);
    file << bytes;
    if (!file.flush())
        throw std::runtime_error("cannot write " + dir_ + name);
}

RunContext TestAgenda::context(const std::string &businessName) const {
    return {dir_, businessName, "14.05.2024"};
}

StockItem Stock(std::int32_t sklad, std::int32_t cislo) {
    StockItem item;
    item.sklad = sklad;
    item.cislo = cislo;
    return item;
}

MasterCard Card(std::int32_t cislo) {
    MasterCard card;
    card.cislo = cislo;
    return card;
}

CheckFixture::CheckFixture() : context(agenda.context()) {}

bool CheckFixture::run(int checkBox) {
    return RunCheck(checkBox, host, context, walkTable, lookupTable);
}

bool CheckFixture::isClosed(TBFTable &table) {
    try {
        table.RecordCount();
        return false;
    } catch (const EngineError &) {
        return true;
    }
}

std::vector<StockItem> StockItemsWithBarCode(int count, const std::string &barCode) {
    std::vector<StockItem> items;
    for (int i = 1; i <= count; ++i)
        items.push_back(Stock(1, i).withBarCode(barCode));
    return items;
}

} // namespace vrelmont::testing
