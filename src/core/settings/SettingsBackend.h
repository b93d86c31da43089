#pragma once
// Where a settings store keeps its values: a plain INI file or a host settings table. The store
// (TS3IniFile) picks one backend at creation and hands every operation to it.
#include "engine/Variant.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vrelmont {

// The kinds of value the settings operations read and write. The three date kinds share one
// number (days since 30 December 1899) but an INI file writes and reads each as its own text.
enum class SettingKind { Text, Integer, Flag, Date, DateTime, Time, Float };

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    // The key's value as `kind` asks (text, int32, boolean, or a number for the date kinds and
    // Float); `def` when the key is missing or its value cannot be read as that kind.
    virtual Variant read(const std::string &section, const std::string &key, SettingKind kind, const Variant &def) = 0;
    virtual void write(const std::string &section, const std::string &key, SettingKind kind, const Variant &value) = 0;
    virtual void removeKey(const std::string &section, const std::string &key) = 0;

    // What only an INI file keeps. By default nothing is there: no bytes, and a list is left as
    // the caller passed it, not cleared.
    virtual std::size_t readBytes(const std::string & /*section*/, const std::string & /*key*/, void * /*buffer*/,
                                  std::size_t /*size*/) {
        return 0;
    }
    virtual void writeBytes(const std::string & /*section*/, const std::string & /*key*/, const void * /*data*/,
                            std::size_t /*size*/) {}
    virtual void listKeys(const std::string & /*section*/, std::vector<std::string> & /*list*/) {}
    virtual void listSections(std::vector<std::string> & /*list*/) {}
    virtual void listSectionPairs(const std::string & /*section*/, std::vector<std::string> & /*list*/) {}
    virtual void removeSection(const std::string & /*section*/) {}
    virtual void flush() {}

    // Why the last failure that this backend dropped instead of reporting happened; empty when
    // none did. A backend whose failures reach the caller keeps it empty.
    virtual std::string lastError() const { return {}; }
};

} // namespace vrelmont
