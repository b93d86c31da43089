#include "platform/Utf8Path.h"

#ifdef _WIN32
#include "platform/WideText.h"
#endif

namespace vrelmont {

// On Windows through our own conversion, which turns what is not UTF-8 (or a lone surrogate of a
// file name) into U+FFFD where the standard library's would throw.
std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
    return std::filesystem::path(WideFromUtf8(std::string(utf8)));
#else
    return std::filesystem::path(std::string(utf8));
#endif
}

std::string Utf8FromPath(const std::filesystem::path &path) {
#ifdef _WIN32
    return Utf8FromWide(path.native());
#else
    return path.native();
#endif
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
