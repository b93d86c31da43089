#pragma once
// Comma-separated values as RFC 4180 describes them: fields separated by commas (or another
// separator: spreadsheets write semicolons and tabs too), records by line breaks (CRLF, LF or a
// lone CR), a field in double quotes may hold the separator, line breaks and doubled quotes; a quote
// inside a field that does not start with one is an ordinary character. A UTF-8 byte-order mark at
// the start is skipped. Bytes are passed on as read.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vrelmont::cli {

// A malformed file; `line` is where the trouble is, counting from 1.
class CsvError : public std::runtime_error {
public:
    CsvError(std::size_t line, const std::string &message);
    std::size_t line() const { return line_; }
    // The message without the line.
    const std::string &reason() const { return reason_; }

private:
    std::size_t line_;
    std::string reason_;
};

struct CsvRecord {
    std::size_t line = 0; // the line on which the record starts
    std::vector<std::string> fields;
};

class CsvReader {
public:
    explicit CsvReader(std::istream &in, char separator = ',');

    // The next record; false at the end of the input. An empty line is no record.
    // Throws CsvError for text after a closing quote or a quoted field that is never closed.
    bool next(CsvRecord &record);

    // Bytes taken from the stream so far. A read error looks like the end of the input to a
    // stream buffer; comparing this with the file's size tells the two apart.
    std::uint64_t bytesRead() const { return bytesRead_; }
    // Whether the input started with a UTF-8 byte-order mark.
    bool hadByteOrderMark() const { return byteOrderMark_; }

private:
    int take(); // the next byte of the stream itself
    int get();
    int peek();
    void endOfLine(int c); // counts the line break that starts with c

    std::istream &in_;
    char separator_;
    bool byteOrderMark_ = false;
    std::string pending_; // bytes read while looking for a byte-order mark that was not there
    std::size_t next_ = 0;
    std::size_t line_ = 1;
    std::uint64_t bytesRead_ = 0;
};

// True when the bytes are well-formed UTF-8 without NUL characters.
bool IsUtf8WithoutNul(std::string_view text);

} // namespace vrelmont::cli
