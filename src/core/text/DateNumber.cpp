#include "text/DateNumber.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace vrelmont {
namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

struct Split {
    year_month_day date;
    long seconds; // of the day
};

// Before the epoch the whole part still counts the days and the fraction is the time of day after
// midnight: -1.25 is 29 December 1899, 6:00 (not 18:00 of the day before).
Split split(double days) {
    // Round to whole seconds first, so that 0.9999999 of a day does not show as 23:59:60.
    const auto total = std::llround(std::fabs(days) * 86400.0);
    const auto whole = total / 86400;
    const auto rest = total % 86400;
    return {year_month_day{kEpoch + std::chrono::days{days < 0 ? -whole : whole}}, static_cast<long>(rest)};
}

} // namespace

std::string DateText(double days) {
    const auto s = split(days);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", int(s.date.year()), unsigned(s.date.month()),
                  unsigned(s.date.day()));
    return buffer;
}

std::string TimeText(double days) {
    const auto s = split(days);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", int(s.seconds / 3600), int(s.seconds / 60 % 60),
                  int(s.seconds % 60));
    return buffer;
}

std::string DateTimeText(double days) {
    return DateText(days) + " " + TimeText(days);
}

std::optional<double> ParseDateTimeText(const std::string &text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    double result = 0;
    const char *rest = text.c_str();
    if (std::sscanf(rest, "%4d-%2d-%2d%n", &y, &mo, &d, &used) == 3 && used == 10) {
        const year_month_day date{year{y} / month(unsigned(mo)) / day(unsigned(d))};
        if (!date.ok())
            return std::nullopt;
        result = double((sys_days{date} - kEpoch).count());
        rest += used;
        if (*rest == '\0')
            return result;
        if (*rest != ' ')
            return std::nullopt;
        ++rest;
    }
    used = 0;
    if (std::sscanf(rest, "%2d:%2d:%2d%n", &h, &mi, &s, &used) != 3 || rest[used] != '\0' || h > 23 || mi > 59 ||
        s > 59 || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    const double fraction = (h * 3600 + mi * 60 + s) / 86400.0;
    return result < 0 ? result - fraction : result + fraction;
}

} // namespace vrelmont
