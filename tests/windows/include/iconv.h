#pragma once
// The one conversion the tests ask of iconv (windows-1250 to UTF-8), done by the Windows converter.
#include <cerrno>
#include <cstddef>
#include <windows.h>

using iconv_t = void *;

inline iconv_t iconv_open(const char *, const char *) {
    return reinterpret_cast<iconv_t>(1);
}
inline int iconv_close(iconv_t) {
    return 0;
}

inline std::size_t iconv(iconv_t, char **in, std::size_t *inLeft, char **out, std::size_t *outLeft) {
    if (!in || !*in)
        return 0;
    wchar_t wide[8];
    const int wideLength = MultiByteToWideChar(1250, MB_ERR_INVALID_CHARS, *in, static_cast<int>(*inLeft), wide, 8);
    // Bytes the code page leaves unassigned come back as the control character of the same number.
    if (wideLength != 1 || (wide[0] >= 0x80 && wide[0] < 0xA0)) {
        errno = EILSEQ;
        return static_cast<std::size_t>(-1);
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, *out, static_cast<int>(*outLeft), nullptr, nullptr);
    if (length <= 0) {
        errno = E2BIG;
        return static_cast<std::size_t>(-1);
    }
    *in += *inLeft;
    *inLeft = 0;
    *out += length;
    *outLeft -= static_cast<std::size_t>(length);
    return 0;
}
