#pragma once
// Host settings kept either as a plain INI file or as a host table with the same base name and
// the extension ".DAT"; the table form is taken whenever that ".DAT" file exists.
#include "hostdb/IniFile.h"
#include "hostdb/TBFTable.h"

#include <memory>

namespace vrelmont {

class TS3IniFile : public IniFile {
public:
    enum class Form { TableForm, IniForm };

    // Throws EngineError when the table form is chosen and the engine cannot be reached.
    explicit TS3IniFile(const std::string &fileName);
    ~TS3IniFile() override;

    Form form() const { return form_; }
    const std::string &tablePath() const { return tablePath_; }

    std::string GetText(const std::string &section, const std::string &key, const std::string &def) override;
    void PutText(const std::string &section, const std::string &key, const std::string &value) override;
    std::int32_t GetInt(const std::string &section, const std::string &key, std::int32_t def) override;
    void PutInt(const std::string &section, const std::string &key, std::int32_t value) override;
    bool GetFlag(const std::string &section, const std::string &key, bool def) override;
    void PutFlag(const std::string &section, const std::string &key, bool value) override;
    double GetDate(const std::string &section, const std::string &key, double def) override;
    void PutDate(const std::string &section, const std::string &key, double value) override;
    double GetDateTime(const std::string &section, const std::string &key, double def) override;
    void PutDateTime(const std::string &section, const std::string &key, double value) override;
    double GetTime(const std::string &section, const std::string &key, double def) override;
    void PutTime(const std::string &section, const std::string &key, double value) override;
    double GetFloat(const std::string &section, const std::string &key, double def) override;
    void PutFloat(const std::string &section, const std::string &key, double value) override;
    void RemoveKey(const std::string &section, const std::string &key) override;
    std::size_t GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size) override;
    void PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size) override;
    void ListKeys(const std::string &section, std::vector<std::string> &list) override;
    void ListSections(std::vector<std::string> &list) override;
    void ListSectionPairs(const std::string &section, std::vector<std::string> &list) override;
    void RemoveSection(const std::string &section) override;
    void Flush() override;

private:
    bool lookUp(const std::string &section, const std::string &key);
    template <typename T, typename Convert>
    T read(const std::string &section, const std::string &key, T def, Convert convert);
    void write(const std::string &section, const std::string &key, const Variant &value);

    Form form_;
    std::string tablePath_;
    std::unique_ptr<TBFTable> table_;
};

// The ".DAT" path beside an INI name: its extension replaced, or ".DAT" appended when it has none.
std::string SettingsTablePathFor(const std::string &iniFileName);

} // namespace vrelmont
