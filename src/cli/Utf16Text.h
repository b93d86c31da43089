#pragma once
// UTF-16 text, as some programs export it ("Unicode text"), turned into the UTF-8 the rest reads.
#include <istream>
#include <ostream>
#include <string_view>

namespace vrelmont::cli {

// Copies the UTF-16 text `first` (the bytes after the byte-order mark that were read already) and
// the rest of `in` to `out` as UTF-8.
// Throws std::runtime_error naming the byte (counted from the mark) where the text is no UTF-16:
// an unpaired surrogate or an odd last byte.
void CopyUtf16AsUtf8(std::string_view first, std::istream &in, std::ostream &out, bool bigEndian);

} // namespace vrelmont::cli
