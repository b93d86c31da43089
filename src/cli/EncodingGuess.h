#pragma once
// Tells a UTF-8 file from a windows-1250 one. Czech windows-1250 text is seldom valid UTF-8, but an
// accented capital followed by Š or Ž ("VÝŠKA", "MÍŠA") is a valid two-byte UTF-8 character, so a
// file whose only accented letters are such pairs passes as UTF-8 and would be stored damaged.
#include <cstdint>
#include <string>
#include <string_view>

namespace vrelmont::cli {

enum class TextEncoding { Utf8, Windows1250 };

// Bytes that windows-1250 leaves unassigned: no text in it holds them.
bool IsUnassignedInWindows1250(unsigned char c);

// Reads the text in pieces split anywhere. Valid UTF-8 is taken for windows-1250 only when it holds
// a character that neither Czech nor Slovak text holds and that windows-1250 explains: a C1 control
// character, an IPA letter, a letter of the scripts from Armenian to NKo (U+0500 to U+07FF), a
// combining mark that does not complete a Czech or Slovak letter (text in decomposed form keeps its
// háčky and čárky), or a character whose two bytes windows-1250 reads as an accented capital and
// Š, Ť, Ž, Ľ (either case); and only when every byte is a character of windows-1250. Every Czech
// and Slovak letter, composed or decomposed, keeps the text UTF-8.
class EncodingGuess {
public:
    void feed(std::string_view piece);

    TextEncoding encoding() const;
    // Whether all the text fed is valid UTF-8 without NUL.
    bool validUtf8() const { return utf8_ && pending_.empty(); }
    // The first character that gave windows-1250 away in valid UTF-8 ("U+074A"); empty if none did.
    std::string giveaway() const;

private:
    void look(std::uint32_t character, std::string_view bytes);

    std::string pending_; // the start of a character that the next piece completes
    bool utf8_ = true;
    bool fits1250_ = true;
    std::uint32_t previous_ = 0;
    std::uint32_t giveaway_ = 0;
};

} // namespace vrelmont::cli
