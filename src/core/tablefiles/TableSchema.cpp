#include "tablefiles/TableSchema.h"

#include "platform/Utf8Path.h"
#include "text/TextFold.h"

#include <cctype>
#include <utility>

namespace vrelmont {
namespace {

// The indexes whose keys are plain table columns in ascending, byte-wise order: only those give
// the order the checks rely on. Empty when usable; otherwise why not, in Czech.
std::string readIndex(SqliteHandle &db, const std::string &name, std::vector<int> &columns) {
    auto info = db.prepare("PRAGMA index_xinfo(" + QuoteSqlName(name) + ")");
    std::string unusable;
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        if (sqlite3_column_int(info.get(), 5) == 0)
            continue; // the rowid and other auxiliary columns
        const int column = sqlite3_column_int(info.get(), 1);
        const std::string collation = ColumnText(info.get(), 4);
        if (column < 0 && unusable.empty())
            unusable = "klíč obsahuje výraz, ne pole";
        else if (sqlite3_column_int(info.get(), 3) != 0 && unusable.empty())
            unusable = "řadí sestupně";
        else if (collation != "BINARY" && unusable.empty())
            unusable = "řadí texty porovnáním " + collation + ", ne bajt po bajtu";
        columns.push_back(column);
    }
    return columns.empty() && unusable.empty() ? std::string("nemá klíč") : unusable;
}

std::string chooseTable(SqliteHandle &db, const std::string &filePath, std::string &reason) {
    auto tables = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
    std::vector<std::string> names;
    while (sqlite3_step(tables.get()) == SQLITE_ROW)
        names.push_back(ColumnText(tables.get(), 0));
    if (names.size() == 1)
        return names.front();
    const auto stem = Utf8FromPath(PathFromUtf8(filePath).stem());
    for (const auto &name : names)
        if (SameNameIgnoringCase(name, stem))
            return name;
    reason = names.empty() ? "soubor neobsahuje žádnou tabulku"
                           : "soubor obsahuje více tabulek a žádná se nejmenuje " + stem;
    return {};
}

} // namespace

std::optional<TableSchema> TableSchema::read(SqliteHandle &db, const std::string &filePath, std::string &reason) {
    TableSchema schema;
    schema.table = chooseTable(db, filePath, reason);
    if (schema.table.empty())
        return std::nullopt;
    auto info = db.prepare("PRAGMA table_info(" + QuoteSqlName(schema.table) + ")");
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        schema.columns.push_back(ColumnText(info.get(), 1));
        // SQLite's own rule for a column of integer affinity.
        std::string type = ColumnText(info.get(), 2);
        for (char &c : type)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        schema.integerColumns.push_back(type.find("INT") != std::string::npos);
        const char *collation = nullptr;
        sqlite3_table_column_metadata(db.get(), nullptr, schema.table.c_str(), schema.columns.back().c_str(), nullptr,
                                      &collation, nullptr, nullptr, nullptr);
        schema.binaryColumns.push_back(!collation || SameNameIgnoringCase(collation, "BINARY"));
    }
    sqlite3_stmt *probe = nullptr;
    const std::string probeSql = "SELECT rowid FROM " + QuoteSqlName(schema.table) + " LIMIT 0";
    const int probed = sqlite3_prepare_v2(db.get(), probeSql.c_str(), -1, &probe, nullptr);
    sqlite3_finalize(probe);
    if (probed != SQLITE_OK) {
        reason = "tabulka " + schema.table + " nemá čísla záznamů (WITHOUT ROWID)";
        return std::nullopt;
    }
    auto list = db.prepare("PRAGMA index_list(" + QuoteSqlName(schema.table) + ")");
    while (sqlite3_step(list.get()) == SQLITE_ROW) {
        Index index{ColumnText(list.get(), 1), {}, {}};
        index.unusable = readIndex(db, index.name, index.columns);
        // A partial index does not hold every record.
        if (index.unusable.empty() && sqlite3_column_int(list.get(), 4) != 0)
            index.unusable = "nezahrnuje všechny záznamy (WHERE)";
        schema.indexes.push_back(std::move(index));
    }
    return schema;
}

int TableSchema::columnOf(const std::string &field) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (SameNameIgnoringCase(columns[i], field))
            return static_cast<int>(i);
    return -1;
}

} // namespace vrelmont
