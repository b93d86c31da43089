#include "hostdb/TBFTable.h"

#include "hostdb/EngineError.h"
#include "hostdb/TableCursor.h"

#include <filesystem>
#include <limits>

namespace vrelmont {

TBFTable::TBFTable(ConnectKind) {}

TBFTable::~TBFTable() = default;

void TBFTable::connect() {
    if (!engine_)
        engine_ = Engine::runningOrNew();
}

TableCursor &TBFTable::cursor() {
    connect();
    if (!cursor_)
        throw EngineError("Tabulka není otevřena");
    return *cursor_;
}

std::int32_t TBFTable::OpenTable(const Variant &path) {
    connect();
    cursor_.reset();
    ++openedTables_;
    std::string file = path.toText();
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        file += ".DAT";
    std::string reason;
    cursor_ = TableCursor::open(file, reason);
    lastOpenError_ = cursor_ ? std::string() : file + ": " + reason;
    return cursor_ ? kAnswerDone : kAnswerFailed;
}

void TBFTable::CloseTable() {
    cursor_.reset();
    ++openedTables_;
}

std::int32_t TBFTable::RecordCount() {
    const auto count = cursor().recordCount();
    return count > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                            : static_cast<std::int32_t>(count);
}

std::int32_t TBFTable::GoTop() {
    return cursor().goTop() ? 1 : 0;
}

std::int32_t TBFTable::MoveNext() {
    return cursor().moveNext() ? kAnswerDone : kAnswerNoFurtherRecord;
}

std::int32_t TBFTable::PostRecord() {
    cursor().post();
    return kAnswerDone;
}

void TBFTable::SetValue(const std::string &field, const Variant &value) {
    cursor().setValue(field, value);
}

std::int32_t TBFTable::SeekKey(const Variant &key) {
    return cursor().seek({key}) ? kAnswerFound : kAnswerNotFound;
}

void TBFTable::AppendRecord() {
    cursor().append();
}

std::int32_t TBFTable::DeleteRecord() {
    cursor().remove();
    return kAnswerDone;
}

std::int32_t TBFTable::SetIndex(const std::string &keyExpression) {
    return cursor().selectIndex(keyExpression) ? kAnswerDone : kAnswerFailed;
}

std::int32_t TBFTable::SeekKeyPair(const Variant &first, const Variant &second) {
    return cursor().seek({first, second}) ? kAnswerFound : kAnswerNotFound;
}

std::string TBFTable::QueryGuid(const std::string &guid) {
    connect();
    return engine_->queryGuid(guid);
}

Variant TBFTable::Value(const std::string &field) {
    return cursor().value(field);
}

std::int64_t TBFTable::RecordId() {
    return cursor().recordId();
}

Variant TBFTable::ValueOfRecord(std::int64_t recordId, const std::string &field) {
    return cursor().valueOfRecord(recordId, field);
}

FieldHandle TBFTable::Field(const std::string &field) {
    return {cursor().requireColumn(field), openedTables_};
}

int TBFTable::columnOf(FieldHandle field) {
    if (field.column_ < 0 || field.table_ != openedTables_)
        throw EngineError("Pole nepatří k otevřené tabulce");
    return field.column_;
}

std::int32_t TBFTable::Int32Value(FieldHandle field) {
    return cursor().int32At(columnOf(field));
}

std::string_view TBFTable::TextValue(FieldHandle field) {
    return cursor().textAt(columnOf(field));
}

int TBFTable::CompareValue(FieldHandle field, std::int32_t number) {
    return cursor().compareAt(columnOf(field), number);
}

} // namespace vrelmont
