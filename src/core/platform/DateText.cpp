#include "platform/DateText.h"

#include <cstdio>
#include <iomanip>
#include <locale>
#include <sstream>

#ifdef _WIN32
#include "platform/WideText.h"

#include <windows.h>
#endif

namespace vrelmont {
namespace {

std::tm Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string Formatted(const std::tm &date, const char *format, const std::locale &locale) {
    std::ostringstream text;
    text.imbue(locale);
    text << std::put_time(&date, format);
    return text.str();
}

} // namespace

std::string ShortDateText(const std::tm &date) {
    // A locale object of its own: the program's global locale is left alone.
    std::locale user = std::locale::classic();
    try {
        user = std::locale("");
    } catch (const std::runtime_error &) {
        // A locale that is named but not installed: the C locale's format is still a date.
    }
    return Formatted(date, "%x", user);
}

std::string TodayShortDateText() {
#ifdef _WIN32
    // The regional settings' own short date format, which the C library's %x does not follow.
    wchar_t text[80];
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 80, nullptr);
    if (length > 1)
        return Utf8FromWide(text, static_cast<std::size_t>(length - 1));
#endif
    return ShortDateText(Today());
}

std::string TodayIsoDateText() {
    return Formatted(Today(), "%Y-%m-%d", std::locale::classic());
}

// The offset is the local clock minus UTC's, computed from both: %z names the zone on Windows.
std::string IsoDateTimeText(std::time_t when) {
    std::tm local{}, utc{};
#ifdef _WIN32
    localtime_s(&local, &when);
    gmtime_s(&utc, &when);
#else
    localtime_r(&when, &local);
    gmtime_r(&when, &utc);
#endif
    int days = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year)
        days = local.tm_year > utc.tm_year ? 1 : -1;
    const int minutes = days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
    const int offset = minutes < 0 ? -minutes : minutes;
    char zone[8];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", minutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
    return Formatted(local, "%Y-%m-%dT%H:%M:%S", std::locale::classic()) + zone;
}

} // namespace vrelmont
