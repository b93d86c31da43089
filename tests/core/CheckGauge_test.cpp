#include "FakeRunHost.h"

#include <gtest/gtest.h>

using vrelmont::testing::GaugeState;
using vrelmont::testing::RecordingGauge;

namespace {

TEST(Gauge, ClampsProgressIntoItsRange) {
    RecordingGauge gauge;
    EXPECT_EQ(gauge.maximum(), 100);
    gauge.setProgress(150);
    EXPECT_EQ(gauge.progress(), 100);
    gauge.setProgress(-3);
    EXPECT_EQ(gauge.progress(), 0);
}

TEST(Gauge, LoweringTheMaximumLowersTheProgress) {
    RecordingGauge gauge;
    gauge.setProgress(80);
    gauge.setMaximum(45);
    EXPECT_EQ(gauge.progress(), 45);
    gauge.setMaximum(1000);
    EXPECT_EQ(gauge.progress(), 45);
    EXPECT_EQ(gauge.changes, (std::vector<GaugeState>{{80, 100}, {45, 45}, {45, 1000}}));
}

TEST(Gauge, PercentIsTruncatedAndZeroWithoutMaximum) {
    RecordingGauge gauge;
    gauge.setMaximum(3);
    gauge.setProgress(2);
    EXPECT_EQ(gauge.percent(), 66);
    gauge.setMaximum(0);
    EXPECT_EQ(gauge.percent(), 0);
    gauge.setMaximum(2'000'000'000);
    gauge.setProgress(1'999'999'999);
    EXPECT_EQ(gauge.percent(), 99);
}

TEST(Gauge, UnchangedValuesDoNotRepaint) {
    RecordingGauge gauge;
    gauge.setProgress(0);
    gauge.setMaximum(100);
    EXPECT_TRUE(gauge.changes.empty());
}

} // namespace
