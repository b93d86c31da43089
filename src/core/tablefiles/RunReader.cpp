#include "tablefiles/RunReader.h"

#include "tablefiles/TableRead.h"

namespace vrelmont {

RunReader::Place RunReader::locate(const IndexSql &sql, const TableSchema::Index &index, const Walk &walk, int column,
                                   std::int64_t runLength, std::int64_t recordIndex) {
    const std::int64_t first = walk.position - (runLength - 1);
    const std::int64_t wanted = first + recordIndex;
    const bool sameRun = statement_ && column_ == column && first_ == first && next_ <= wanted;
    if (!sameRun && walk.statement && walk.keysPlain) {
        // The run is exactly the records that store the current record's keys (the one before it
        // stores other keys): seek them.
        auto &seek = runSeeks_[static_cast<std::size_t>(column)];
        if (!seek)
            seek = db_.prepare(sql.runOf(column));
        if (statement_)
            sqlite3_reset(statement_);
        sqlite3_reset(seek.get());
        for (std::size_t i = 0; i < index.columns.size(); ++i) {
            const int code =
                sqlite3_bind_value(seek.get(), static_cast<int>(i + 1),
                                   sqlite3_column_value(walk.statement, static_cast<int>(i) + walk.keyOffset));
            if (code != SQLITE_OK)
                FailTableStep(db_, code);
        }
        sqlite3_bind_int64(seek.get(), static_cast<int>(index.columns.size() + 1), recordIndex);
        statement_ = seek.get();
        trailing_ = false;
    } else if (!sameRun) {
        // Keys that were read otherwise (converted, or not stored as their type) may make a run of
        // records that store different keys: a second walk with identities follows the first.
        if (statement_ && !trailing_)
            sqlite3_reset(statement_);
        if (!trail_)
            trail_ = db_.prepare(sql.orderedSelect(""));
        statement_ = trail_.get();
        trailing_ = true;
    }
    if (!sameRun) {
        column_ = column;
        first_ = first;
        next_ = wanted;
    }
    const std::int64_t steps = wanted - next_ + 1; // the next step reads record next_
    next_ = wanted + 1;
    if (trailing_) {
        if (trailPosition_ > wanted) {
            sqlite3_reset(trail_.get());
            trailPosition_ = -1;
        }
        for (; trailPosition_ < wanted; ++trailPosition_)
            if (!StepRow(db_, trail_.get()))
                FailTable(db_, "záznam již neexistuje");
        return {nullptr, sqlite3_column_int64(trail_.get(), 0)};
    }
    for (std::int64_t i = 0; i < steps; ++i)
        if (!StepRow(db_, statement_))
            FailTable(db_, "záznam již neexistuje");
    return {statement_, 0};
}

void RunReader::restart() {
    for (sqlite3_stmt *statement : {trail_.get(), statement_})
        if (statement)
            sqlite3_reset(statement);
    statement_ = nullptr;
    trailPosition_ = -1;
}

void RunReader::drop() {
    statement_ = nullptr;
    trailPosition_ = -1;
    for (auto &seek : runSeeks_)
        seek = {};
    trail_ = {};
}

} // namespace vrelmont
