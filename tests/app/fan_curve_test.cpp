#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FanCurve.h"

namespace {

FanCurvePoints OnlyPointsEnabled(std::initializer_list<int> enabled) {
    FanCurvePoints curve = DefaultFanCurve();
    for (FanCurvePoint& point : curve) point.enabled = 0;
    for (int index : enabled) curve[index].enabled = 1;
    return curve;
}

TEST(FanCurveTest, DefaultCurveIsTheTenPercentRamp) {
    FanSegments segments{};
    ASSERT_EQ(BuildFanSegments(DefaultFanCurve(), segments), 10);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(segments[k], (FanSegment{uint32_t(10 * k), uint32_t(10 * k + 10), 10 * k + 10})) << k;
    }
}

TEST(FanCurveTest, DisabledPointsAddNothingAndKeepThePreviousStep) {
    FanSegments segments{};
    ASSERT_EQ(BuildFanSegments(OnlyPointsEnabled({3, 7}), segments), 2);
    EXPECT_EQ(segments[0], (FanSegment{0, 40, 40}));
    EXPECT_EQ(segments[1], (FanSegment{40, 80, 80}));
    EXPECT_EQ(BuildFanSegments(OnlyPointsEnabled({}), segments), 0);
}

// The table is a step function: lower bounds exclusive, and a temperature past the last point
// keeps whatever segment was matched before.
TEST(FanCurveTest, TemperaturesMatchTheirSegment) {
    struct Case {
        std::string name;
        FanCurvePoints curve;
        uint32_t temperature;
        int before;
        int expected;
    };
    const std::vector<Case> cases = {
        {"0 °C matches nothing on the default curve", DefaultFanCurve(), 0, 0, 0},
        {"1 °C is in the first segment", DefaultFanCurve(), 1, 0, 1},
        {"45 °C is segment (40, 50]", DefaultFanCurve(), 45, 0, 5},
        {"50 °C is still segment (40, 50]", DefaultFanCurve(), 50, 3, 5},
        {"101 °C keeps the last match", DefaultFanCurve(), 101, 10, 10},
        {"points 3 and 7: 40 °C is the first segment", OnlyPointsEnabled({3, 7}), 40, 0, 1},
        {"points 3 and 7: 41 °C is the second", OnlyPointsEnabled({3, 7}), 41, 0, 2},
        {"points 3 and 7: 85 °C keeps the last match", OnlyPointsEnabled({3, 7}), 85, 2, 2},
    };
    for (const Case& c : cases) {
        FanSegments segments{};
        const int count = BuildFanSegments(c.curve, segments);
        EXPECT_EQ(MatchFanSegment(segments, count, c.temperature, c.before), c.expected) << c.name;
    }
}

TEST(FanCurveTest, LevelStaysInTheCoolersRangeAndGoesToTheTopAbove100) {
    struct Case {
        int percent;
        uint32_t temperature;
        int minLevel;
        int maxLevel;
        int expected;
    };
    const std::vector<Case> cases = {
        {50, 45, 0, 100, 50},  {50, 45, 60, 100, 60}, {50, 45, 0, 40, 40},
        {100, 95, 30, 90, 90}, {10, 101, 30, 90, 90}, {10, 100, 30, 90, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CurveFanLevel({0, 0, c.percent}, c.temperature, c.minLevel, c.maxLevel), c.expected)
            << c.percent << "% at " << c.temperature << " °C in " << c.minLevel << "-" << c.maxLevel;
    }
}

// The points come from an editable file: values far off the grid must not overflow.
TEST(FanCurveTest, PointsOffTheGridGiveWrappedTemperaturesAndExtremeLevels) {
    FanCurvePoints curve = OnlyPointsEnabled({0, 1});
    curve[0] = {-2147483647, 2147483647, 1};
    curve[1] = {2147483647, -1, 1};
    FanSegments segments{};
    ASSERT_EQ(BuildFanSegments(curve, segments), 2);
    EXPECT_EQ(segments[0].highTemp, uint32_t(int64_t{2147483647} * 10));
    EXPECT_EQ(segments[0].percent, 2147483647);
    EXPECT_EQ(segments[1].lowTemp, segments[0].highTemp);
    EXPECT_EQ(segments[1].highTemp, uint32_t(-10));
    EXPECT_EQ(segments[1].percent, -2147483647 - 1);
    EXPECT_EQ(CurveFanLevel(segments[1], 50, 30, 100), 30);
}

}  // namespace
