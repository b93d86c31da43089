// The report's date text, shared by the window and vrelmont-cli.
#include "platform/DateText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace vrelmont;

namespace {

// Sets LC_ALL for one test and restores it.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char *value) {
        if (const char *old = std::getenv("LC_ALL"))
            old_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~LocaleEnvironment() {
        if (old_)
            setenv("LC_ALL", old_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> old_;
};

std::tm December8th2026() {
    std::tm date{};
    date.tm_year = 126;
    date.tm_mon = 11;
    date.tm_mday = 8;
    date.tm_wday = 2;
    return date;
}

TEST(DateText, FollowsTheUsersLocaleAndFallsBackToTheCLocale) {
    {
        const LocaleEnvironment c("C");
        EXPECT_EQ(ShortDateText(December8th2026()), "12/08/26");
    }
    {
        // A locale that is not installed is no failure: the date is still written.
        const LocaleEnvironment missing("xx_XX.UTF-8");
        EXPECT_EQ(ShortDateText(December8th2026()), "12/08/26");
    }
}

TEST(DateText, TodayInBothForms) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows takes today's short date from the regional settings, not from LC_ALL";
#endif
    const LocaleEnvironment c("C");
    const std::string iso = TodayIsoDateText();
    ASSERT_EQ(iso.size(), 10u);
    // MM/DD/YY in the C locale against YYYY-MM-DD.
    EXPECT_EQ(TodayShortDateText(), iso.substr(5, 2) + "/" + iso.substr(8, 2) + "/" + iso.substr(2, 2));
}

// The offset is computed, not named: a zone half an hour off, on both sides of a year's end.
TEST(DateText, IsoDateTimeCarriesTheZonesOffset) {
#ifdef _WIN32
    GTEST_SKIP() << "the zone is set here through TZ, which Windows reads otherwise";
#else
    const char *before = std::getenv("TZ");
    const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
    setenv("TZ", "Europe/Prague", 1);
    tzset();
    EXPECT_EQ(IsoDateTimeText(1782864000), "2026-07-01T02:00:00+02:00");
    setenv("TZ", "America/St_Johns", 1);
    tzset();
    EXPECT_EQ(IsoDateTimeText(1782864000), "2026-06-30T21:30:00-02:30");
    EXPECT_EQ(IsoDateTimeText(1767229200), "2025-12-31T21:30:00-03:30");
    if (saved)
        setenv("TZ", saved->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
#endif
}

} // namespace
