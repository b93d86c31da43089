#include "location/AgendaPattern.h"

namespace vrelmont {
namespace {
constexpr std::string_view kStem = "AGENDA";

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool MatchesAgendaPattern(std::string_view name) {
    if (name.size() < kStem.size())
        return false;
    for (std::size_t i = 0; i < kStem.size(); ++i) {
        if (AsciiUpper(name[i]) != kStem[i])
            return false;
    }
    // "*" after the dot may match nothing, and a name without any extension matches ".*" too.
    return name.size() == kStem.size() || name[kStem.size()] == '.';
}

} // namespace vrelmont
