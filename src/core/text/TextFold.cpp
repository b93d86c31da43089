#include "text/TextFold.h"

#include <cstdint>

namespace vrelmont {
namespace {

std::uint32_t folded(std::uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z')
        return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 32;
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return cp % 2 == 0 ? cp + 1 : cp;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
        return cp % 2 == 1 ? cp + 1 : cp;
    if (cp == 0x178)
        return 0xFF;
    return cp;
}

} // namespace

std::string FoldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(folded(c));
        } else if ((c >> 5) == 6 && i + 1 < utf8.size()) {
            // Every letter folded here is a two-byte sequence, and so is its lower-case form.
            const std::uint32_t cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            const std::uint32_t lower = folded(cp);
            out += static_cast<char>(0xC0 | (lower >> 6));
            out += static_cast<char>(0x80 | (lower & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Called for every field read by name, so ASCII names are compared in place, without a copy.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) >= 0x80) // the rest holds other letters: both are at a character's start here
            return FoldCase(a.substr(i)) == FoldCase(b.substr(i));
        if (folded(x) != folded(y))
            return false;
    }
    return true;
}

} // namespace vrelmont
