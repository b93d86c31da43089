#include "cli/JsonText.h"

#include "text/Cp1250.h"

namespace vrelmont::cli {

void AppendJsonString(std::string &out, std::string_view text) {
    const std::string converted = IsValidUtf8(text) ? std::string() : Cp1250ToUtf8(text);
    if (!converted.empty())
        text = converted;
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0x0F];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void AppendJsonRecord(std::string &out, const RecordName &record) {
    out += "{\"warehouse\":";
    out += record.warehouse ? std::to_string(*record.warehouse) : "null";
    out += ",\"number\":";
    out += std::to_string(record.number);
    out += '}';
}

} // namespace vrelmont::cli
