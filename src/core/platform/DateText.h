#pragma once
// Today's date as the report's "Datum:" line shows it, the same for the window and vrelmont-cli.
#include <ctime>
#include <string>

namespace vrelmont {

// `date` in the short date format of the user's regional settings (LC_ALL, LC_TIME, LANG); the
// C locale's format when those name no installed locale.
std::string ShortDateText(const std::tm &date);
std::string TodayShortDateText();

// Today as YYYY-MM-DD, for machine-readable output.
std::string TodayIsoDateText();
// `when` as ISO 8601 local date and time with the zone's offset from UTC: 2026-12-09T21:30:05+01:00.
std::string IsoDateTimeText(std::time_t when);

} // namespace vrelmont
