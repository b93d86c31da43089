#include "cli/EncodingGuess.h"

#include "cli/Csv.h"

#include <cstdio>

namespace vrelmont::cli {
namespace {

// The bytes at the end of `bytes` that begin a UTF-8 sequence the next piece completes.
std::size_t IncompleteTail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Č É Ě Í Ď Ň Ó Ô Ř Ů Ú Ý in windows-1250: the accented capitals that can lead a UTF-8 pair.
constexpr std::string_view kAccentedCapitals1250 = "\xC8\xC9\xCC\xCD\xCF\xD2\xD3\xD4\xD8\xD9\xDA\xDD";
// Š Ť Ž š ť ž Ľ ľ in windows-1250: letters that are UTF-8 continuation bytes.
constexpr std::string_view kContinuingLetters1250 = "\x8A\x8D\x8E\x9A\x9D\x9E\xBC\xBE";

// Whether `mark` after `base` is a Czech or Slovak letter in decomposed form (á = a + U+0301).
bool CompletesLetter(std::uint32_t base, std::uint32_t mark) {
    const auto takes = [&](std::string_view letters) {
        return base < 0x80 && letters.find(static_cast<char>(base)) != std::string_view::npos;
    };
    switch (mark) {
    case 0x0301:
        return takes("aeilnoruyzAEILNORUYZ"); // acute (also ĺ ŕ, and ń ź of names)
    case 0x030C:
        return takes("cdelnrstzCDELNRSTZ"); // caron
    case 0x030A:
        return takes("uU"); // ring: ů
    case 0x0308:
        return takes("aeouAEOU"); // diaeresis: ä, ë, ö, ü
    case 0x0302:
        return takes("oO"); // circumflex: ô
    default:
        return false;
    }
}

bool IsForeign(std::uint32_t previous, std::uint32_t c, std::string_view bytes) {
    if (c >= 0x300 && c <= 0x36F)
        return !CompletesLetter(previous, c);
    if ((c >= 0x80 && c <= 0x9F) || (c >= 0x250 && c <= 0x2AF) || (c >= 0x500 && c <= 0x7FF))
        return true;
    // Greek, Cyrillic and Latin Extended-B characters that are two Czech letters in windows-1250.
    return bytes.size() == 2 && c > 0x17F && kAccentedCapitals1250.find(bytes[0]) != std::string_view::npos &&
           kContinuingLetters1250.find(bytes[1]) != std::string_view::npos;
}

} // namespace

bool IsUnassignedInWindows1250(unsigned char c) {
    return c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98;
}

void EncodingGuess::feed(std::string_view piece) {
    for (const char c : piece)
        if (IsUnassignedInWindows1250(static_cast<unsigned char>(c)))
            fits1250_ = false;
    if (!utf8_)
        return;
    pending_.append(piece);
    const std::size_t tail = IncompleteTail(pending_);
    const std::string_view whole = std::string_view(pending_).substr(0, pending_.size() - tail);
    if (!IsUtf8WithoutNul(whole)) {
        utf8_ = false;
        pending_.clear();
        return;
    }
    for (std::size_t i = 0; i < whole.size();) {
        const auto lead = static_cast<unsigned char>(whole[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::uint32_t character = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k)
            character = (character << 6) | (static_cast<unsigned char>(whole[i + k]) & 0x3Fu);
        look(character, whole.substr(i, length));
        i += length;
    }
    pending_.erase(0, whole.size());
}

void EncodingGuess::look(std::uint32_t character, std::string_view bytes) {
    if (giveaway_ == 0 && IsForeign(previous_, character, bytes))
        giveaway_ = character;
    previous_ = character;
}

TextEncoding EncodingGuess::encoding() const {
    return validUtf8() && (giveaway_ == 0 || !fits1250_) ? TextEncoding::Utf8 : TextEncoding::Windows1250;
}

std::string EncodingGuess::giveaway() const {
    if (giveaway_ == 0)
        return {};
    char text[12];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(giveaway_));
    return text;
}

} // namespace vrelmont::cli
