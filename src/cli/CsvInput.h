#pragma once
// What a spreadsheet's CSV needs before its fields can be read: the input itself (a file or
// standard input), its text encoding and its separator.
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace vrelmont::cli {

enum class TextEncoding { Utf8, Windows1250 };

// "utf-8" or "windows-1250" (also "utf8", "cp1250"); UsageError otherwise.
TextEncoding ParseEncodingOption(const std::string &text);
// ",", ";" or a tab ("tab" or "\t"); UsageError otherwise.
char ParseSeparatorOption(const std::string &text);
std::string SeparatorName(char separator);

// The CSV input as a file that can be read more than once: the named file, or for "-" a copy of
// standard input in a temporary file that is removed again.
class CsvInput {
public:
    // `name` is a file, a FIFO, or "-" for standard input.
    explicit CsvInput(const std::string &name);
    ~CsvInput();
    CsvInput(const CsvInput &) = delete;
    CsvInput &operator=(const CsvInput &) = delete;

    // The name for messages: the file's, or "standard input".
    const std::string &displayName() const { return displayName_; }
    const std::filesystem::path &path() const { return path_; }
    // Whether every byte of the input is UTF-8 text (read once, in pieces).
    bool isUtf8() const { return utf8_; }

private:
    // Keeps all of `stream` in a temporary file: the input is read several times (its encoding, its
    // separator, its records), which a pipe or FIFO allows only once.
    void keepCopyOf(std::istream &stream);

    std::string displayName_;
    std::filesystem::path path_;
    bool temporary_ = false;
    bool utf8_ = true;
};

// A field's bytes as UTF-8; empty, with `problem` set, when they are not text in `encoding`.
std::optional<std::string> DecodeField(std::string_view bytes, TextEncoding encoding, std::string &problem);

} // namespace vrelmont::cli
