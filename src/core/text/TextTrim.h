#pragma once
#include <string>

namespace vrelmont {

// The text without spaces and tabs at either end.
inline std::string TrimBlanks(const std::string &text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

} // namespace vrelmont
