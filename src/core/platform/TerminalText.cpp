#include "platform/TerminalText.h"

#include <cstdio>

namespace vrelmont {

std::string TerminalSafeText(std::string_view text, bool keepLineEnds) {
    std::string safe;
    safe.reserve(text.size());
    char escape[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool lineEnd = byte == '\n' || byte == '\r';
        if ((byte < 0x20 && byte != '\t' && !(lineEnd && keepLineEnds)) || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            safe += escape;
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[++i]));
            safe += escape;
        } else {
            safe += text[i];
        }
    }
    return safe;
}

} // namespace vrelmont
