#include "cli/Csv.h"

namespace vrelmont::cli {

CsvError::CsvError(std::size_t line, const std::string &message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line), reason_(message) {}

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
                    throw CsvError(opened, "a quoted field is not closed");
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
                throw CsvError(line_, "text after the closing quote of a field");
            // An empty quoted field ("") must not be taken for the start of another one below.
            record.fields.push_back(std::move(field));
            field.clear();
            if (c == separator_)
                continue;
        } else if (c == '"') {
            throw CsvError(line_, "a quote inside an unquoted field (enclose the field in quotes and double it)");
        } else if (c == separator_) {
            record.fields.push_back(std::move(field));
            field.clear();
            continue;
        } else if (c != '\r' && c != '\n' && c != eof) {
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

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead == 0)
            return false;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        char32_t code;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace vrelmont::cli
