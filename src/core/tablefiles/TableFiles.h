#pragma once
// The layout of the host table files and their creation. The program itself only reads tables;
// creating them is for the data tools and the tests.
#include <string>
#include <vector>

namespace vrelmont {

enum class FieldType { Integer, Text, Any };

struct FieldDef {
    std::string name;
    FieldType type;
};

struct TableDef {
    std::string name;                              // also the name of the SQLite table inside the file
    std::vector<FieldDef> fields;                  // in stored order
    std::vector<std::vector<std::string>> indexes; // each the fields of one key, in key order
};

const TableDef &StockItemsTable();  // SKSEZZAS
const TableDef &MasterCardsTable(); // SKKMKART
const TableDef &SettingsTable();    // the host settings table (AGENDA.DAT)

// The file of table `name` in `directory`: directory + name + ".DAT".
std::string TableFilePath(const std::string &directory, const std::string &name);

// Creates an empty table file with the table and its indexes. Throws std::runtime_error naming the
// file when it already exists or cannot be created.
void CreateTableFile(const std::string &filePath, const TableDef &table);

// "Sklad+Cislo" -> {"Sklad", "Cislo"}; empty parts are kept so that callers can reject them.
std::vector<std::string> SplitKeyExpression(const std::string &keyExpression);

} // namespace vrelmont
