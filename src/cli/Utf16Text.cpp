#include "cli/Utf16Text.h"

#include "text/Cp1250.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vrelmont::cli {
namespace {

[[noreturn]] void NotUtf16(std::uint64_t offset, const std::string &what) {
    throw std::runtime_error("text není platné UTF-16 (bajt " + std::to_string(offset) + "): " + what);
}

} // namespace

void CopyUtf16AsUtf8(std::string_view first, std::istream &in, std::ostream &out, bool bigEndian) {
    std::array<char, 64 * 1024> buffer{};
    std::string pending(first); // an odd byte left from the piece before
    std::string text;
    std::uint32_t high = 0; // a high surrogate waiting for its low one
    std::uint64_t offset = 2;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        pending.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
        text.clear();
        std::size_t i = 0;
        for (; i + 1 < pending.size(); i += 2, offset += 2) {
            const std::uint32_t first = static_cast<unsigned char>(pending[i]);
            const std::uint32_t second = static_cast<unsigned char>(pending[i + 1]);
            const std::uint32_t unit = bigEndian ? (first << 8) | second : (second << 8) | first;
            if (high != 0) {
                if (unit < 0xDC00 || unit > 0xDFFF)
                    NotUtf16(offset - 2, "horní polovina náhradního páru bez dolní");
                AppendUtf8(text, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
            } else if (unit >= 0xD800 && unit <= 0xDBFF) {
                high = unit;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                NotUtf16(offset, "dolní polovina náhradního páru bez horní");
            } else {
                AppendUtf8(text, unit);
            }
        }
        pending.erase(0, i);
        if (!out.write(text.data(), static_cast<std::streamsize>(text.size())))
            throw std::runtime_error("text převedený z UTF-16 nelze zapsat");
    }
    if (in.bad())
        throw std::runtime_error("chyba čtení");
    if (high != 0)
        NotUtf16(offset - 2, "horní polovina náhradního páru bez dolní");
    if (!pending.empty())
        NotUtf16(offset, "přebývající poslední bajt");
}

} // namespace vrelmont::cli
