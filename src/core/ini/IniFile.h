#pragma once
// Plain INI file access. Section and key names are compared without regard to letter case.
// Files are windows-1250 on disk unless they start with a UTF-8 byte-order mark.
// A write goes to disk at once (or, for a file opened with WriteMode::OnFlush, at Flush) and leaves
// every other line of the file as it was; a failed write throws IniWriteError("Unable to write to <path>").
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vrelmont {

class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string &path);
};

// A value, section or key that cannot be stored in a line of the file (a line break, say).
class IniValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniText;

class IniFile {
public:
    // OnFlush reads the file once and gathers the writes, which reach the file together at Flush in
    // one replacement of the file; writes not flushed are dropped.
    enum class WriteMode { Immediate, OnFlush };

    explicit IniFile(std::string fileName, WriteMode mode = WriteMode::Immediate);
    virtual ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    const std::string &fileName() const { return fileName_; }

    virtual std::string GetText(const std::string &section, const std::string &key, const std::string &def);
    virtual void PutText(const std::string &section, const std::string &key, const std::string &value);
    virtual std::int32_t GetInt(const std::string &section, const std::string &key, std::int32_t def);
    virtual void PutInt(const std::string &section, const std::string &key, std::int32_t value);
    virtual bool GetFlag(const std::string &section, const std::string &key, bool def);
    virtual void PutFlag(const std::string &section, const std::string &key, bool value);
    // Dates and times are days since 30 December 1899, the time of day as the fraction.
    virtual double GetDate(const std::string &section, const std::string &key, double def);
    virtual void PutDate(const std::string &section, const std::string &key, double value);
    virtual double GetDateTime(const std::string &section, const std::string &key, double def);
    virtual void PutDateTime(const std::string &section, const std::string &key, double value);
    virtual double GetTime(const std::string &section, const std::string &key, double def);
    virtual void PutTime(const std::string &section, const std::string &key, double value);
    virtual double GetFloat(const std::string &section, const std::string &key, double def);
    virtual void PutFloat(const std::string &section, const std::string &key, double value);
    virtual void RemoveKey(const std::string &section, const std::string &key);
    // Reads the key's hex text into `buffer` (at most `size` bytes); answers the number of bytes read.
    virtual std::size_t GetBytes(const std::string &section, const std::string &key, void *buffer, std::size_t size);
    virtual void PutBytes(const std::string &section, const std::string &key, const void *data, std::size_t size);
    // The List operations replace the list's content with the keys, the sections, or "key=value" lines.
    virtual void ListKeys(const std::string &section, std::vector<std::string> &list);
    virtual void ListSections(std::vector<std::string> &list);
    virtual void ListSectionPairs(const std::string &section, std::vector<std::string> &list);
    virtual void RemoveSection(const std::string &section);
    virtual void Flush();

protected:
    // The raw value text of a key, blanks and enclosing quotes removed, cut at 2047 characters;
    // false when the file, section or key is missing.
    bool readValue(const std::string &section, const std::string &key, std::string &value) const;

private:
    // The file's lines as they stand after the writes so far.
    IniText current() const;
    void store(IniText &&text);

    std::string fileName_;
    WriteMode mode_;
    mutable std::unique_ptr<IniText> held_; // OnFlush: the file as read, with the writes so far
    bool unflushed_ = false;
};

// Parses an INI integer: decimal with optional sign, or hexadecimal after "$" or after a "0x"/"0X"
// prefix (the prefix counts only when more follows it). False when the text is no 32-bit number.
bool ParseIniInteger(const std::string &text, std::int32_t &value);

} // namespace vrelmont
