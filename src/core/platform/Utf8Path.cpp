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

std::string AmbiguousPathReason([[maybe_unused]] std::string_view utf8) {
#ifdef _WIN32
    std::string_view rest = utf8;
    // A path of the long form (\\?\C:\...) is taken by Windows as it is.
    if (rest.starts_with("\\\\?\\"))
        return {};
    while (!rest.empty()) {
        const auto separator = rest.find_first_of("\\/");
        const std::string_view name = rest.substr(0, separator);
        const bool relative = name == "." || name == "..";
        if (!name.empty() && !relative && (name.back() == ' ' || name.back() == '.'))
            return "název \"" + std::string(name) + "\" končí " + (name.back() == ' ' ? "mezerou" : "tečkou") +
                   "; Windows by místo něj použil \"" + std::string(name.substr(0, name.find_last_not_of(". ") + 1)) +
                   "\"";
        if (separator == std::string_view::npos)
            break;
        rest.remove_prefix(separator + 1);
    }
#endif
    return {};
}

} // namespace vrelmont
