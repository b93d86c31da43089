#pragma once
#include <string>

namespace vrelmont {

// Today's date in the user's short date format: the regional settings on Windows, the LC_TIME
// locale of the environment elsewhere.
std::string TodayShortDate();

} // namespace vrelmont
