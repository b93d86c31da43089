// The table files backend: each table a SQLite file, walked through TableCursor.
#include "tablefiles/FileTableBackend.h"

#include "engine/Engine.h"
#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "engine/TableBackend.h"
#include "platform/Utf8Path.h"
#include "tablefiles/TableCursor.h"

#include <filesystem>
#include <limits>
#include <map>
#include <utility>

namespace vrelmont {
namespace {

class FileTableBackend : public TableBackend {
public:
    // Connecting attaches to the one engine object of the process.
    FileTableBackend() : engine_(Engine::runningOrNew()) {}

    std::int32_t OpenTable(const Variant &path) override;
    void CloseTable() override { cursor_.reset(); }
    std::int32_t RecordCount() override;
    std::int32_t GoTop() override { return cursor().goTop() ? 1 : 0; }
    std::int32_t MoveNext() override { return cursor().moveNext() ? kAnswerDone : kAnswerNoFurtherRecord; }
    std::int32_t PostRecord() override {
        cursor().post();
        return kAnswerDone;
    }
    void SetValue(const std::string &field, const Variant &value) override { cursor().setValue(field, value); }
    std::int32_t SeekKey(const Variant &key) override { return cursor().seek({key}) ? kAnswerFound : kAnswerNotFound; }
    void AppendRecord() override { cursor().append(); }
    std::int32_t DeleteRecord() override {
        cursor().remove();
        return kAnswerDone;
    }
    std::int32_t SetIndex(const std::string &keyExpression) override {
        std::string whyNot;
        if (cursor().selectIndex(keyExpression, whyNot))
            return kAnswerDone;
        lastOpenError_ = openedFile_ + ": index " + keyExpression + " nelze nastavit – " + whyNot;
        return kAnswerFailed;
    }
    std::int32_t SeekKeyPair(const Variant &first, const Variant &second) override {
        return cursor().seek({first, second}) ? kAnswerFound : kAnswerNotFound;
    }
    std::string QueryGuid(const std::string &guid) override { return engine_->queryGuid(guid); }
    Variant Value(const std::string &field) override { return cursor().value(field); }
    std::string lastOpenError() const override { return lastOpenError_; }

    bool namesRecords() const override { return true; }
    std::int64_t recordId() override { return cursor().recordId(); }
    Variant valueOfRecord(std::int64_t recordId, const std::string &field) override {
        return cursor().valueOfRecord(recordId, field);
    }
    int resolveField(const std::string &field) override { return cursor().requireColumn(field); }
    std::int32_t int32Value(int field) override { return cursor().int32At(field); }
    std::string_view textValue(int field) override { return cursor().textAt(field); }
    int compareValue(int field, std::int32_t number) override { return cursor().compareAt(field, number); }
    bool walkKeysOnly() override {
        cursor().walkKeysOnly(true);
        return true;
    }
    Variant valueInRun(int field, std::int64_t runLength, std::int64_t index) override {
        return cursor().valueInRun(field, runLength, index);
    }

private:
    TableCursor &cursor() {
        if (!cursor_)
            throw EngineError("Tabulka není otevřena");
        return *cursor_;
    }

    struct KnownCount {
        std::string stamp;
        std::int64_t count = 0;
    };

    std::shared_ptr<Engine> engine_;
    std::unique_ptr<TableCursor> cursor_;
    std::string openedFile_;
    std::string lastOpenError_;
    // A run opens the same tables check after check, and counting walks a whole index: a count
    // is kept for as long as the file stays in the state it was counted in.
    std::map<std::string, KnownCount> knownCounts_;
};

std::int32_t FileTableBackend::OpenTable(const Variant &path) {
    cursor_.reset();
    std::string file = path.toText();
    std::error_code error;
    if (!std::filesystem::is_regular_file(PathFromUtf8(file), error))
        file += ".DAT";
    std::string reason;
    cursor_ = TableCursor::open(file, reason);
    openedFile_ = file;
    lastOpenError_ = cursor_ ? std::string() : file + ": " + reason;
    return cursor_ ? kAnswerDone : kAnswerFailed;
}

std::int32_t FileTableBackend::RecordCount() {
    std::string stamp = cursor().changeStamp();
    KnownCount &known = knownCounts_[openedFile_];
    if (stamp.empty() || stamp != known.stamp)
        known = {std::move(stamp), cursor().recordCount()};
    const std::int64_t count = known.count;
    return count > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                            : static_cast<std::int32_t>(count);
}

} // namespace

std::unique_ptr<TableBackend> MakeFileTableBackend() {
    return std::make_unique<FileTableBackend>();
}

} // namespace vrelmont
