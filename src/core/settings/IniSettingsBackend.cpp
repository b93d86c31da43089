#include "settings/IniSettingsBackend.h"

namespace vrelmont {

Variant IniSettingsBackend::read(const std::string &section, const std::string &key, SettingKind kind,
                                 const Variant &def) {
    switch (kind) {
    case SettingKind::Text:
        return Variant::text(file_.GetText(section, key, def.toText()));
    case SettingKind::Integer:
        return Variant::int32(file_.GetInt(section, key, def.toInt32()));
    case SettingKind::Flag:
        return Variant::boolean(file_.GetFlag(section, key, def.toBoolean()));
    case SettingKind::Date:
        return Variant::real(file_.GetDate(section, key, def.toDouble()));
    case SettingKind::DateTime:
    case SettingKind::Time: // the whole stored date and time, as the table form gives it
        return Variant::real(file_.GetDateTime(section, key, def.toDouble()));
    case SettingKind::Float:
        return Variant::real(file_.GetFloat(section, key, def.toDouble()));
    }
    return def;
}

void IniSettingsBackend::write(const std::string &section, const std::string &key, SettingKind kind,
                               const Variant &value) {
    switch (kind) {
    case SettingKind::Text:
        return file_.PutText(section, key, value.toText());
    case SettingKind::Integer:
        return file_.PutInt(section, key, value.toInt32());
    case SettingKind::Flag:
        return file_.PutFlag(section, key, value.toBoolean());
    case SettingKind::Date:
        return file_.PutDate(section, key, value.toDouble());
    case SettingKind::DateTime:
        return file_.PutDateTime(section, key, value.toDouble());
    case SettingKind::Time:
        return file_.PutTime(section, key, value.toDouble());
    case SettingKind::Float:
        return file_.PutFloat(section, key, value.toDouble());
    }
}

void IniSettingsBackend::removeKey(const std::string &section, const std::string &key) {
    file_.RemoveKey(section, key);
}

std::size_t IniSettingsBackend::readBytes(const std::string &section, const std::string &key, void *buffer,
                                          std::size_t size) {
    return file_.GetBytes(section, key, buffer, size);
}

void IniSettingsBackend::writeBytes(const std::string &section, const std::string &key, const void *data,
                                    std::size_t size) {
    file_.PutBytes(section, key, data, size);
}

void IniSettingsBackend::listKeys(const std::string &section, std::vector<std::string> &list) {
    file_.ListKeys(section, list);
}

void IniSettingsBackend::listSections(std::vector<std::string> &list) {
    file_.ListSections(list);
}

void IniSettingsBackend::listSectionPairs(const std::string &section, std::vector<std::string> &list) {
    file_.ListSectionPairs(section, list);
}

void IniSettingsBackend::removeSection(const std::string &section) {
    file_.RemoveSection(section);
}

void IniSettingsBackend::flush() {
    file_.Flush();
}

} // namespace vrelmont
