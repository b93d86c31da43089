#include "tablefiles/TableFiles.h"

#include "platform/FileIo.h"
#include "tablefiles/SqliteHandle.h"

#include <stdexcept>

namespace vrelmont {
namespace {

std::vector<FieldDef> stockFields() {
    return {{"Sklad", FieldType::Integer}, {"Cislo", FieldType::Integer}, {"UzivCode", FieldType::Text},
            {"Katalog", FieldType::Text},  {"BarCode", FieldType::Text},  {"Zkrat", FieldType::Text},
            {"Popis", FieldType::Text}};
}

std::string columnSql(const FieldDef &field) {
    switch (field.type) {
    case FieldType::Integer:
        return QuoteSqlName(field.name) + " INTEGER NOT NULL DEFAULT 0";
    case FieldType::Text:
        return QuoteSqlName(field.name) + " TEXT NOT NULL DEFAULT ''";
    case FieldType::Any:
        break;
    }
    return QuoteSqlName(field.name);
}

} // namespace

const TableDef &StockItemsTable() {
    static const TableDef table{"SKSEZZAS",
                                stockFields(),
                                {{"Cislo"},
                                 {"Sklad", "Cislo"},
                                 {"Sklad", "UzivCode"},
                                 {"Sklad", "Katalog"},
                                 {"Sklad", "BarCode"},
                                 {"Sklad", "Zkrat"},
                                 {"Sklad", "Popis"},
                                 {"Popis"}}};
    return table;
}

const TableDef &MasterCardsTable() {
    static const TableDef table{"SKKMKART",
                                {{"Cislo", FieldType::Integer},
                                 {"UzivCode", FieldType::Text},
                                 {"Katalog", FieldType::Text},
                                 {"BarCode", FieldType::Text},
                                 {"Zkrat", FieldType::Text},
                                 {"Popis", FieldType::Text}},
                                {{"Cislo"}, {"UzivCode"}, {"Katalog"}, {"BarCode"}, {"Zkrat"}, {"Popis"}}};
    return table;
}

const TableDef &SettingsTable() {
    static const TableDef table{"AGENDA",
                                {{"Section1", FieldType::Text},
                                 {"Variable", FieldType::Text},
                                 {"TypeVar", FieldType::Text},
                                 {"Value", FieldType::Any}},
                                {{"Section1", "Variable"}}};
    return table;
}

std::string TableFilePath(const std::string &directory, const std::string &name) {
    return directory + name + ".DAT";
}

void CreateTableFile(const std::string &filePath, const TableDef &table) {
    if (PathExists(filePath))
        throw std::runtime_error("Soubor tabulky již existuje: " + filePath);
    std::string sql = "PRAGMA journal_mode=DELETE; CREATE TABLE " + QuoteSqlName(table.name) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        sql += (i ? ", " : "") + columnSql(table.fields[i]);
    sql += ");";
    for (const auto &key : table.indexes) {
        std::string name = table.name, columns;
        for (std::size_t i = 0; i < key.size(); ++i) {
            name += "_" + key[i];
            columns += (i ? ", " : "") + QuoteSqlName(key[i]);
        }
        sql += "CREATE INDEX " + QuoteSqlName(name) + " ON " + QuoteSqlName(table.name) + " (" + columns + ");";
    }
    SqliteHandle db = SqliteHandle::create(filePath);
    db.exec(sql);
}

std::vector<std::string> SplitKeyExpression(const std::string &keyExpression) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto plus = keyExpression.find('+', start);
        parts.push_back(keyExpression.substr(start, plus - start));
        if (plus == std::string::npos)
            return parts;
        start = plus + 1;
    }
}

} // namespace vrelmont
