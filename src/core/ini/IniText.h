#pragma once
// The lines of one INI file as they stand on disk, and the edits of single keys. Lines are kept as
// raw bytes with their own line endings, so that an edit leaves every other line byte for byte.
#include <optional>
#include <string>
#include <vector>

namespace vrelmont {

class IniText {
public:
    // A missing file reads as empty; so does one that is not a readable regular file of at most
    // kMaxIniFileBytes (a FIFO, a device, a directory, a huge file): reads give their defaults, and
    // saving such a text fails rather than replace what stands there.
    static IniText load(const std::string &path);
    static constexpr std::size_t kMaxIniFileBytes = 1 << 20;

    // The raw value after "=" of the first matching key in the first matching section (UTF-8).
    std::optional<std::string> rawValue(const std::string &section, const std::string &key) const;
    std::vector<std::string> sections() const;
    // (key, raw value) pairs of the first matching section, in file order.
    std::vector<std::pair<std::string, std::string>> entries(const std::string &section) const;

    // Sets one key's line (value as it should stand after "="), creating the section when missing.
    void setValue(const std::string &section, const std::string &key, const std::string &value);
    bool removeKey(const std::string &section, const std::string &key);
    bool removeSection(const std::string &section);

    // Writes a new file beside the old one and puts it in its place; throws IniWriteError, also
    // for a file without write permission.
    void save(const std::string &path) const;

private:
    struct Line {
        std::string raw; // bytes as on disk, without the line ending
        std::string ending;
        std::string text; // raw decoded to UTF-8
    };
    enum class Kind { Other, Section, Key };
    Kind classify(const Line &line, std::string &name, std::string &value) const;
    // The line range [begin, end) of the first section with this name: begin is its header line.
    bool findSection(const std::string &section, std::size_t &begin, std::size_t &end) const;
    Line makeLine(const std::string &utf8);
    std::string newline() const;

    std::vector<Line> lines_;
    bool utf8_ = false;
    bool unreadable_ = false;
};

} // namespace vrelmont
