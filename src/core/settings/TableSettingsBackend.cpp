#include "settings/TableSettingsBackend.h"

#include <exception>

namespace vrelmont {
namespace {

const char *const kLookupIndex = "Section1+Variable";

// The stored value converted as the read asks; the date kinds and Float all read a plain number,
// so a time read gives the whole stored date and time.
Variant converted(const Variant &stored, SettingKind kind) {
    switch (kind) {
    case SettingKind::Text:
        return Variant::text(stored.toText());
    case SettingKind::Integer:
        return Variant::int32(stored.toInt32());
    case SettingKind::Flag:
        return Variant::boolean(stored.toBoolean());
    case SettingKind::Date:
    case SettingKind::DateTime:
    case SettingKind::Time:
    case SettingKind::Float:
        break;
    }
    return Variant::real(stored.toDouble());
}

std::string keyText(const std::string &operation, const std::string &section, const std::string &key) {
    return operation + " [" + section + "] " + key;
}

} // namespace

TableSettingsBackend::TableSettingsBackend(std::string tablePath) : tablePath_(std::move(tablePath)) {
    // An engine that cannot be reached throws from here to the creator; the table's answers do not.
    if (table_.OpenTable(Variant::text(tablePath_)) != kAnswerDone) {
        openFailure_ = "OpenTable: " + table_.lastOpenError();
        lastError_ = tablePath_ + ": " + openFailure_;
    }
    quietly(std::string("SetIndex ") + kLookupIndex, [this] {
        const auto answer = table_.SetIndex(kLookupIndex);
        if (answer != kAnswerDone)
            noteFailure(std::string("SetIndex ") + kLookupIndex, "answer " + std::to_string(answer));
    });
}

TableSettingsBackend::~TableSettingsBackend() {
    table_.CloseTable();
}

bool TableSettingsBackend::lookUp(const std::string &section, const std::string &key) {
    table_.GoTop();
    return table_.SeekKeyPair(Variant::text(section), Variant::text(key)) == kAnswerFound;
}

void TableSettingsBackend::noteFailure(const std::string &what, const std::string &reason) {
    lastError_ = tablePath_ + ": " + what + ": " + reason;
    // Whatever fails on a table that did not open fails because of that; the first cause is kept.
    if (!openFailure_.empty())
        lastError_ += " (" + openFailure_ + ")";
}

void TableSettingsBackend::quietly(const std::string &what, const std::function<void()> &step) {
    try {
        step();
    } catch (const std::exception &error) {
        noteFailure(what, error.what());
    }
}

Variant TableSettingsBackend::read(const std::string &section, const std::string &key, SettingKind kind,
                                   const Variant &def) {
    Variant value = def;
    quietly(keyText("read", section, key), [&] {
        // Only a Float read first asks whether the table holds a record at all.
        if (kind == SettingKind::Float && table_.GoTop() == 0)
            return;
        if (lookUp(section, key))
            value = converted(table_.Value("Value"), kind);
    });
    return value;
}

void TableSettingsBackend::write(const std::string &section, const std::string &key, SettingKind /*kind*/,
                                 const Variant &value) {
    // The value is stored with the Variant kind it comes with; the write may be lost or partly done.
    const std::string what = keyText("write", section, key);
    quietly(what, [&] {
        if (lookUp(section, key)) {
            table_.SetValue("Value", value);
        } else {
            table_.AppendRecord();
            table_.SetValue("Section1", Variant::text(section));
            table_.SetValue("Variable", Variant::text(key));
            table_.SetValue("TypeVar", Variant::text(""));
            table_.SetValue("Value", value);
        }
        const auto answer = table_.PostRecord();
        if (answer != kAnswerDone)
            noteFailure(what, "PostRecord answer " + std::to_string(answer));
    });
}

void TableSettingsBackend::removeKey(const std::string &section, const std::string &key) {
    const std::string what = keyText("remove", section, key);
    quietly(what, [&] {
        if (!lookUp(section, key))
            return;
        const auto answer = table_.DeleteRecord();
        if (answer != kAnswerDone)
            noteFailure(what, "DeleteRecord answer " + std::to_string(answer));
    });
}

} // namespace vrelmont
