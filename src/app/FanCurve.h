#pragma once
#include <array>
#include <cstdint>

inline constexpr int kFanPointCount = 10;

// One point of the fan curve on the editor's 10 × 10 grid: the fan runs at 100 - 10 × level percent
// up to 10 × step °C. Three 32-bit integers, the layout the curve editor hands over.
struct FanCurvePoint {
    int32_t level = 0;
    int32_t step = 1;
    int32_t enabled = 1;
    friend bool operator==(const FanCurvePoint&, const FanCurvePoint&) = default;
};
static_assert(sizeof(FanCurvePoint) == 12);

using FanCurvePoints = std::array<FanCurvePoint, kFanPointCount>;

// A temperature range (lowTemp, highTemp] in °C and the fan level held in it.
struct FanSegment {
    uint32_t lowTemp = 0;
    uint32_t highTemp = 0;
    int percent = 0;
    friend bool operator==(const FanSegment&, const FanSegment&) = default;
};

using FanSegments = std::array<FanSegment, kFanPointCount>;

// The built-in ramp: point i reaches (i + 1) × 10 % at (i + 1) × 10 °C, every point enabled.
FanCurvePoints DefaultFanCurve();

// The step table of a curve: one segment per enabled point, from the previous enabled point's
// temperature (0 for the first) to its own. Returns how many entries of `segments` are valid.
int BuildFanSegments(const FanCurvePoints& curve, FanSegments& segments);

// The 1-based index of the first of the `count` segments holding `temperature`, or `current` when
// none does, so the level last matched stays in force.
int MatchFanSegment(const FanSegments& segments, int count, uint32_t temperature, int current);

// The level a matched segment asks for, kept within the cooler's range; above 100 °C the
// cooler's highest level whatever the segment says.
int CurveFanLevel(const FanSegment& segment, uint32_t temperature, int minLevel, int maxLevel);
