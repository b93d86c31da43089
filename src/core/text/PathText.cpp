#include "text/PathText.h"

namespace vrelmont {

std::string NormalizeDirPath(const std::string &text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
    std::string::size_type begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    if (begin == end)
        return {};
    return WithTrailingSeparator(text.substr(begin, end - begin));
}

std::string WithTrailingSeparator(const std::string &text) {
    if (!text.empty() && text.back() == kDirSeparator)
        return text;
    return text + kDirSeparator;
}

} // namespace vrelmont
