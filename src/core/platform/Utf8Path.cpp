#include "platform/Utf8Path.h"

namespace vrelmont {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    // On POSIX a char8_t text is taken byte for byte; on Windows it is read as UTF-8 into UTF-16.
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace vrelmont
