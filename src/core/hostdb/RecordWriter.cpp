#include "hostdb/RecordWriter.h"

#include <stdexcept>

namespace vrelmont {
namespace {

std::string quoted(const std::string &name) {
    return "\"" + name + "\"";
}

std::string insertSql(const TableDef &table) {
    std::string columns, parameters;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        columns += (i ? ", " : "") + quoted(table.fields[i].name);
        parameters += i ? ", ?" : "?";
    }
    return "INSERT INTO " + quoted(table.name) + " (" + columns + ") VALUES (" + parameters + ")";
}

} // namespace

std::size_t FieldPosition(const TableDef &table, const std::string &fieldName) {
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        if (table.fields[i].name == fieldName)
            return i;
    throw std::logic_error("Table " + table.name + " has no field " + fieldName);
}

RecordWriter::RecordWriter(const std::string &filePath, const TableDef &table, Mode mode)
    : table_(table), mode_(mode), db_(SqliteHandle::openReadWrite(filePath)) {
    // A reader (the program, say) may hold the file for a moment.
    sqlite3_busy_timeout(db_.get(), 5000);
    if (mode_ == Mode::Bulk) {
        // With no journal and one transaction, the sync setting only decides whether the commit
        // reaches the disk (one sync per file): NORMAL costs nothing measurable and keeps a finished
        // build from being lost in a power cut after it was reported done.
        db_.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=NORMAL");
        SqliteStatement indexes = db_.prepare(
            "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND tbl_name = ?");
        sqlite3_bind_text(indexes.get(), 1, table_.name.c_str(), -1, SQLITE_TRANSIENT);
        std::vector<std::string> names;
        while (sqlite3_step(indexes.get()) == SQLITE_ROW) {
            names.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(indexes.get(), 0)));
            droppedIndexSql_.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(indexes.get(), 1)));
        }
        db_.exec("BEGIN");
        open_ = true;
        // Building each index once over the whole table is far cheaper than keeping it up to date per record.
        for (const auto &name : names)
            db_.exec("DROP INDEX " + quoted(name));
    } else {
        db_.exec("BEGIN IMMEDIATE");
        open_ = true;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), insertSql(table_).c_str(), -1, &statement, nullptr) != SQLITE_OK)
        db_.fail("Cannot write table " + table_.name + " to");
    insert_ = SqliteStatement(statement);
}

RecordWriter::~RecordWriter() {
    insert_ = SqliteStatement();
    // Without a journal there is nothing to roll back with: a bulk build is thrown away whole.
    if (open_ && mode_ == Mode::Safe)
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void RecordWriter::bind(int parameter, const FieldDef &field, const FieldValue &value) {
    sqlite3_stmt *statement = insert_.get();
    int code;
    if (const auto *number = std::get_if<std::int32_t>(&value)) {
        if (field.type == FieldType::Text)
            throw std::invalid_argument("Field " + field.name + " of " + table_.name + " takes text");
        code = sqlite3_bind_int(statement, parameter, *number);
    } else {
        if (field.type == FieldType::Integer)
            throw std::invalid_argument("Field " + field.name + " of " + table_.name + " takes an integer");
        const auto &text = std::get<std::string>(value);
        code = sqlite3_bind_text64(statement, parameter, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    if (code != SQLITE_OK)
        db_.fail("Cannot write to");
}

void RecordWriter::append(const std::vector<FieldValue> &record) {
    if (record.size() != table_.fields.size())
        throw std::invalid_argument("A record of " + table_.name + " has " + std::to_string(table_.fields.size()) +
                                    " fields, not " + std::to_string(record.size()));
    for (std::size_t i = 0; i < record.size(); ++i)
        bind(static_cast<int>(i + 1), table_.fields[i], record[i]);
    const int code = sqlite3_step(insert_.get());
    sqlite3_reset(insert_.get());
    sqlite3_clear_bindings(insert_.get());
    if (code != SQLITE_DONE)
        db_.fail("Cannot write to");
    ++appended_;
}

void RecordWriter::removeAllRecords() {
    if (!open_)
        throw std::logic_error("RecordWriter::removeAllRecords after commit");
    db_.exec("DELETE FROM " + quoted(table_.name));
}

void RecordWriter::commit() {
    if (!open_)
        throw std::logic_error("RecordWriter::commit called twice");
    insert_ = SqliteStatement();
    for (const auto &sql : droppedIndexSql_)
        db_.exec(sql);
    db_.exec("COMMIT");
    open_ = false;
}

} // namespace vrelmont
