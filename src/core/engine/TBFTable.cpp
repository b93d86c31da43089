#include "engine/TBFTable.h"

#include "engine/EngineError.h"
#include "engine/TableBackend.h"

namespace vrelmont {
namespace {
// Set while the program starts, before any component connects; held in functions so that a
// program's own start-up objects may set them before or after this file's are made.
TableBackendFactory &chosenFactory() {
    static TableBackendFactory factory;
    return factory;
}

TableBackendFactory &defaultFactory() {
    static TableBackendFactory factory;
    return factory;
}
} // namespace

void SetTableBackendFactory(TableBackendFactory factory) {
    chosenFactory() = std::move(factory);
}

void SetDefaultTableBackendFactory(TableBackendFactory factory) {
    defaultFactory() = std::move(factory);
}

std::unique_ptr<TableBackend> ConnectTableBackend() {
    const TableBackendFactory &factory = chosenFactory() ? chosenFactory() : defaultFactory();
    auto backend = factory ? factory() : nullptr;
    if (!backend)
        throw EngineError("Databázový stroj nelze spustit");
    return backend;
}

TBFTable::TBFTable() = default;

TBFTable::~TBFTable() = default;

TableBackend &TBFTable::connect() {
    backend_ = ConnectTableBackend();
    return *backend_;
}

std::int32_t TBFTable::OpenTable(const Variant &path) {
    ++openedTables_;
    openedPath_ = path.kind() == VariantKind::Text ? path.toText() : std::string();
    failedIndex_.clear();
    return backend().OpenTable(path);
}

// Closing a component that never connected does not start the engine.
void TBFTable::CloseTable() {
    ++openedTables_;
    if (backend_)
        backend_->CloseTable();
}

std::int32_t TBFTable::RecordCount() {
    return backend().RecordCount();
}

std::int32_t TBFTable::GoTop() {
    return backend().GoTop();
}

std::int32_t TBFTable::MoveNext() {
    return backend().MoveNext();
}

std::int32_t TBFTable::PostRecord() {
    return backend().PostRecord();
}

void TBFTable::SetValue(const std::string &field, const Variant &value) {
    backend().SetValue(field, value);
}

std::int32_t TBFTable::SeekKey(const Variant &key) {
    return backend().SeekKey(key);
}

void TBFTable::AppendRecord() {
    backend().AppendRecord();
}

std::int32_t TBFTable::DeleteRecord() {
    return backend().DeleteRecord();
}

std::int32_t TBFTable::SetIndex(const std::string &keyExpression) {
    const std::int32_t answer = backend().SetIndex(keyExpression);
    failedIndex_ = answer == kAnswerDone ? std::string() : keyExpression;
    return answer;
}

std::int32_t TBFTable::SeekKeyPair(const Variant &first, const Variant &second) {
    return backend().SeekKeyPair(first, second);
}

std::string TBFTable::QueryGuid(const std::string &guid) {
    return backend().QueryGuid(guid);
}

Variant TBFTable::Value(const std::string &field) {
    return backend().Value(field);
}

std::int64_t TBFTable::recordId() {
    return backend().recordId();
}

bool TBFTable::namesRecords() {
    return backend().namesRecords();
}

bool TBFTable::mergeBeatsSeek() {
    return backend().mergeBeatsSeek();
}

Variant TBFTable::valueOfRecord(std::int64_t recordId, const std::string &field) {
    return backend().valueOfRecord(recordId, field);
}

FieldHandle TBFTable::fieldHandle(const std::string &field) {
    return {backend().resolveField(field), openedTables_};
}

int TBFTable::fieldOf(FieldHandle field) const {
    if (field.field_ < 0 || field.table_ != openedTables_)
        throw EngineError("Pole nepatří k otevřené tabulce");
    return field.field_;
}

std::int32_t TBFTable::int32Value(FieldHandle field) {
    return backend().int32Value(fieldOf(field));
}

std::string_view TBFTable::textValue(FieldHandle field) {
    return backend().textValue(fieldOf(field));
}

int TBFTable::compareValue(FieldHandle field, std::int32_t number) {
    return backend().compareValue(fieldOf(field), number);
}

bool TBFTable::walkKeysOnly() {
    return backend().walkKeysOnly();
}

std::int32_t TBFTable::Int32ValueInRun(FieldHandle field, std::int64_t runLength, std::int64_t index) {
    return backend().valueInRun(fieldOf(field), runLength, index).toInt32();
}

std::string TBFTable::lastOpenError() const {
    std::string error = backend_ ? backend_->lastOpenError() : std::string();
    if (error.empty() && !failedIndex_.empty())
        error = openedPath_ + ": index " + failedIndex_ + " nelze nastavit";
    return error;
}

} // namespace vrelmont
