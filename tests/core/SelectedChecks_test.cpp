#include "checks/CheckList.h"
#include "settings/SelectedChecks.h"

#include <gtest/gtest.h>

#include <stdexcept>

using vrelmont::kRunOrder;
using vrelmont::SelectedChecks;

namespace {

std::vector<int> Numbers(const SelectedChecks &checks) {
    std::vector<int> numbers;
    for (int n = -1; n <= SelectedChecks::kCount + 2; ++n)
        if (checks.contains(n))
            numbers.push_back(n);
    return numbers;
}

TEST(SelectedChecks, AreNamedByTheNumbersOfTheirBoxes) {
    EXPECT_EQ(Numbers(SelectedChecks()), std::vector<int>{});
    EXPECT_EQ(Numbers(SelectedChecks{15, 1, 9}), (std::vector<int>{1, 9, 15}));
    EXPECT_EQ(Numbers(SelectedChecks::defaults()), (std::vector<int>{1, 2, 3, 4, 5, 14, 15}));
    EXPECT_EQ(Numbers(SelectedChecks::all()).size(), kRunOrder.size()) << "every check of a run, nothing else";
    for (const int checkBox : kRunOrder)
        EXPECT_TRUE(SelectedChecks::all().contains(checkBox)) << checkBox;
}

TEST(SelectedChecks, SettingOneLeavesTheOthers) {
    SelectedChecks checks = SelectedChecks::defaults();
    checks.set(2, false);
    checks.set(6, true);
    EXPECT_EQ(Numbers(checks), (std::vector<int>{1, 3, 4, 5, 6, 14, 15}));
    EXPECT_NE(checks, SelectedChecks::defaults());
    checks.set(2, true);
    checks.set(6, false);
    EXPECT_EQ(checks, SelectedChecks::defaults());
}

TEST(SelectedChecks, ANumberThatNamesNoBoxIsNeverSelectedNorSet) {
    SelectedChecks checks = SelectedChecks::all();
    EXPECT_FALSE(checks.contains(0));
    EXPECT_FALSE(checks.contains(16));
    EXPECT_FALSE(checks.contains(-1));
    EXPECT_THROW(checks.set(0, true), std::out_of_range);
    EXPECT_THROW(checks.set(16, false), std::out_of_range);
    EXPECT_THROW((SelectedChecks{3, 16}), std::out_of_range);
    EXPECT_EQ(checks, SelectedChecks::all()) << "a refused number changes nothing";
}

} // namespace
