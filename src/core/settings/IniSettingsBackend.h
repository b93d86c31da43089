#pragma once
// Settings kept as a plain INI file: every operation is the INI file's own, and its failures
// reach the caller. The one difference: a time read gives the date as well, as the table does.
#include "ini/IniFile.h"
#include "settings/SettingsBackend.h"

namespace vrelmont {

class IniSettingsBackend : public SettingsBackend {
public:
    explicit IniSettingsBackend(const std::string &fileName) : file_(fileName) {}

    Variant read(const std::string &section, const std::string &key, SettingKind kind, const Variant &def) override;
    void write(const std::string &section, const std::string &key, SettingKind kind, const Variant &value) override;
    void removeKey(const std::string &section, const std::string &key) override;
    std::size_t readBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size) override;
    void writeBytes(const std::string &section, const std::string &key, const void *data, std::size_t size) override;
    void listKeys(const std::string &section, std::vector<std::string> &list) override;
    void listSections(std::vector<std::string> &list) override;
    void listSectionPairs(const std::string &section, std::vector<std::string> &list) override;
    void removeSection(const std::string &section) override;
    void flush() override;

private:
    IniFile file_;
};

} // namespace vrelmont
