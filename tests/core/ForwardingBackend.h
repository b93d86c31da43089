#pragma once
// The table files behind a backend of a test's making: each operation is handed on, and a test
// overrides what another engine does differently.
#include "engine/TableBackend.h"
#include "tablefiles/FileTableBackend.h"

#include <memory>

namespace vrelmont::testing {

class ForwardingBackend : public TableBackend {
public:
    std::int32_t OpenTable(const Variant &path) override { return files_->OpenTable(path); }
    void CloseTable() override { files_->CloseTable(); }
    std::int32_t RecordCount() override { return files_->RecordCount(); }
    std::int32_t GoTop() override { return files_->GoTop(); }
    std::int32_t MoveNext() override { return files_->MoveNext(); }
    std::int32_t PostRecord() override { return files_->PostRecord(); }
    void SetValue(const std::string &field, const Variant &value) override { files_->SetValue(field, value); }
    std::int32_t SeekKey(const Variant &key) override { return files_->SeekKey(key); }
    void AppendRecord() override { files_->AppendRecord(); }
    std::int32_t DeleteRecord() override { return files_->DeleteRecord(); }
    std::int32_t SetIndex(const std::string &keyExpression) override { return files_->SetIndex(keyExpression); }
    std::int32_t SeekKeyPair(const Variant &first, const Variant &second) override {
        return files_->SeekKeyPair(first, second);
    }
    std::string QueryGuid(const std::string &guid) override { return files_->QueryGuid(guid); }
    Variant Value(const std::string &field) override { return files_->Value(field); }

private:
    std::unique_ptr<TableBackend> files_ = MakeFileTableBackend();
};

} // namespace vrelmont::testing
