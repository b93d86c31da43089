#pragma once
// Appends records to an existing table file in one transaction: all of them or none. An append
// that is killed, or that fails on a full disk, leaves the table file exactly as it was and leaves
// nothing beside it that would stop a reader.
#include "platform/ReplacementCopy.h"
#include "tablefiles/SqliteHandle.h"
#include "tablefiles/TableFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vrelmont {

using FieldValue = std::variant<std::int32_t, std::string>;

class RecordWriter {
public:
    enum class Mode {
        // A table with a rollback journal is copied beside itself under a hidden name, the copy is
        // appended to and then renamed over the table: the table file is never written in place, so
        // no journal of it is left by a crash. The table stays locked for other writers meanwhile.
        // A table in write-ahead-log mode is appended to in place: its log already protects it.
        // On Windows every table is appended to in place, its rollback journal keeping it all or nothing.
        Safe,
        // For a file that is being built in a staging directory and is thrown away on failure:
        // no journal, indexes dropped while appending and built again by commit().
        Bulk
    };

    // Opens the table file for writing and starts the transaction. Throws std::runtime_error
    // naming the file when it cannot be opened, is write-protected ("Unable to write to FILE") or
    // does not hold `table`.
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
    const std::string &filePath() const { return filePath_; }

private:
    void bind(int parameter, const FieldDef &field, const FieldValue &value);
    void startCopy();
    void finishCopy();
    void dropCopy() noexcept;

    const TableDef &table_;
    Mode mode_;
    std::string filePath_;
    SqliteHandle original_;               // the table itself, locked for other writers while its copy is written
    std::optional<ReplacementCopy> copy_; // the copy the records go into; none when they go into the table
    SqliteHandle db_;
    SqliteStatement insert_;
    std::vector<std::string> droppedIndexSql_;
    std::int64_t appended_ = 0;
    bool open_ = false;
};

// The position of a field in the table's field order; throws std::logic_error for an unknown name.
std::size_t FieldPosition(const TableDef &table, const std::string &fieldName);

} // namespace vrelmont
