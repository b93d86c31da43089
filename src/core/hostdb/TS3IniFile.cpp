#include "hostdb/TS3IniFile.h"

#include "platform/Utf8Path.h"

#include <filesystem>

namespace vrelmont {

std::string SettingsTablePathFor(const std::string &iniFileName) {
    std::filesystem::path path = PathFromUtf8(iniFileName);
    if (!path.has_extension())
        return iniFileName + ".DAT";
    return Utf8FromPath(path.replace_extension(".DAT"));
}

TS3IniFile::TS3IniFile(const std::string &fileName) : IniFile(fileName), form_(Form::IniForm) {
    const std::string dat = SettingsTablePathFor(fileName);
    std::error_code error;
    if (!std::filesystem::exists(PathFromUtf8(dat), error))
        return;
    form_ = Form::TableForm;
    tablePath_ = dat;
    table_ = std::make_unique<TBFTable>();
    // The answers are not looked at: a table that does not open makes every read give its default.
    table_->OpenTable(Variant::text(dat));
    try {
        table_->SetIndex("Section1+Variable");
    } catch (const std::exception &) {
        // Not open: the reads and writes below fail quietly as well.
    }
}

TS3IniFile::~TS3IniFile() {
    if (table_)
        table_->CloseTable();
}

bool TS3IniFile::lookUp(const std::string &section, const std::string &key) {
    table_->GoTop();
    return table_->SeekKeyPair(Variant::text(section), Variant::text(key)) == kAnswerFound;
}

template <typename T, typename Convert>
T TS3IniFile::read(const std::string &section, const std::string &key, T def, Convert convert) {
    try {
        if (!lookUp(section, key))
            return def;
        return convert(table_->Value("Value"));
    } catch (const std::exception &) {
        return def;
    }
}

void TS3IniFile::write(const std::string &section, const std::string &key, const Variant &value) {
    try {
        if (lookUp(section, key)) {
            table_->SetValue("Value", value);
        } else {
            table_->AppendRecord();
            table_->SetValue("Section1", Variant::text(section));
            table_->SetValue("Variable", Variant::text(key));
            table_->SetValue("TypeVar", Variant::text(""));
            table_->SetValue("Value", value);
        }
        table_->PostRecord();
    } catch (const std::exception &) {
        // A settings write in the host table is best effort: the caller is not told.
    }
}

std::string TS3IniFile::GetText(const std::string &section, const std::string &key, const std::string &def) {
    if (form_ == Form::IniForm)
        return IniFile::GetText(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toText(); });
}

void TS3IniFile::PutText(const std::string &section, const std::string &key, const std::string &value) {
    if (form_ == Form::IniForm)
        return IniFile::PutText(section, key, value);
    write(section, key, Variant::text(value));
}

std::int32_t TS3IniFile::GetInt(const std::string &section, const std::string &key, std::int32_t def) {
    if (form_ == Form::IniForm)
        return IniFile::GetInt(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toInt32(); });
}

void TS3IniFile::PutInt(const std::string &section, const std::string &key, std::int32_t value) {
    if (form_ == Form::IniForm)
        return IniFile::PutInt(section, key, value);
    write(section, key, Variant::int32(value));
}

bool TS3IniFile::GetFlag(const std::string &section, const std::string &key, bool def) {
    if (form_ == Form::IniForm)
        return IniFile::GetFlag(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toBoolean(); });
}

void TS3IniFile::PutFlag(const std::string &section, const std::string &key, bool value) {
    if (form_ == Form::IniForm)
        return IniFile::PutFlag(section, key, value);
    write(section, key, Variant::boolean(value));
}

double TS3IniFile::GetDate(const std::string &section, const std::string &key, double def) {
    if (form_ == Form::IniForm)
        return IniFile::GetDate(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toDouble(); });
}

void TS3IniFile::PutDate(const std::string &section, const std::string &key, double value) {
    if (form_ == Form::IniForm)
        return IniFile::PutDate(section, key, value);
    write(section, key, Variant::date(value));
}

double TS3IniFile::GetDateTime(const std::string &section, const std::string &key, double def) {
    if (form_ == Form::IniForm)
        return IniFile::GetDateTime(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toDouble(); });
}

void TS3IniFile::PutDateTime(const std::string &section, const std::string &key, double value) {
    if (form_ == Form::IniForm)
        return IniFile::PutDateTime(section, key, value);
    write(section, key, Variant::date(value));
}

double TS3IniFile::GetTime(const std::string &section, const std::string &key, double def) {
    // Both forms give the whole stored date and time.
    if (form_ == Form::IniForm)
        return IniFile::GetDateTime(section, key, def);
    return read(section, key, def, [](const Variant &v) { return v.toDouble(); });
}

void TS3IniFile::PutTime(const std::string &section, const std::string &key, double value) {
    if (form_ == Form::IniForm)
        return IniFile::PutTime(section, key, value);
    write(section, key, Variant::date(value));
}

double TS3IniFile::GetFloat(const std::string &section, const std::string &key, double def) {
    if (form_ == Form::IniForm)
        return IniFile::GetFloat(section, key, def);
    try {
        if (table_->GoTop() == 0)
            return def;
    } catch (const std::exception &) {
        return def;
    }
    return read(section, key, def, [](const Variant &v) { return v.toDouble(); });
}

void TS3IniFile::PutFloat(const std::string &section, const std::string &key, double value) {
    if (form_ == Form::IniForm)
        return IniFile::PutFloat(section, key, value);
    write(section, key, Variant::real(value));
}

void TS3IniFile::RemoveKey(const std::string &section, const std::string &key) {
    if (form_ == Form::IniForm)
        return IniFile::RemoveKey(section, key);
    try {
        if (lookUp(section, key))
            table_->DeleteRecord();
    } catch (const std::exception &) {
    }
}

std::size_t TS3IniFile::GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size) {
    return form_ == Form::IniForm ? IniFile::GetBytes(section, key, buffer, size) : 0;
}

void TS3IniFile::PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size) {
    if (form_ == Form::IniForm)
        IniFile::PutBytes(section, key, data, size);
}

void TS3IniFile::ListKeys(const std::string &section, std::vector<std::string> &list) {
    if (form_ == Form::IniForm)
        IniFile::ListKeys(section, list);
}

void TS3IniFile::ListSections(std::vector<std::string> &list) {
    if (form_ == Form::IniForm)
        IniFile::ListSections(list);
}

void TS3IniFile::ListSectionPairs(const std::string &section, std::vector<std::string> &list) {
    if (form_ == Form::IniForm)
        IniFile::ListSectionPairs(section, list);
}

void TS3IniFile::RemoveSection(const std::string &section) {
    if (form_ == Form::IniForm)
        IniFile::RemoveSection(section);
}

void TS3IniFile::Flush() {
    if (form_ == Form::IniForm)
        IniFile::Flush();
}

} // namespace vrelmont
