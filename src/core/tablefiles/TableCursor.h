#pragma once
// One open table file, walked in the order of the selected index: the current record and its
// fields. Runs of equal keys are read beside the walk by a RunReader; edits are gathered by a
// RecordEditor. Reading uses a read-only connection; the first write reopens the file for writing.
#include "engine/Variant.h"
#include "tablefiles/IndexSql.h"
#include "tablefiles/RecordEditor.h"
#include "tablefiles/RunReader.h"
#include "tablefiles/SqliteHandle.h"
#include "tablefiles/TableRead.h"
#include "tablefiles/TableSchema.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrelmont {

class TableCursor {
public:
    // Empty, with the reason, when the file is missing or not a table file.
    static std::unique_ptr<TableCursor> open(const std::string &filePath, std::string &reason);
    TableCursor(const TableCursor &) = delete;
    TableCursor &operator=(const TableCursor &) = delete;

    std::int64_t recordCount();
    // What tells this state of the file from any other (SqliteHandle::changeStamp).
    std::string changeStamp() const { return db_.changeStamp(); }
    // Selects the usable index whose key is the fields of `keyExpression`; false, with the reason
    // in Czech, when there is none.
    bool selectIndex(const std::string &keyExpression, std::string &whyNot);
    bool goTop();
    bool moveNext();
    // Positions on the first record whose leading index fields equal `keys`; false when there is none.
    bool seek(const std::vector<Variant> &keys);
    Variant value(const std::string &field);
    // The current record's identity, and a field of a record named by it: a walk can name a record
    // it has passed without reading it in advance.
    std::int64_t recordId();
    Variant valueOfRecord(std::int64_t recordId, const std::string &field);

    // The column of `field`; EngineError when the table has no such field.
    int requireColumn(const std::string &field) const;
    // The current record's field by column, without a Variant or a copy where the walk's own
    // statement holds it. The text stays valid until the cursor moves or reads another text.
    std::int32_t int32At(int column);
    std::string_view textAt(int column);
    // Where the field stands against a whole number in the order of an index: below 0 before it
    // (nothing stored sorts first), 0 equal, above 0 after it (texts sort after every number).
    int compareAt(int column, std::int64_t number);

    // From the next goTop on, the walk reads only its index's keys, not each record's identity:
    // what needs the identity (a field outside the index, recordId, a write) then walks again to
    // the current record, once, and goes on with identities.
    void walkKeysOnly(bool keysOnly) { keysOnly_ = keysOnly; }
    // For a walk from goTop that compares each record's keys with the record before it: `column`
    // of a record of the run of equal keys that ends with the current record. The run holds
    // `runLength` records (the current one included); `index` counts from its first (0). Read
    // beside the walk, on its state of the table, without moving it; the records of one run are
    // best read in ascending order.
    Variant valueInRun(int column, std::int64_t runLength, std::int64_t index);

    void append();
    void setValue(const std::string &field, const Variant &value);
    void post();
    void remove();

private:
    TableCursor(SqliteHandle db, TableSchema schema);
    IndexSql sql() const { return {schema_, index_}; }
    // The field as the active statement holds it, or null when it does not hold it.
    sqlite3_value *walkValueOf(int column) const;
    void activate(sqlite3_stmt *statement, bool withIds);
    void ensureIdentified();
    void noteOddKey() { recordsSinceOddKey_ = 0; }
    bool step(sqlite3_stmt *statement) { return StepRow(db_, statement); }
    void bind(sqlite3_stmt *statement, int position, const Variant &value);
    Variant fieldValue(int column, sqlite3_stmt *statement, int statementColumn);
    Variant valueAt(int column);
    Variant lookUpField(int column);
    Variant lookUpField(int column, std::int64_t rowid);
    std::vector<Variant> currentKeys();
    bool positionAfter(const std::vector<Variant> &keys, std::int64_t rowid);
    void ensureWritable();
    void dropStatements();
    [[noreturn]] void fail(const std::string &what) const { FailTable(db_, what); }

    SqliteHandle db_;
    bool writable_ = false;
    TableSchema schema_;
    const TableSchema::Index *index_ = nullptr; // null: stored order
    std::vector<int> keyPositions_;             // by column: its place among the selected index's keys, or -1
    std::string textBuffer_;                    // a text read by textAt that is not SQLite's own bytes

    SqliteStatement walk_;                         // all records in index order
    SqliteStatement keysWalk_;                     // the same without the records' identities
    SqliteStatement continue_;                     // records after a given one, in index order
    std::map<std::size_t, SqliteStatement> seeks_; // by number of key fields
    std::vector<SqliteStatement> fieldLookups_;    // by column
    SqliteStatement count_;
    sqlite3_stmt *active_ = nullptr; // the statement whose row is the current record, if any
    bool seeking_ = false;           // active_ holds only the records equal to a seek key
    std::optional<std::int64_t> current_;
    int keyOffset_ = 1;                    // where the keys start in active_ (after the rowid, if any)
    bool keysOnly_ = false;                // the next walk reads no identities
    bool unidentified_ = false;            // a current record whose identity the walk has not read
    std::optional<std::int64_t> position_; // the current record's place in the walk since goTop
    // Records moved over since a key read found a value that is not plainly an integer or UTF-8 text.
    std::int64_t recordsSinceOddKey_ = 0;

    RunReader runReader_;
    RecordEditor editor_;
};

} // namespace vrelmont
