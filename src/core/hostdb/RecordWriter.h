#pragma once
// Appends records to an existing table file in one transaction: all of them or none.
#include "hostdb/SqliteHandle.h"
#include "hostdb/TableFiles.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vrelmont {

using FieldValue = std::variant<std::int32_t, std::string>;

class RecordWriter {
public:
    enum class Mode {
        // The file's own journal protects it; a failure or a crash leaves it as it was.
        Safe,
        // For a file that is being built in a staging directory and is thrown away on failure:
        // no journal, indexes dropped while appending and built again by commit().
        Bulk
    };

    // Opens the table file for writing and starts the transaction. Throws std::runtime_error
    // naming the file when it cannot be opened or does not hold `table`.
    RecordWriter(const std::string &filePath, const TableDef &table, Mode mode = Mode::Safe);
    // Rolls back whatever was not committed.
    ~RecordWriter();
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    // One value per field of the table, in the table's field order; each of the field's type.
    void append(const std::vector<FieldValue> &record);
    // Removes every record of the table within the same transaction: with commit() the appended
    // records replace the old ones, without it the table stays as it was.
    void removeAllRecords();
    void commit();

    std::int64_t appendedCount() const { return appended_; }
    const std::string &filePath() const { return db_.path(); }

private:
    void bind(int parameter, const FieldDef &field, const FieldValue &value);

    const TableDef &table_;
    Mode mode_;
    SqliteHandle db_;
    SqliteStatement insert_;
    std::vector<std::string> droppedIndexSql_;
    std::int64_t appended_ = 0;
    bool open_ = false;
};

// The position of a field in the table's field order; throws std::logic_error for an unknown name.
std::size_t FieldPosition(const TableDef &table, const std::string &fieldName);

} // namespace vrelmont
