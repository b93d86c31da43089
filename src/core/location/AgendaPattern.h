#pragma once
#include <string_view>

namespace vrelmont {

// Whether a directory entry's name matches "AGENDA.*" by the wildcard rules: letter case ignored,
// "AGENDA" alone or "AGENDA." followed by anything.
bool MatchesAgendaPattern(std::string_view name);

} // namespace vrelmont
