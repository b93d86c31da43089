#include "text/Cp1250.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace vrelmont {
namespace {

// Code points of bytes 0x80..0xFF; the five unassigned bytes keep their own value.
constexpr std::array<std::uint16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

const std::unordered_map<std::uint32_t, char> &reverseTable() {
    static const auto table = [] {
        std::unordered_map<std::uint32_t, char> map;
        for (std::size_t i = 0; i < kHighHalf.size(); ++i)
            map.emplace(kHighHalf[i], static_cast<char>(0x80 + i));
        return map;
    }();
    return table;
}

// Decodes one UTF-8 sequence at `pos`; false for invalid or overlong input.
bool nextCodePoint(std::string_view text, std::size_t &pos, std::uint32_t &cp) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80         ? 1
                               : (lead >> 5) == 6  ? 2
                               : (lead >> 4) == 14 ? 3
                               : (lead >> 3) == 30 ? 4
                                                   : 0;
    if (length == 0 || pos + length > text.size())
        return false;
    cp = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    pos += length;
    return true;
}

} // namespace

void AppendUtf8(std::string &out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    std::uint32_t cp = 0;
    // Most texts are ASCII: eight bytes at a time while no byte has its high bit set, then the
    // rest at once (a short text byte by byte, a longer one as its last eight bytes).
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    std::uint64_t word;
    while (pos + 8 <= text.size()) {
        std::memcpy(&word, text.data() + pos, sizeof word);
        if (word & kHighBits)
            break;
        pos += 8;
    }
    if (pos + 8 > text.size()) {
        if (pos > 0) {
            std::memcpy(&word, text.data() + text.size() - 8, sizeof word);
            if (!(word & kHighBits))
                return true;
        } else {
            unsigned char any = 0;
            for (const char c : text)
                any |= static_cast<unsigned char>(c);
            if (any < 0x80)
                return true;
        }
    }
    while (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80)
            ++pos;
        // Two bytes, as Czech letters take: never overlong from 0xC2 on, never a surrogate.
        else if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < text.size() &&
                 (static_cast<unsigned char>(text[pos + 1]) & 0xC0) == 0x80)
            pos += 2;
        else if (!nextCodePoint(text, pos, cp))
            return false;
    }
    return true;
}

std::string Cp1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            AppendUtf8(out, kHighHalf[b - 0x80]);
    }
    return out;
}

std::optional<std::string> Utf8ToCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::uint32_t cp = 0;
        if (!nextCodePoint(utf8, pos, cp))
            return std::nullopt;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        const auto &table = reverseTable();
        const auto found = table.find(cp);
        if (found == table.end())
            return std::nullopt;
        out += found->second;
    }
    return out;
}

} // namespace vrelmont
