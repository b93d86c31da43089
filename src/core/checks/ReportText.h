#pragma once
#include <charconv>
#include <cstdint>
#include <string>

namespace vrelmont {

// Decimal, no leading zeros or grouping, a leading minus sign when negative.
inline void AppendNumber(std::string &line, std::int32_t number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    line.append(digits, end);
}

} // namespace vrelmont
