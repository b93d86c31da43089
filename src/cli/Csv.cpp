#include "cli/Csv.h"

#include "text/Cp1250.h"

namespace vrelmont::cli {

CsvError::CsvError(std::size_t line, const std::string &message)
    : std::runtime_error("řádek " + std::to_string(line) + ": " + message), line_(line), reason_(message) {}

CsvReader::CsvReader(std::istream &in, char separator) : in_(in), separator_(separator) {
    static const std::string_view bom = "\xEF\xBB\xBF";
    std::streambuf &buffer = *in_.rdbuf();
    for (char expected : bom) {
        if (buffer.sgetc() != static_cast<unsigned char>(expected))
            return; // what matched so far stays in pending_: it is ordinary text
        pending_ += static_cast<char>(take());
    }
    pending_.clear();
    byteOrderMark_ = true;
}

int CsvReader::take() {
    const int c = in_.rdbuf()->sbumpc();
    if (c != std::char_traits<char>::eof())
        ++bytesRead_;
    return c;
}

int CsvReader::get() {
    if (next_ < pending_.size())
        return static_cast<unsigned char>(pending_[next_++]);
    return take();
}

int CsvReader::peek() {
    if (next_ < pending_.size())
        return static_cast<unsigned char>(pending_[next_]);
    return in_.rdbuf()->sgetc();
}

void CsvReader::endOfLine(int c) {
    if (c == '\r' && peek() == '\n')
        get();
    ++line_;
}

bool CsvReader::next(CsvRecord &record) {
    constexpr int eof = std::char_traits<char>::eof();
    record.fields.clear();
    // Empty lines between records carry nothing.
    while (peek() == '\r' || peek() == '\n')
        endOfLine(get());
    if (peek() == eof)
        return false;
    record.line = line_;

    std::string field;
    while (true) {
        int c = get();
        if (c == '"' && field.empty()) {
            const std::size_t opened = line_;
            while (true) {
                c = get();
                if (c == eof)
                    throw CsvError(opened, "pole v uvozovkách není uzavřeno");
                if (c == '"') {
                    if (peek() != '"')
                        break;
                    get();
                } else if (c == '\r' || c == '\n') {
                    // Kept as written; only the line count moves on.
                    field += static_cast<char>(c);
                    if (c == '\r' && peek() == '\n')
                        field += static_cast<char>(get());
                    ++line_;
                    continue;
                }
                field += static_cast<char>(c);
            }
            c = get();
            if (c != separator_ && c != '\r' && c != '\n' && c != eof)
                throw CsvError(line_, "text za uzavírací uvozovkou pole");
            // An empty quoted field ("") must not be taken for the start of another one below.
            record.fields.push_back(std::move(field));
            field.clear();
            if (c == separator_)
                continue;
        } else if (c == separator_) {
            record.fields.push_back(std::move(field));
            field.clear();
            continue;
        } else if (c != '\r' && c != '\n' && c != eof) {
            // A quote inside an unquoted field (1/4" in a hardware list) is a character like any
            // other, as most readers take it; only a field that starts with one is quoted.
            field += static_cast<char>(c);
            continue;
        } else {
            record.fields.push_back(std::move(field));
            field.clear();
        }
        // c ends the record.
        if (c != eof)
            endOfLine(c);
        return true;
    }
}

bool IsUtf8WithoutNul(std::string_view text) {
    // The one UTF-8 check of the program, with NUL refused on top: no text field of a table holds one.
    return text.find('\0') == std::string_view::npos && vrelmont::IsValidUtf8(text);
}

} // namespace vrelmont::cli
