#pragma once
// What a spreadsheet's CSV needs before its fields can be read: the input itself (a file or
// standard input), its text encoding and its separator.
#include "cli/EncodingGuess.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace vrelmont::cli {

// "utf-8" or "windows-1250" (also "utf8", "cp1250"); UsageError otherwise.
TextEncoding ParseEncodingOption(const std::string &text);
// ",", ";" or a tab ("tab" or "\t"); UsageError otherwise.
char ParseSeparatorOption(const std::string &text);
std::string SeparatorName(char separator);

// The CSV input as a file that can be read more than once: the named file, or for "-" a copy of
// standard input in a temporary file that is removed again. UTF-16 text (known by its byte-order
// mark) is converted into a temporary file of UTF-8.
class CsvInput {
public:
    // `name` is a file, a FIFO, or "-" for standard input.
    explicit CsvInput(const std::string &name);
    ~CsvInput();
    CsvInput(const CsvInput &) = delete;
    CsvInput &operator=(const CsvInput &) = delete;

    // The name for messages: the file's, or "standardní vstup".
    const std::string &displayName() const { return displayName_; }
    const std::filesystem::path &path() const { return path_; }
    // The encoding of path(): UTF-8 for UTF-16 input (converted) and after a UTF-8 byte-order mark,
    // else what the text itself shows (read once, in pieces).
    TextEncoding encoding() const;
    // "UTF-16LE" or "UTF-16BE" for input that was converted from UTF-16; empty otherwise.
    const std::string &utf16() const { return utf16_; }
    // Which encoding was taken and why, in the program's language, for a line on standard error.
    std::string encodingNote() const;

private:
    // Keeps all of `stream` (after its first bytes `head`) in a temporary file: the input is read
    // several times (its encoding, its separator, its records), which a pipe or FIFO allows only once.
    void keepCopyOf(std::istream &stream, std::string_view head);

    std::string displayName_;
    std::filesystem::path path_;
    bool temporary_ = false;
    bool byteOrderMark_ = false; // UTF-8's
    std::string utf16_;
    EncodingGuess guess_;
};

// A field's bytes as UTF-8; empty, with `problem` set, when they are not text in `encoding`.
std::optional<std::string> DecodeField(std::string_view bytes, TextEncoding encoding, std::string &problem);

} // namespace vrelmont::cli
