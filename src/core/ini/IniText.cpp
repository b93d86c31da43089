#include "ini/IniText.h"

#include "ini/IniFile.h"
#include "platform/FileAccess.h"
#include "platform/FileIo.h"
#include "platform/Utf8Path.h"
#include "text/Cp1250.h"
#include "text/TextFold.h"
#include "text/TextTrim.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vrelmont {

IniText IniText::load(const std::string &path) {
    IniText ini;
    std::string reason;
    FileKind kind = FileKind::Missing;
    auto read = ReadBoundedFile(path, kMaxIniFileBytes, reason, kind);
    if (!read) {
        // Something that is not a readable INI file is never replaced by one written from defaults.
        ini.unreadable_ = kind != FileKind::Missing;
        return ini;
    }
    std::string bytes = std::move(*read);
    if (bytes.rfind(kUtf8Bom, 0) == 0) {
        ini.utf8_ = true;
        bytes.erase(0, kUtf8Bom.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        Line line;
        if (end == std::string::npos) {
            line.raw = bytes.substr(start);
            end = bytes.size();
        } else {
            line.raw = bytes.substr(start, end - start);
            line.ending = "\n";
            if (!line.raw.empty() && line.raw.back() == '\r') {
                line.raw.pop_back();
                line.ending = "\r\n";
            }
        }
        line.text = ini.utf8_ ? line.raw : Cp1250ToUtf8(line.raw);
        ini.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return ini;
}

IniText::Kind IniText::classify(const Line &line, std::string &name, std::string &value) const {
    const std::string text = TrimBlanks(line.text);
    if (text.empty() || text.front() == ';')
        return Kind::Other;
    if (text.front() == '[') {
        const auto close = text.find(']');
        name = TrimBlanks(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return Kind::Section;
    }
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        return Kind::Other;
    name = TrimBlanks(text.substr(0, equals));
    value = text.substr(equals + 1);
    return Kind::Key;
}

bool IniText::findSection(const std::string &section, std::size_t &begin, std::size_t &end) const {
    std::string name, value;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (classify(lines_[i], name, value) != Kind::Section || !SameNameIgnoringCase(name, section))
            continue;
        begin = i;
        end = i + 1;
        while (end < lines_.size() && classify(lines_[end], name, value) != Kind::Section)
            ++end;
        return true;
    }
    return false;
}

std::optional<std::string> IniText::rawValue(const std::string &section, const std::string &key) const {
    for (const auto &[name, value] : entries(section))
        if (SameNameIgnoringCase(name, key))
            return value;
    return std::nullopt;
}

std::vector<std::string> IniText::sections() const {
    std::vector<std::string> result;
    std::string name, value;
    for (const auto &line : lines_)
        if (classify(line, name, value) == Kind::Section)
            result.push_back(name);
    return result;
}

std::vector<std::pair<std::string, std::string>> IniText::entries(const std::string &section) const {
    std::vector<std::pair<std::string, std::string>> result;
    std::size_t begin = 0, end = 0;
    if (!findSection(section, begin, end))
        return result;
    std::string name, value;
    for (std::size_t i = begin + 1; i < end; ++i)
        if (classify(lines_[i], name, value) == Kind::Key)
            result.emplace_back(name, value);
    return result;
}

std::string IniText::newline() const {
    for (const auto &line : lines_)
        if (!line.ending.empty())
            return line.ending;
    return "\r\n";
}

IniText::Line IniText::makeLine(const std::string &utf8) {
    if (!utf8_) {
        if (auto bytes = Utf8ToCp1250(utf8))
            return {*bytes, newline(), utf8};
        // The text needs characters beyond windows-1250: the file becomes UTF-8 with a byte-order
        // mark, every line keeping its characters, rather than losing any of them.
        utf8_ = true;
        for (auto &line : lines_)
            line.raw = line.text;
    }
    return {utf8, newline(), utf8};
}

void IniText::setValue(const std::string &section, const std::string &key, const std::string &value) {
    const std::string text = key + "=" + value;
    std::size_t begin = 0, end = 0;
    if (!findSection(section, begin, end)) {
        if (!lines_.empty() && lines_.back().ending.empty())
            lines_.back().ending = newline();
        // One at a time: a switch to UTF-8 while making a line re-encodes the lines already stored.
        lines_.push_back(makeLine("[" + section + "]"));
        lines_.push_back(makeLine(text));
        return;
    }
    std::string name, old;
    std::size_t last = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
        const Kind kind = classify(lines_[i], name, old);
        if (kind == Kind::Key && SameNameIgnoringCase(name, key)) {
            auto line = makeLine(text);
            line.ending = lines_[i].ending.empty() ? std::string() : lines_[i].ending;
            lines_[i] = std::move(line);
            return;
        }
        if (kind != Kind::Other || !TrimBlanks(lines_[i].text).empty())
            last = i;
    }
    auto line = makeLine(text);
    if (lines_[last].ending.empty())
        lines_[last].ending = newline();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), std::move(line));
}

bool IniText::removeKey(const std::string &section, const std::string &key) {
    std::size_t begin = 0, end = 0;
    if (!findSection(section, begin, end))
        return false;
    std::string name, value;
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (classify(lines_[i], name, value) == Kind::Key && SameNameIgnoringCase(name, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool IniText::removeSection(const std::string &section) {
    std::size_t begin = 0, end = 0;
    if (!findSection(section, begin, end))
        return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

void IniText::save(const std::string &path) const {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target = PathFromUtf8(path);
    if (fs::is_symlink(target, error))
        target = fs::canonical(target, error);
    // A file without write permission keeps its content: the rename below would not ask.
    const FileKind kind = ExamineFile(Utf8FromPath(target));
    if (unreadable_ || (kind != FileKind::Regular && kind != FileKind::Missing) ||
        IsWriteProtected(Utf8FromPath(target)))
        throw IniWriteError(path);
    // A new file beside the old one, put in its place only when fully written: an interrupted
    // or failed write leaves the previous file as it was.
    std::string bytes = utf8_ ? std::string(kUtf8Bom) : std::string();
    for (const auto &line : lines_)
        bytes += line.raw + line.ending;
    if (!ReplaceFileAtomically(target, bytes,
                               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read))
        throw IniWriteError(path);
}

} // namespace vrelmont
