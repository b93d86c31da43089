#include "platform/ShortDate.h"

#include <clocale>
#include <ctime>

#ifdef _WIN32
#include "platform/WideText.h"

#include <windows.h>
#endif

namespace vrelmont {

std::string TodayShortDate() {
#ifdef _WIN32
    wchar_t text[80];
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 80, nullptr);
    return length > 1 ? Utf8FromWide(text, static_cast<std::size_t>(length - 1)) : std::string();
#else
    std::setlocale(LC_TIME, "");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%x", &local);
    return std::string(text, length);
#endif
}

} // namespace vrelmont
