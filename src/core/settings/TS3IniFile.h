#pragma once
// Host settings kept either as a plain INI file or as a host table with the same base name and
// the extension ".DAT"; the table form is taken whenever that ".DAT" file exists. The store offers
// the INI file's operations in both forms and hands each to the backend of its form.
#include "ini/IniFile.h" // the INI form's failures: IniWriteError, IniValueError
#include "settings/SettingsBackend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vrelmont {

class TS3IniFile {
public:
    enum class Form { TableForm, IniForm };

    // Throws EngineError when the table form is chosen and the engine cannot be reached.
    explicit TS3IniFile(const std::string &fileName);
    ~TS3IniFile();
    TS3IniFile(const TS3IniFile &) = delete;
    TS3IniFile &operator=(const TS3IniFile &) = delete;

    const std::string &fileName() const { return fileName_; }
    Form form() const { return form_; }
    const std::string &tablePath() const { return tablePath_; }
    // Why the last failure the table form dropped happened (the table, the operation, the reason);
    // empty when there was none. The INI form drops nothing: its failures are thrown.
    std::string lastError() const { return backend_->lastError(); }

    std::string GetText(const std::string &section, const std::string &key, const std::string &def);
    void PutText(const std::string &section, const std::string &key, const std::string &value);
    std::int32_t GetInt(const std::string &section, const std::string &key, std::int32_t def);
    void PutInt(const std::string &section, const std::string &key, std::int32_t value);
    bool GetFlag(const std::string &section, const std::string &key, bool def);
    void PutFlag(const std::string &section, const std::string &key, bool value);
    // Dates and times are days since 30 December 1899, the time of day as the fraction. A time read
    // gives the whole stored date and time in both forms.
    double GetDate(const std::string &section, const std::string &key, double def);
    void PutDate(const std::string &section, const std::string &key, double value);
    double GetDateTime(const std::string &section, const std::string &key, double def);
    void PutDateTime(const std::string &section, const std::string &key, double value);
    double GetTime(const std::string &section, const std::string &key, double def);
    void PutTime(const std::string &section, const std::string &key, double value);
    double GetFloat(const std::string &section, const std::string &key, double def);
    void PutFloat(const std::string &section, const std::string &key, double value);
    void RemoveKey(const std::string &section, const std::string &key);
    // The table form keeps no bytes, lists or sections: 0 bytes read, the caller's list left as it was.
    std::size_t GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size);
    void PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size);
    void ListKeys(const std::string &section, std::vector<std::string> &list);
    void ListSections(std::vector<std::string> &list);
    void ListSectionPairs(const std::string &section, std::vector<std::string> &list);
    void RemoveSection(const std::string &section);
    void Flush();

private:
    std::string fileName_;
    Form form_ = Form::IniForm;
    std::string tablePath_;
    std::unique_ptr<SettingsBackend> backend_;
};

// The ".DAT" path beside an INI name: its extension replaced, or ".DAT" appended when it has none.
std::string SettingsTablePathFor(const std::string &iniFileName);

} // namespace vrelmont
