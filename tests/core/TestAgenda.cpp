#include "TestAgenda.h"

#include "checks/AbortFlag.h"
#include "checks/CheckList.h"
#include "hostdb/EngineError.h"
#include "location/CurrentAgenda.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vrelmont::testing {
namespace {

class Database {
public:
    explicit Database(const std::string &path)
    {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~Database() { sqlite3_close_v2(db_); }
    void exec(const std::string &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + message);
        }
    }
    sqlite3_stmt *prepare(const std::string &sql)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        return statement;
    }
    void step(sqlite3_stmt *statement)
    {
        if (sqlite3_step(statement) != SQLITE_DONE)
            throw std::runtime_error(std::string("insert: ") + sqlite3_errmsg(db_));
        sqlite3_reset(statement);
    }

private:
    sqlite3 *db_ = nullptr;
};

void BindText(sqlite3_stmt *statement, int position, const std::string &text)
{
    sqlite3_bind_text(statement, position, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

} // namespace

TestAgenda::TestAgenda()
{
    const auto base = std::filesystem::temp_directory_path() / "vrelmont-check-XXXXXX";
    std::string pattern = base.string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a directory like " + pattern);
    dir_ = pattern + "/";
}

TestAgenda::~TestAgenda()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void TestAgenda::ensureTable(const TableDef &table)
{
    if (!std::filesystem::exists(tableFile(table.name)))
        CreateTableFile(tableFile(table.name), table);
}

void TestAgenda::createTable(const TableDef &table)
{
    CreateTableFile(tableFile(table.name), table);
}

void TestAgenda::addStockItems(const std::vector<StockItem> &items)
{
    ensureTable(StockItemsTable());
    Database db(tableFile("SKSEZZAS"));
    db.exec("BEGIN");
    sqlite3_stmt *insert = db.prepare("INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const StockItem &item : items) {
        sqlite3_bind_int(insert, 1, item.sklad);
        sqlite3_bind_int(insert, 2, item.cislo);
        BindText(insert, 3, item.uzivCode);
        BindText(insert, 4, item.katalog);
        BindText(insert, 5, item.barCode);
        BindText(insert, 6, item.zkrat);
        BindText(insert, 7, item.popis);
        db.step(insert);
    }
    sqlite3_finalize(insert);
    db.exec("COMMIT");
}

void TestAgenda::addCards(const std::vector<MasterCard> &cards)
{
    ensureTable(MasterCardsTable());
    Database db(tableFile("SKKMKART"));
    db.exec("BEGIN");
    sqlite3_stmt *insert =
        db.prepare("INSERT INTO SKKMKART (Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) VALUES (?, ?, ?, ?, ?, ?)");
    for (const MasterCard &card : cards) {
        sqlite3_bind_int(insert, 1, card.cislo);
        BindText(insert, 2, card.uzivCode);
        BindText(insert, 3, card.katalog);
        BindText(insert, 4, card.barCode);
        BindText(insert, 5, card.zkrat);
        BindText(insert, 6, card.popis);
        db.step(insert);
    }
    sqlite3_finalize(insert);
    db.exec("COMMIT");
}

void TestAgenda::execSql(const std::string &table, const std::string &sql)
{
    Database(tableFile(table)).exec(sql);
}

void TestAgenda::writeFile(const std::string &name, const std::string &bytes) const
{
    std::ofstream file(dir_ + name, std::ios::binary);
    file << bytes;
    if (!file.flush())
        throw std::runtime_error("cannot write " + dir_ + name);
}

void TestAgenda::select(const std::string &businessName) const
{
    AgendaTablePath = dir_;
    AgendaName = businessName;
}

StockItem Stock(std::int32_t sklad, std::int32_t cislo)
{
    StockItem item;
    item.sklad = sklad;
    item.cislo = cislo;
    return item;
}

MasterCard Card(std::int32_t cislo)
{
    MasterCard card;
    card.cislo = cislo;
    return card;
}

CheckFixture::CheckFixture()
{
    AbortRequested = 0;
    agenda.select();
}

CheckFixture::~CheckFixture()
{
    AbortRequested = 0;
    AgendaTablePath.clear();
    AgendaName.clear();
}

bool CheckFixture::run(int checkBox)
{
    return RunCheck(checkBox, host, BFTable1, BFTable2);
}

bool CheckFixture::isClosed(TBFTable &table)
{
    try {
        table.RecordCount();
        return false;
    } catch (const EngineError &) {
        return true;
    }
}

std::vector<StockItem> StockItemsWithBarCode(int count, const std::string &barCode)
{
    std::vector<StockItem> items;
    for (int i = 1; i <= count; ++i)
        items.push_back(Stock(1, i).withBarCode(barCode));
    return items;
}

} // namespace vrelmont::testing
