#pragma once
// Windows only: UTF-8 (the program's text) to and from UTF-16 (wide Windows text, the BSTRs of COM),
// with no detour through an 8-bit code page.
#include <string>

namespace vrelmont {

// Invalid UTF-8 and lone surrogates become U+FFFD.
std::wstring WideFromUtf8(const std::string &utf8);
std::string Utf8FromWide(const wchar_t *wide, std::size_t length);
inline std::string Utf8FromWide(const std::wstring &wide) {
    return Utf8FromWide(wide.data(), wide.size());
}

} // namespace vrelmont
