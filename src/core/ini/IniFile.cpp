#include "ini/IniFile.h"

#include "ini/IniText.h"
#include "text/DateNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vrelmont {
namespace {

constexpr std::size_t kMaxValueCharacters = 2047;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Cuts after `count` UTF-8 characters.
std::string firstCharacters(const std::string &text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == count)
            return text.substr(0, i);
    }
    return text;
}

std::string cleanValue(const std::string &raw) {
    std::size_t begin = 0, end = raw.size();
    while (begin < end && isBlank(raw[begin]))
        ++begin;
    while (end > begin && isBlank(raw[end - 1]))
        --end;
    std::string value = raw.substr(begin, end - begin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return firstCharacters(value, kMaxValueCharacters);
}

// Quotes a value that reading would otherwise change (blanks at its ends, or its own enclosing quotes).
std::string storedValue(const std::string &value) {
    const bool blanks = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quotes =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return blanks || quotes ? "\"" + value + "\"" : value;
}

void requireSingleLine(const std::string &what, const std::string &text) {
    if (text.find_first_of("\r\n") != std::string::npos)
        throw IniValueError(what + " obsahuje konec řádku a nelze jej zapsat do INI souboru: " + text.substr(0, 40));
}

bool parseFloat(const std::string &text, double &value) {
    std::string t = text;
    if (t.find(',') != std::string::npos && t.find('.') == std::string::npos)
        t[t.find(',')] = '.';
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    return !t.empty() && result.ec == std::errc() && result.ptr == t.data() + t.size() && std::isfinite(value);
}

std::string floatText(double value) {
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

} // namespace

IniWriteError::IniWriteError(const std::string &path) : std::runtime_error("Unable to write to " + path) {}

bool ParseIniInteger(const std::string &text, std::int32_t &value) {
    std::string t = text;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        t = "$" + t.substr(2);
    bool negative = false;
    std::size_t pos = 0;
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+'))
        negative = t[pos++] == '-';
    int base = 10;
    if (pos < t.size() && t[pos] == '$') {
        base = 16;
        ++pos;
    }
    if (pos >= t.size())
        return false;
    std::uint64_t magnitude = 0;
    const auto result = std::from_chars(t.data() + pos, t.data() + t.size(), magnitude, base);
    if (result.ec != std::errc() || result.ptr != t.data() + t.size())
        return false;
    // Hexadecimal texts may name all 32 bits ("$FFFFFFFF" is -1), as the INI writers of old did.
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
    if (magnitude > static_cast<std::uint64_t>(limit))
        return false;
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

IniFile::IniFile(std::string fileName, WriteMode mode) : fileName_(std::move(fileName)), mode_(mode) {}

IniFile::~IniFile() = default;

IniText IniFile::current() const {
    if (mode_ == WriteMode::Immediate)
        return IniText::load(fileName_);
    if (!held_)
        held_ = std::make_unique<IniText>(IniText::load(fileName_));
    return *held_;
}

void IniFile::store(IniText &&text) {
    if (mode_ == WriteMode::Immediate)
        return text.save(fileName_);
    held_ = std::make_unique<IniText>(std::move(text));
    unflushed_ = true;
}

bool IniFile::readValue(const std::string &section, const std::string &key, std::string &value) const {
    const auto raw = current().rawValue(section, key);
    if (!raw)
        return false;
    value = cleanValue(*raw);
    return true;
}

std::string IniFile::GetText(const std::string &section, const std::string &key, const std::string &def) {
    std::string value;
    return readValue(section, key, value) ? value : def;
}

void IniFile::PutText(const std::string &section, const std::string &key, const std::string &value) {
    requireSingleLine("Název sekce", section);
    requireSingleLine("Název klíče", key);
    requireSingleLine("Hodnota klíče " + key, value);
    if (section.find(']') != std::string::npos || key.find('=') != std::string::npos || key.empty() ||
        key.front() == '[' || key.front() == ';')
        throw IniValueError("Název sekce nebo klíče nelze zapsat do INI souboru: [" + section + "] " + key);
    auto ini = current();
    ini.setValue(section, key, storedValue(value));
    store(std::move(ini));
}

std::int32_t IniFile::GetInt(const std::string &section, const std::string &key, std::int32_t def) {
    std::string text;
    std::int32_t value = 0;
    return readValue(section, key, text) && ParseIniInteger(text, value) ? value : def;
}

void IniFile::PutInt(const std::string &section, const std::string &key, std::int32_t value) {
    PutText(section, key, std::to_string(value));
}

bool IniFile::GetFlag(const std::string &section, const std::string &key, bool def) {
    return GetInt(section, key, def ? 1 : 0) != 0;
}

void IniFile::PutFlag(const std::string &section, const std::string &key, bool value) {
    PutText(section, key, value ? "1" : "0");
}

double IniFile::GetDateTime(const std::string &section, const std::string &key, double def) {
    std::string text;
    if (!readValue(section, key, text))
        return def;
    return ParseDateTimeText(text).value_or(def);
}

double IniFile::GetDate(const std::string &section, const std::string &key, double def) {
    std::string text;
    if (!readValue(section, key, text))
        return def;
    const auto days = ParseDateTimeText(text);
    return days ? std::trunc(*days) : def;
}

double IniFile::GetTime(const std::string &section, const std::string &key, double def) {
    std::string text;
    if (!readValue(section, key, text))
        return def;
    const auto days = ParseDateTimeText(text);
    return days ? std::fabs(*days - std::trunc(*days)) : def;
}

void IniFile::PutDate(const std::string &section, const std::string &key, double value) {
    PutText(section, key, DateText(value));
}

void IniFile::PutDateTime(const std::string &section, const std::string &key, double value) {
    PutText(section, key, DateTimeText(value));
}

void IniFile::PutTime(const std::string &section, const std::string &key, double value) {
    PutText(section, key, TimeText(value));
}

double IniFile::GetFloat(const std::string &section, const std::string &key, double def) {
    std::string text;
    double value = 0;
    return readValue(section, key, text) && parseFloat(text, value) ? value : def;
}

void IniFile::PutFloat(const std::string &section, const std::string &key, double value) {
    PutText(section, key, floatText(value));
}

void IniFile::RemoveKey(const std::string &section, const std::string &key) {
    auto ini = current();
    if (ini.removeKey(section, key))
        store(std::move(ini));
}

std::size_t IniFile::GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size) {
    std::string text;
    if (!readValue(section, key, text) || text.size() % 2 != 0)
        return 0;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto result = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (result.ec != std::errc() || result.ptr != text.data() + i + 2)
            return 0;
        bytes += static_cast<char>(value);
    }
    const auto count = std::min(size, bytes.size());
    std::memcpy(buffer, bytes.data(), count);
    return count;
}

void IniFile::PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<const unsigned char *>(data)[i];
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    PutText(section, key, text);
}

void IniFile::ListKeys(const std::string &section, std::vector<std::string> &list) {
    list.clear();
    for (const auto &[name, value] : current().entries(section))
        list.push_back(name);
}

void IniFile::ListSections(std::vector<std::string> &list) {
    list = current().sections();
}

void IniFile::ListSectionPairs(const std::string &section, std::vector<std::string> &list) {
    list.clear();
    for (const auto &[name, value] : current().entries(section))
        list.push_back(name + "=" + cleanValue(value));
}

void IniFile::RemoveSection(const std::string &section) {
    auto ini = current();
    if (ini.removeSection(section))
        store(std::move(ini));
}

void IniFile::Flush() {
    if (!unflushed_)
        return;
    held_->save(fileName_);
    unflushed_ = false;
}

} // namespace vrelmont
