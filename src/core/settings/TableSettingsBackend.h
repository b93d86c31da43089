#pragma once
// Settings kept as a host table: one record per key (fields Section1, Variable, TypeVar, Value),
// looked up through the index "Section1+Variable", section first.
//
// The table form never tells its caller of a failure: a table that does not open, a value that
// cannot be converted or a write the engine refuses gives the read's default or leaves the table as
// it is. Those failures are dropped in one place, and the last one is kept in lastError(), with the
// reason the table did not open when it did not.
#include "engine/TBFTable.h"
#include "settings/SettingsBackend.h"

#include <functional>

namespace vrelmont {

class TableSettingsBackend : public SettingsBackend {
public:
    // Opens the table and selects its index. Throws EngineError when the engine cannot be reached;
    // a table that does not open or has no such index is kept, and every operation then fails quietly.
    explicit TableSettingsBackend(std::string tablePath);
    ~TableSettingsBackend() override;

    Variant read(const std::string &section, const std::string &key, SettingKind kind, const Variant &def) override;
    void write(const std::string &section, const std::string &key, SettingKind kind, const Variant &value) override;
    void removeKey(const std::string &section, const std::string &key) override;

    std::string lastError() const override { return lastError_; }

private:
    // Makes `key`'s record current; false when it is absent.
    bool lookUp(const std::string &section, const std::string &key);
    // Runs `step`, dropping any error it raises after noting why.
    void quietly(const std::string &what, const std::function<void()> &step);
    void noteFailure(const std::string &what, const std::string &reason);

    std::string tablePath_;
    TBFTable table_;
    std::string openFailure_; // why OpenTable failed; empty when it opened
    std::string lastError_;
};

} // namespace vrelmont
