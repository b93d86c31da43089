#include "tablefiles/RecordEditor.h"

#include "tablefiles/StoredValue.h"
#include "tablefiles/TableRead.h"

#include <string>

namespace vrelmont {

const Variant *RecordEditor::pendingValue(int column) const {
    if (!editing_)
        return nullptr;
    const auto pending = pending_.find(column);
    return pending == pending_.end() ? nullptr : &pending->second;
}

std::int64_t RecordEditor::write(SqliteHandle &db, const TableSchema &schema, std::int64_t recordId) {
    const auto name = [&](int column) { return QuoteSqlName(schema.columns[static_cast<std::size_t>(column)]); };
    std::string sql;
    if (appending_) {
        std::string names, places;
        for (const auto &[column, value] : pending_) {
            names += (names.empty() ? "" : ", ") + name(column);
            places += places.empty() ? "?" : ", ?";
        }
        sql = "INSERT INTO " + QuoteSqlName(schema.table) +
              (pending_.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + places + ")");
    } else {
        std::string assignments;
        for (const auto &[column, value] : pending_)
            assignments += (assignments.empty() ? "" : ", ") + name(column) + " = ?";
        sql = "UPDATE " + QuoteSqlName(schema.table) + " SET " + assignments + " WHERE rowid = ?";
    }
    auto statement = db.prepare(sql);
    int position = 1;
    for (const auto &[column, value] : pending_)
        if (const int code = BindVariant(statement.get(), position++, value); code != SQLITE_OK)
            FailTableStep(db, code);
    if (!appending_)
        sqlite3_bind_int64(statement.get(), position, recordId);
    StepRow(db, statement.get());
    if (appending_)
        recordId = sqlite3_last_insert_rowid(db.get());
    cancel();
    return recordId;
}

} // namespace vrelmont
