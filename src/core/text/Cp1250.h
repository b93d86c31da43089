#pragma once
// Windows-1250 (Central European) text on disk, UTF-8 inside the program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrelmont {

// Bytes 0x81, 0x83, 0x88, 0x90 and 0x98, which the code page leaves unassigned, map to
// U+0081 and so on, so that every byte survives a round trip.
std::string Cp1250ToUtf8(std::string_view bytes);
// Empty when the text holds a character that windows-1250 cannot represent.
// Invalid UTF-8 also gives empty.
std::optional<std::string> Utf8ToCp1250(std::string_view utf8);

bool IsValidUtf8(std::string_view text);
// Appends the code point `cp` (at most U+10FFFF, no surrogate) to `out` as UTF-8.
void AppendUtf8(std::string &out, std::uint32_t cp);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace vrelmont
