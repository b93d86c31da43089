#pragma once
// Dates as days since 30 December 1899, the time of day as the fraction, and their text forms
// "YYYY-MM-DD", "HH:MM:SS" and "YYYY-MM-DD HH:MM:SS".
#include <optional>
#include <string>

namespace vrelmont {

std::string DateText(double days);
std::string TimeText(double days);
std::string DateTimeText(double days);
// Accepts any of the three forms; empty for anything else.
std::optional<double> ParseDateTimeText(const std::string &text);

} // namespace vrelmont
