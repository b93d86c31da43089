#pragma once
// The record being edited in a table file: the fields set since append, or since the first
// setValue on the current record, until post writes them in one statement.
#include "engine/Variant.h"
#include "tablefiles/SqliteHandle.h"
#include "tablefiles/TableSchema.h"

#include <cstdint>
#include <map>

namespace vrelmont {

class RecordEditor {
public:
    bool editing() const { return editing_; }
    // A new record: its fields not set are empty, whatever the current record holds.
    bool appending() const { return editing_ && appending_; }

    void startAppend() { start(true); }
    void startEdit() { start(false); }
    void set(int column, const Variant &value) { pending_[column] = value; }
    // The value set for `column` while editing; null when none is.
    const Variant *pendingValue(int column) const;
    void cancel() {
        editing_ = false;
        pending_.clear();
    }

    // Writes the fields set: a new record, or over the record `recordId`. Answers the written
    // record's id and ends the editing. Throws EngineError naming the table.
    std::int64_t write(SqliteHandle &db, const TableSchema &schema, std::int64_t recordId);

private:
    void start(bool appending) {
        editing_ = true;
        appending_ = appending;
        pending_.clear();
    }

    bool editing_ = false;
    bool appending_ = false;
    std::map<int, Variant> pending_; // by column
};

} // namespace vrelmont
