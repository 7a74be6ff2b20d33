#include "app/FanCurve.h"

#include <algorithm>
#include <limits>

namespace {

// Points come from a file anyone can edit, so the arithmetic is done wide: temperatures wrap as
// the unsigned comparisons expect, a level far off the grid gives an extreme percentage that the
// cooler's range then limits.
uint32_t TemperatureOfStep(int32_t step) {
    return static_cast<uint32_t>(static_cast<int64_t>(step) * 10);
}

int PercentOfLevel(int32_t level) {
    const int64_t percent = (10 - static_cast<int64_t>(level)) * 10;
    return static_cast<int>(
        std::clamp<int64_t>(percent, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

FanCurvePoints DefaultFanCurve() {
    FanCurvePoints curve;
    for (int i = 0; i < kFanPointCount; ++i) curve[i] = {9 - i, i + 1, 1};
    return curve;
}

int BuildFanSegments(const FanCurvePoints& curve, FanSegments& segments) {
    int count = 0;
    int32_t previousStep = 0;
    for (const FanCurvePoint& point : curve) {
        if (!point.enabled) continue;
        segments[count++] = {TemperatureOfStep(previousStep), TemperatureOfStep(point.step),
                             PercentOfLevel(point.level)};
        previousStep = point.step;
    }
    return count;
}

int MatchFanSegment(const FanSegments& segments, int count, uint32_t temperature, int current) {
    for (int k = 0; k < count && k < kFanPointCount; ++k) {
        if (segments[k].lowTemp < temperature && temperature <= segments[k].highTemp) return k + 1;
    }
    return current;
}

int CurveFanLevel(const FanSegment& segment, uint32_t temperature, int minLevel, int maxLevel) {
    int level = segment.percent;
    if (level < minLevel) level = minLevel;
    if (level > maxLevel) level = maxLevel;
    if (temperature > 100) level = maxLevel;
    return level;
}
