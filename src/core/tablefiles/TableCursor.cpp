#include "tablefiles/TableCursor.h"

#include "engine/TableBackend.h"
#include "platform/FileAccess.h"
#include "tablefiles/StoredValue.h"
#include "tablefiles/TableFiles.h"
#include "text/Cp1250.h"
#include "text/TextFold.h"

#include <limits>
#include <utility>

namespace vrelmont {
std::unique_ptr<TableCursor> TableCursor::open(const std::string &filePath, std::string &reason) {
    // A path beyond what the system allows would be looked at as a missing file.
    reason = TooLongPathReason(filePath);
    if (!reason.empty())
        return nullptr;
    // Looked at before SQLite opens it: opening a FIFO would wait for a writer for ever.
    const FileKind kind = ExamineFile(filePath);
    if (kind != FileKind::Regular) {
        reason = DescribeFileKind(kind);
        return nullptr;
    }
    auto db = SqliteHandle::openReadOnly(filePath, reason);
    if (!db)
        return nullptr;
    try {
        auto schema = TableSchema::read(db, filePath, reason);
        if (!schema)
            return nullptr;
        return std::unique_ptr<TableCursor>(new TableCursor(std::move(db), std::move(*schema)));
    } catch (const std::exception &e) {
        reason = e.what();
        return nullptr;
    }
}

TableCursor::TableCursor(SqliteHandle db, TableSchema schema)
    : db_(std::move(db)), schema_(std::move(schema)), fieldLookups_(schema_.columns.size()), runReader_(db_, schema_) {}

int TableCursor::requireColumn(const std::string &field) const {
    const int column = schema_.columnOf(field);
    if (column < 0)
        fail("chybí pole " + field);
    return column;
}

void TableCursor::bind(sqlite3_stmt *statement, int position, const Variant &value) {
    if (const int code = BindVariant(statement, position, value); code != SQLITE_OK)
        FailTableStep(db_, code);
}

std::int64_t TableCursor::recordCount() {
    if (!count_)
        count_ = db_.prepare("SELECT count(*) FROM " + QuoteSqlName(schema_.table));
    sqlite3_reset(count_.get());
    step(count_.get());
    return sqlite3_column_int64(count_.get(), 0);
}

bool TableCursor::selectIndex(const std::string &keyExpression, std::string &whyNot) {
    std::vector<int> wanted;
    for (const auto &field : SplitKeyExpression(keyExpression)) {
        const int column = schema_.columnOf(field);
        if (column < 0) {
            whyNot = "tabulka nemá pole " + field;
            return false;
        }
        wanted.push_back(column);
    }
    whyNot = "tabulka nemá index s tímto klíčem";
    for (const auto &index : schema_.indexes) {
        if (index.columns != wanted)
            continue;
        if (!index.unusable.empty()) {
            whyNot = "index " + index.name + " " + index.unusable;
            continue;
        }
        dropStatements();
        index_ = &index;
        keyPositions_.assign(schema_.columns.size(), -1);
        for (std::size_t i = 0; i < index.columns.size(); ++i)
            keyPositions_[static_cast<std::size_t>(index.columns[i])] = static_cast<int>(i);
        current_.reset();
        editor_.cancel();
        whyNot.clear();
        return true;
    }
    return false;
}

void TableCursor::activate(sqlite3_stmt *statement, bool withIds) {
    active_ = statement;
    keyOffset_ = withIds ? 1 : 0;
    unidentified_ = !withIds;
    if (withIds)
        current_ = sqlite3_column_int64(statement, 0);
    else
        current_.reset();
}

bool TableCursor::goTop() {
    editor_.cancel();
    const bool withIds = !keysOnly_ || !index_;
    SqliteStatement &walk = withIds ? walk_ : keysWalk_;
    if (!walk)
        walk = db_.prepare(sql().orderedSelect("", withIds ? std::string() : sql().keyList()));
    if (active_)
        sqlite3_reset(active_);
    for (sqlite3_stmt *statement : {walk_.get(), keysWalk_.get()})
        if (statement)
            sqlite3_reset(statement);
    runReader_.restart();
    active_ = nullptr;
    seeking_ = false;
    unidentified_ = false;
    position_.reset();
    // No odd key yet: every run of this walk counts as plain.
    recordsSinceOddKey_ = std::numeric_limits<std::int64_t>::max() / 2;
    if (!step(walk.get())) {
        current_.reset();
        // An index that shows nothing of a table that holds records is damaged, not empty: the
        // check would otherwise report that there is no current record, or find nothing.
        if (index_) {
            auto any = db_.prepare("SELECT EXISTS (SELECT 1 FROM " + QuoteSqlName(schema_.table) + " NOT INDEXED)");
            if (step(any.get()) && sqlite3_column_int(any.get(), 0) != 0)
                fail(std::string("soubor je poškozený – index ") + index_->name +
                     " neobsahuje žádný záznam, ačkoli tabulka nějaké má");
        }
        return false;
    }
    activate(walk.get(), withIds);
    position_ = 0;
    return true;
}

bool TableCursor::moveNext() {
    editor_.cancel();
    if (!active_ && unidentified_) // the keys-only walk has ended: on from its last record with identities
        ensureIdentified();
    if (!active_) // after a write or a failed seek: continue from the current record
        return current_ && positionAfter(currentKeys(), *current_);
    if (!step(active_)) {
        sqlite3_reset(active_);
        active_ = nullptr; // the last record stays current
        // A seek reads only the records equal to its key; the walk goes on past them.
        return std::exchange(seeking_, false) && positionAfter(currentKeys(), *current_);
    }
    ++recordsSinceOddKey_;
    if (position_)
        ++*position_;
    if (keyOffset_ != 0)
        current_ = sqlite3_column_int64(active_, 0);
    return true;
}

// A walk that read no identities goes over the records again, with them, up to the current record.
// Its own statement is left standing on that record, so the texts read from it stay valid.
void TableCursor::ensureIdentified() {
    if (!unidentified_)
        return;
    if (!walk_)
        walk_ = db_.prepare(sql().orderedSelect(""));
    sqlite3_reset(walk_.get());
    for (std::int64_t i = 0; i <= position_.value_or(0); ++i)
        if (!step(walk_.get()))
            fail("záznam již neexistuje");
    activate(walk_.get(), true);
}

std::vector<Variant> TableCursor::currentKeys() {
    std::vector<Variant> keys;
    for (int column : index_ ? index_->columns : std::vector<int>{})
        keys.push_back(lookUpField(column));
    return keys;
}

// Stands on the first record after (keys, rowid) in index order; false when there is none.
bool TableCursor::positionAfter(const std::vector<Variant> &keys, std::int64_t rowid) {
    if (!continue_)
        continue_ = db_.prepare(sql().after());
    sqlite3_reset(continue_.get());
    for (std::size_t i = 0; i < keys.size(); ++i)
        bind(continue_.get(), static_cast<int>(i + 1), keys[i]);
    sqlite3_bind_int64(continue_.get(), static_cast<int>(keys.size() + 1), rowid);
    if (!step(continue_.get()))
        return false;
    activate(continue_.get(), true);
    seeking_ = false;
    position_.reset();
    return true;
}

bool TableCursor::seek(const std::vector<Variant> &keys) {
    editor_.cancel();
    if (!index_ || keys.empty() || keys.size() > index_->columns.size())
        return false;
    auto &statement = seeks_[keys.size()];
    if (!statement)
        statement = db_.prepare(sql().equalTo(keys.size()));
    if (active_ == statement.get())
        active_ = nullptr;
    sqlite3_reset(statement.get());
    for (std::size_t i = 0; i < keys.size(); ++i)
        bind(statement.get(), static_cast<int>(i + 1), keys[i]);
    if (!step(statement.get()))
        return false;
    if (active_)
        sqlite3_reset(active_);
    activate(statement.get(), true);
    seeking_ = true;
    position_.reset();
    return true;
}

Variant TableCursor::value(const std::string &field) {
    // The fast way first: a walk mostly reads the fields of its own index.
    if (active_ && index_ && !editor_.editing()) {
        const auto &keys = index_->columns;
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (SameNameIgnoringCase(schema_.columns[static_cast<std::size_t>(keys[i])], field))
                return fieldValue(keys[i], active_, static_cast<int>(i) + keyOffset_);
    }
    return valueAt(requireColumn(field));
}

Variant TableCursor::valueAt(int column) {
    if (const Variant *pending = editor_.pendingValue(column))
        return *pending;
    if (editor_.appending())
        return {};
    if (active_ && index_) {
        const int position = keyPositions_[static_cast<std::size_t>(column)];
        if (position >= 0)
            return fieldValue(column, active_, position + keyOffset_);
    }
    return lookUpField(column);
}

std::int64_t TableCursor::recordId() {
    ensureIdentified();
    if (!current_)
        fail("žádný aktuální záznam");
    return *current_;
}

Variant TableCursor::valueOfRecord(std::int64_t recordId, const std::string &field) {
    return lookUpField(requireColumn(field), recordId);
}

inline sqlite3_value *TableCursor::walkValueOf(int column) const {
    if (!active_ || !index_ || editor_.editing())
        return nullptr;
    const int position = keyPositions_[static_cast<std::size_t>(column)];
    // After the rowid, when the walk reads it. The value is read through one call, not one per property.
    return position < 0 ? nullptr : sqlite3_column_value(active_, position + keyOffset_);
}

std::int32_t TableCursor::int32At(int column) {
    sqlite3_value *stored = walkValueOf(column);
    if (!stored)
        return valueAt(column).toInt32();
    if (sqlite3_value_type(stored) == SQLITE_INTEGER) {
        const auto number = sqlite3_value_int64(stored);
        if (FitsInt32(number))
            return static_cast<std::int32_t>(number);
    }
    noteOddKey();
    return fieldValue(column, active_, keyPositions_[static_cast<std::size_t>(column)] + keyOffset_).toInt32();
}

std::string_view TableCursor::textAt(int column) {
    sqlite3_value *stored = walkValueOf(column);
    if (stored && sqlite3_value_type(stored) == SQLITE_TEXT) {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(stored));
        const std::string_view text(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_value_bytes(stored)));
        if (IsValidUtf8(text))
            return text;
    }
    if (!stored) {
        textBuffer_ = valueAt(column).toText();
        return textBuffer_;
    }
    noteOddKey();
    textBuffer_ = fieldValue(column, active_, keyPositions_[static_cast<std::size_t>(column)] + keyOffset_).toText();
    return textBuffer_;
}

namespace {

template <typename Number> int CompareNumbers(Number stored, Number number) {
    return stored < number ? -1 : stored > number ? 1 : 0;
}

} // namespace

int TableCursor::compareAt(int column, std::int64_t number) {
    if (sqlite3_value *stored = walkValueOf(column)) {
        switch (sqlite3_value_type(stored)) {
        case SQLITE_NULL:
            return -1;
        case SQLITE_INTEGER:
            return CompareNumbers(static_cast<std::int64_t>(sqlite3_value_int64(stored)), number);
        case SQLITE_FLOAT:
            return CompareNumbers(sqlite3_value_double(stored), static_cast<double>(number));
        default:
            return 1;
        }
    }
    return CompareWithNumber(valueAt(column), static_cast<std::int32_t>(number));
}

Variant TableCursor::valueInRun(int column, std::int64_t runLength, std::int64_t index) {
    if (!index_ || !position_ || runLength < 1 || index < 0 || index >= runLength || runLength > *position_ + 1)
        fail("běh stejných klíčů mimo průchod tabulkou");
    // Keys read as plainly stored all through the run: the run is the records that store them.
    const RunReader::Walk walk{active_, keyOffset_, *position_, recordsSinceOddKey_ >= runLength};
    const auto place = runReader_.locate(sql(), *index_, walk, column, runLength, index);
    return place.statement ? fieldValue(column, place.statement, 0) : lookUpField(column, place.recordId);
}

Variant TableCursor::lookUpField(int column) {
    ensureIdentified();
    if (!current_)
        fail("žádný aktuální záznam");
    return lookUpField(column, *current_);
}

Variant TableCursor::lookUpField(int column, std::int64_t rowid) {
    auto &statement = fieldLookups_[static_cast<std::size_t>(column)];
    if (!statement)
        statement = db_.prepare("SELECT " + QuoteSqlName(schema_.columns[static_cast<std::size_t>(column)]) + " FROM " +
                                QuoteSqlName(schema_.table) + " WHERE rowid = ?");
    sqlite3_reset(statement.get());
    sqlite3_bind_int64(statement.get(), 1, rowid);
    if (!step(statement.get()))
        fail("záznam již neexistuje");
    return fieldValue(column, statement.get(), 0);
}

Variant TableCursor::fieldValue(int column, sqlite3_stmt *statement, int statementColumn) {
    if (!schema_.integerColumns[static_cast<std::size_t>(column)])
        return ColumnVariant(statement, statementColumn);
    std::string notInt32;
    Variant value = Int32FieldVariant(statement, statementColumn, notInt32);
    if (notInt32.empty())
        return value;
    ensureIdentified(); // the message names the record
    const std::string record = current_ ? " záznamu č. " + std::to_string(*current_) : std::string();
    fail("pole " + schema_.columns[static_cast<std::size_t>(column)] + record + " má hodnotu " + notInt32 +
         ", která není celé číslo v rozsahu 32 bitů");
}

void TableCursor::dropStatements() {
    active_ = nullptr;
    unidentified_ = false;
    position_.reset();
    runReader_.drop();
    walk_ = {};
    keysWalk_ = {};
    continue_ = {};
    seeks_.clear();
    for (auto &lookup : fieldLookups_)
        lookup = {};
    count_ = {};
}

void TableCursor::ensureWritable() {
    ensureIdentified();
    position_.reset();
    if (active_)
        sqlite3_reset(active_);
    active_ = nullptr;
    if (writable_)
        return;
    dropStatements();
    try {
        db_ = SqliteHandle::openReadWrite(db_.path());
    } catch (const std::exception &e) {
        fail(std::string("nelze zapisovat: ") + e.what());
    }
    writable_ = true;
}

void TableCursor::append() {
    editor_.startAppend();
}

void TableCursor::setValue(const std::string &field, const Variant &value) {
    const int column = requireColumn(field);
    if (!editor_.editing()) {
        ensureIdentified();
        if (!current_)
            fail("žádný aktuální záznam");
        editor_.startEdit();
    }
    editor_.set(column, value);
}

void TableCursor::post() {
    if (!editor_.editing())
        return;
    ensureWritable();
    current_ = editor_.write(db_, schema_, current_.value_or(0));
}

void TableCursor::remove() {
    editor_.cancel();
    ensureIdentified();
    if (!current_)
        return;
    ensureWritable();
    const auto keys = currentKeys();
    auto statement = db_.prepare("DELETE FROM " + QuoteSqlName(schema_.table) + " WHERE rowid = ?");
    sqlite3_bind_int64(statement.get(), 1, *current_);
    step(statement.get());
    // The record after the deleted one becomes current.
    if (!positionAfter(keys, *current_))
        current_.reset();
}

} // namespace vrelmont
