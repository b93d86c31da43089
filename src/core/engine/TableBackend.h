#pragma once
// What a table component needs of an engine: the operations of the host's table interface, one
// backend object per component. Our table files are one backend; the host's COM engine is another.
#include "engine/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vrelmont {

class TableBackend {
public:
    virtual ~TableBackend() = default;

    virtual std::int32_t OpenTable(const Variant &path) = 0;
    virtual void CloseTable() = 0;
    virtual std::int32_t RecordCount() = 0;
    virtual std::int32_t GoTop() = 0;
    virtual std::int32_t MoveNext() = 0;
    virtual std::int32_t PostRecord() = 0;
    virtual void SetValue(const std::string &field, const Variant &value) = 0;
    virtual std::int32_t SeekKey(const Variant &key) = 0;
    virtual void AppendRecord() = 0;
    virtual std::int32_t DeleteRecord() = 0;
    virtual std::int32_t SetIndex(const std::string &keyExpression) = 0;
    virtual std::int32_t SeekKeyPair(const Variant &first, const Variant &second) = 0;
    virtual std::string QueryGuid(const std::string &guid) = 0;
    virtual Variant Value(const std::string &field) = 0;

    // Whether recordId and valueOfRecord work; the defaults below throw.
    virtual bool namesRecords() const { return false; }
    // Whether walking an index alongside an ascending series of keys answers "is this key there?"
    // faster than one seek per key (bench/windows-engine-speed.sh measures both).
    virtual bool mergeBeatsSeek() const { return true; }
    // The record identity and the walks' fast reads of TBFTable. `field` is what resolveField
    // answered for the open table. The defaults go through Value by name; a backend that can do
    // better overrides them.
    virtual std::int64_t recordId();
    virtual Variant valueOfRecord(std::int64_t recordId, const std::string &field);
    virtual int resolveField(const std::string &field);
    virtual std::int32_t int32Value(int field);
    virtual std::string_view textValue(int field);
    virtual int compareValue(int field, std::int32_t number);
    // TBFTable's walks of keys alone and their reads of runs. The defaults: no such walk.
    virtual bool walkKeysOnly() { return false; }
    virtual Variant valueInRun(int field, std::int64_t runLength, std::int64_t index);

    // Why the last OpenTable or SetIndex failed, when the backend can tell; for diagnostics only.
    virtual std::string lastOpenError() const { return {}; }

private:
    std::vector<std::string> resolvedNames_; // the defaults' fields, by number
    std::string text_;                       // the last text the default textValue read
};

// Where `value` stands against `number` in the order of an index: nothing first, then numbers,
// then texts.
int CompareWithNumber(const Variant &value, std::int32_t number);

// Makes the backend of a component when it connects; throws EngineError when the engine cannot be
// reached.
using TableBackendFactory = std::function<std::unique_ptr<TableBackend>()>;

// The process's choice of backend for the components that connect from now on (the command line or
// the environment decide it at start). An empty function restores the default. Process-wide: tests
// also use it as a seam that gives the components a stand-in backend.
void SetTableBackendFactory(TableBackendFactory factory);
// The backend when nothing is chosen; the program sets it as it is put together (our table files,
// wiring/FilesByDefault.cpp), so that this interface names no backend of its own.
void SetDefaultTableBackendFactory(TableBackendFactory factory);
std::unique_ptr<TableBackend> ConnectTableBackend();

} // namespace vrelmont
