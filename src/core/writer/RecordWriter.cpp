#include "writer/RecordWriter.h"
#include "tablefiles/SqliteHandle.h"

#include "platform/FileAccess.h"

#include <cstring>
#include <stdexcept>

namespace vrelmont {
namespace {

std::string insertSql(const TableDef &table) {
    std::string columns, parameters;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        columns += (i ? ", " : "") + QuoteSqlName(table.fields[i].name);
        parameters += i ? ", ?" : "?";
    }
    return "INSERT INTO " + QuoteSqlName(table.name) + " (" + columns + ") VALUES (" + parameters + ")";
}

} // namespace

std::size_t FieldPosition(const TableDef &table, const std::string &fieldName) {
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        if (table.fields[i].name == fieldName)
            return i;
    throw std::logic_error("Table " + table.name + " has no field " + fieldName);
}

RecordWriter::RecordWriter(const std::string &filePath, const TableDef &table, Mode mode)
    : table_(table), mode_(mode), filePath_(filePath) {
    if (mode_ == Mode::Bulk) {
        db_ = SqliteHandle::openReadWrite(filePath);
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
            db_.exec("DROP INDEX " + QuoteSqlName(name));
    } else {
        if (IsWriteProtected(filePath))
            throw std::runtime_error("Do souboru " + filePath + " nelze zapisovat");
        original_ = SqliteHandle::openReadWrite(filePath);
        // Other writers wait until the records are in; readers go on reading the table as it was.
        original_.exec("BEGIN IMMEDIATE");
        SqliteStatement journal = original_.prepare("PRAGMA journal_mode");
        const bool wal = sqlite3_step(journal.get()) == SQLITE_ROW &&
                         std::strcmp(reinterpret_cast<const char *>(sqlite3_column_text(journal.get(), 0)), "wal") == 0;
        journal = SqliteStatement();
        if (wal || !ReplacementCopy::available()) {
            db_ = std::move(original_);
            open_ = true;
        } else {
            startCopy();
        }
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), insertSql(table_).c_str(), -1, &statement, nullptr) != SQLITE_OK)
        db_.fail("Nelze zapsat tabulku " + table_.name + " do");
    insert_ = SqliteStatement(statement);
}

void RecordWriter::startCopy() {
    // The table's connection keeps it locked for other writers while the copy is written.
    copy_.emplace(filePath_);
    db_ = SqliteHandle::openReadWrite(copy_->path(), filePath_);
    // The copy is thrown away on any failure: it needs no journal of its own.
    db_.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL; BEGIN");
    open_ = true;
}

void RecordWriter::finishCopy() {
    db_ = SqliteHandle();
    copy_->replaceOriginal();
    dropCopy();
}

void RecordWriter::dropCopy() noexcept {
    db_ = SqliteHandle();
    if (copy_)
        copy_->removeCopy();
    original_ = SqliteHandle(); // ends the lock on the table
    copy_.reset();              // only now: closing its descriptor of the table would drop SQLite's locks on it
}

RecordWriter::~RecordWriter() {
    insert_ = SqliteStatement();
    // Without a journal there is nothing to roll back with: a bulk build is thrown away whole.
    if (open_ && mode_ == Mode::Safe && !copy_)
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    dropCopy();
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
        db_.fail("Nelze zapisovat do");
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
        db_.fail("Nelze zapisovat do");
    ++appended_;
}

void RecordWriter::removeAllRecords() {
    if (!open_)
        throw std::logic_error("RecordWriter::removeAllRecords after commit");
    db_.exec("DELETE FROM " + QuoteSqlName(table_.name));
}

void RecordWriter::commit() {
    if (!open_)
        throw std::logic_error("RecordWriter::commit called twice");
    insert_ = SqliteStatement();
    for (const auto &sql : droppedIndexSql_)
        db_.exec(sql);
    db_.exec("COMMIT");
    open_ = false;
    if (copy_)
        finishCopy();
}

} // namespace vrelmont
