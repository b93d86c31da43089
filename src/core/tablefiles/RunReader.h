#pragma once
// Reads the records of a run of equal keys that ends with a walk's current record, beside the walk
// and on its state of the table, without moving it. Where every key of the run was read as plainly
// stored, the run is exactly the records that store the current record's keys, and a seek on them
// reads it; otherwise a second walk trails the first.
#include "tablefiles/IndexSql.h"
#include "tablefiles/SqliteHandle.h"
#include "tablefiles/TableSchema.h"

#include <cstdint>
#include <vector>

namespace vrelmont {

class RunReader {
public:
    // What the walk is standing on.
    struct Walk {
        sqlite3_stmt *statement; // the walk's statement, on the current record; null when it holds none
        int keyOffset;           // where the keys start in its row
        std::int64_t position;   // the current record's place in the walk (0: the first)
        bool keysPlain;          // the run's keys were all read as plainly stored
    };
    // Where a record of the run is: column 0 of `statement`'s row, or the record `recordId` (when
    // `statement` is null).
    struct Place {
        sqlite3_stmt *statement = nullptr;
        std::int64_t recordId = 0;
    };

    // `db` belongs to the cursor and outlives this reader; `schema` is the table's.
    RunReader(SqliteHandle &db, const TableSchema &schema) : db_(db), runSeeks_(schema.columns.size()) {}
    RunReader(const RunReader &) = delete;
    RunReader &operator=(const RunReader &) = delete;

    // Record `index` (0: the first) of the run of `runLength` records that ends with the walk's
    // current record, for reading `column`; the records of one run are best read in ascending order.
    // The caller has made sure that the run lies within the walk.
    Place locate(const IndexSql &sql, const TableSchema::Index &index, const Walk &walk, int column,
                 std::int64_t runLength, std::int64_t recordIndex);
    // A new walk begins: the statements start again.
    void restart();
    // The statements are let go (another index, or another connection).
    void drop();

private:
    SqliteHandle &db_;
    std::vector<SqliteStatement> runSeeks_; // by column
    SqliteStatement trail_;
    std::int64_t trailPosition_ = -1; // the walk position trail_ stands on
    // The run being read.
    sqlite3_stmt *statement_ = nullptr;
    int column_ = -1;
    std::int64_t first_ = -1; // the walk position of the run's first record
    std::int64_t next_ = 0;   // the walk position of the record the next step reads
    bool trailing_ = false;
};

} // namespace vrelmont
