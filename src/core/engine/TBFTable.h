#pragma once
// Table component: one table of the host data, walked in the order of one of its indexes.
// It connects on its first operation to the backend the process has chosen (TableBackend.h): our
// table files (a table T in directory D is the SQLite file D/T.DAT) or the host's COM engine.
// Status answers: 0 done, 7 found, 1 no further record. Errors of the engine itself are thrown as
// EngineError.
#include "engine/Engine.h"
#include "engine/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vrelmont {

inline constexpr std::int32_t kAnswerDone = 0;
inline constexpr std::int32_t kAnswerNoFurtherRecord = 1;
inline constexpr std::int32_t kAnswerFailed = 2;
inline constexpr std::int32_t kAnswerFound = 7;
inline constexpr std::int32_t kAnswerNotFound = 8;

class TableBackend;

// A field of the open table, resolved by name once so that a walk reads it at the cost of a column
// read. Valid until the table is closed or another is opened.
class FieldHandle {
public:
    FieldHandle() = default;

private:
    friend class TBFTable;
    FieldHandle(int field, std::uint64_t table) : field_(field), table_(table) {}
    int field_ = -1; // the backend's number for the field

    std::uint64_t table_ = 0;
};

class TBFTable {
public:
    TBFTable();
    ~TBFTable();
    TBFTable(const TBFTable &) = delete;
    TBFTable &operator=(const TBFTable &) = delete;

    // 0 = opened. Opens `path` when it names an existing file, else `path` + ".DAT"; read-only.
    std::int32_t OpenTable(const Variant &path);
    // Closes the table; accepts a table that is not open or failed to open.
    void CloseTable();
    std::int32_t RecordCount();
    // 0 when the table holds no record (nothing current), else 1 (the first record is current).
    std::int32_t GoTop();
    std::int32_t MoveNext();
    std::int32_t PostRecord();
    void SetValue(const std::string &field, const Variant &value);
    // Seeks the first record whose first key field equals `key` in the selected index: 7 = found and current.
    std::int32_t SeekKey(const Variant &key);
    void AppendRecord();
    std::int32_t DeleteRecord();
    // Selects the index whose key is the fields named in `keyExpression` ("Sklad+Cislo"), in that order.
    std::int32_t SetIndex(const std::string &keyExpression);
    // Seeks the first record whose first two key fields equal the pair: 7 = found and current.
    std::int32_t SeekKeyPair(const Variant &first, const Variant &second);
    std::string QueryGuid(const std::string &guid);

    // The current record's field; EngineError for an unknown field or no current record.
    Variant Value(const std::string &field);
    // The current record's identity; valueOfRecord reads a field of the record it names, later,
    // without moving the walk. EngineError when there is no current record or no such record.
    std::int64_t recordId();
    Variant valueOfRecord(std::int64_t recordId, const std::string &field);
    // Whether the engine can name records (recordId); the host's engine cannot.
    bool namesRecords();
    // Whether a walk merged with ascending keys beats a seek per key; not through the host's engine,
    // where each step of a walk costs calls as a seek does.
    bool mergeBeatsSeek();

    // The walks' way to Value: the name resolved once (EngineError for an unknown field), then
    // each read without a Variant. A text read stays valid until the next move or text read.
    FieldHandle fieldHandle(const std::string &field);
    std::int32_t int32Value(FieldHandle field);
    std::string_view textValue(FieldHandle field);
    // Where the field stands against `number` in index order: below 0 before, 0 equal, above 0 after.
    // Lets a walk over a number index be merged with an ascending series of numbers.
    int compareValue(FieldHandle field, std::int32_t number);

    // For a walk that compares each record's keys with the record before it and reads other fields
    // only for the runs of equal keys it finds: from the next GoTop, the walk reads the index's keys
    // alone, which costs less per record. Answers false when the backend has no such walk; the walk
    // then stays as it is and Int32ValueInRun is not available.
    bool walkKeysOnly();
    // `field` of a record of the run of equal keys that ends with the current record, read beside
    // the walk without moving it: the run holds `runLength` records (the current one included) and
    // `index` counts from its first (0). Reads of one run are cheapest in ascending order.
    std::int32_t Int32ValueInRun(FieldHandle field, std::int64_t runLength, std::int64_t index);

    bool isConnected() const { return backend_ != nullptr; }
    // Why the last OpenTable failed (the file and the reason), for diagnostics.
    std::string lastOpenError() const;

private:
    TableBackend &backend() { return backend_ ? *backend_ : connect(); }
    TableBackend &connect();
    int fieldOf(FieldHandle field) const;

    // Kept until the component is destroyed; CloseTable does not release it.
    std::unique_ptr<TableBackend> backend_;
    // The table last opened and the key expression SetIndex failed on, to say which when the
    // backend cannot.
    std::string openedPath_;
    std::string failedIndex_;
    std::uint64_t openedTables_ = 0; // tells a handle of an earlier table from one of this
};

} // namespace vrelmont
