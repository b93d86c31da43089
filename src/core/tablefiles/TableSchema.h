#pragma once
// What a table file holds: its one table, the fields and how they are declared, and the indexes
// with whether each gives the order the walks need. Read once, when the file is opened.
#include "tablefiles/SqliteHandle.h"

#include <optional>
#include <string>
#include <vector>

namespace vrelmont {

struct TableSchema {
    struct Index {
        std::string name;
        std::vector<int> columns;
        std::string unusable; // why its order is not the one the walks need; empty when it is
    };

    std::string table;
    std::vector<std::string> columns;
    std::vector<bool> integerColumns; // declared as integers: their values must fit 32 bits
    std::vector<bool> binaryColumns;  // declared without a collation of their own (or BINARY)
    std::vector<Index> indexes;

    // The schema of the table in the file at `filePath`; empty, with the reason in Czech, when the
    // file holds no table that can be walked. Throws what SQLite's failures throw.
    static std::optional<TableSchema> read(SqliteHandle &db, const std::string &filePath, std::string &reason);

    // The column of `field`, whatever its case; -1 when the table has no such field.
    int columnOf(const std::string &field) const;
};

} // namespace vrelmont
