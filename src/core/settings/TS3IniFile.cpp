#include "settings/TS3IniFile.h"

#include "platform/FileIo.h"
#include "platform/Utf8Path.h"
#include "settings/IniSettingsBackend.h"
#include "settings/TableSettingsBackend.h"

#include <filesystem>

namespace vrelmont {

std::string SettingsTablePathFor(const std::string &iniFileName) {
    std::filesystem::path path = PathFromUtf8(iniFileName);
    if (!path.has_extension())
        return iniFileName + ".DAT";
    return Utf8FromPath(path.replace_extension(".DAT"));
}

TS3IniFile::TS3IniFile(const std::string &fileName) : fileName_(fileName) {
    // The INI file itself is not looked at: the table wins even when both exist.
    const std::string dat = SettingsTablePathFor(fileName);
    if (PathExists(dat)) {
        form_ = Form::TableForm;
        tablePath_ = dat;
        backend_ = std::make_unique<TableSettingsBackend>(dat);
    } else {
        backend_ = std::make_unique<IniSettingsBackend>(fileName);
    }
}

TS3IniFile::~TS3IniFile() = default;

std::string TS3IniFile::GetText(const std::string &section, const std::string &key, const std::string &def) {
    return backend_->read(section, key, SettingKind::Text, Variant::text(def)).toText();
}

void TS3IniFile::PutText(const std::string &section, const std::string &key, const std::string &value) {
    backend_->write(section, key, SettingKind::Text, Variant::text(value));
}

std::int32_t TS3IniFile::GetInt(const std::string &section, const std::string &key, std::int32_t def) {
    return backend_->read(section, key, SettingKind::Integer, Variant::int32(def)).toInt32();
}

void TS3IniFile::PutInt(const std::string &section, const std::string &key, std::int32_t value) {
    backend_->write(section, key, SettingKind::Integer, Variant::int32(value));
}

bool TS3IniFile::GetFlag(const std::string &section, const std::string &key, bool def) {
    return backend_->read(section, key, SettingKind::Flag, Variant::boolean(def)).toBoolean();
}

void TS3IniFile::PutFlag(const std::string &section, const std::string &key, bool value) {
    backend_->write(section, key, SettingKind::Flag, Variant::boolean(value));
}

double TS3IniFile::GetDate(const std::string &section, const std::string &key, double def) {
    return backend_->read(section, key, SettingKind::Date, Variant::real(def)).toDouble();
}

void TS3IniFile::PutDate(const std::string &section, const std::string &key, double value) {
    backend_->write(section, key, SettingKind::Date, Variant::date(value));
}

double TS3IniFile::GetDateTime(const std::string &section, const std::string &key, double def) {
    return backend_->read(section, key, SettingKind::DateTime, Variant::real(def)).toDouble();
}

void TS3IniFile::PutDateTime(const std::string &section, const std::string &key, double value) {
    backend_->write(section, key, SettingKind::DateTime, Variant::date(value));
}

double TS3IniFile::GetTime(const std::string &section, const std::string &key, double def) {
    return backend_->read(section, key, SettingKind::Time, Variant::real(def)).toDouble();
}

void TS3IniFile::PutTime(const std::string &section, const std::string &key, double value) {
    backend_->write(section, key, SettingKind::Time, Variant::date(value));
}

double TS3IniFile::GetFloat(const std::string &section, const std::string &key, double def) {
    return backend_->read(section, key, SettingKind::Float, Variant::real(def)).toDouble();
}

void TS3IniFile::PutFloat(const std::string &section, const std::string &key, double value) {
    backend_->write(section, key, SettingKind::Float, Variant::real(value));
}

void TS3IniFile::RemoveKey(const std::string &section, const std::string &key) {
    backend_->removeKey(section, key);
}

std::size_t TS3IniFile::GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size) {
    return backend_->readBytes(section, key, buffer, size);
}

void TS3IniFile::PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size) {
    backend_->writeBytes(section, key, data, size);
}

void TS3IniFile::ListKeys(const std::string &section, std::vector<std::string> &list) {
    backend_->listKeys(section, list);
}

void TS3IniFile::ListSections(std::vector<std::string> &list) {
    backend_->listSections(list);
}

void TS3IniFile::ListSectionPairs(const std::string &section, std::vector<std::string> &list) {
    backend_->listSectionPairs(section, list);
}

void TS3IniFile::RemoveSection(const std::string &section) {
    backend_->removeSection(section);
}

void TS3IniFile::Flush() {
    backend_->flush();
}

} // namespace vrelmont
