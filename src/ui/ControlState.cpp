#include "ui/ControlState.h"

#include <algorithm>
#include <cstdint>

int SliderState::UsableLength(int controlWidth) const {
    return std::max(0, controlWidth - marginLeft - marginRight - thumbSize.width);
}

int SliderState::ThumbCentre(int pos, int controlWidth) const {
    const int64_t range = int64_t(max) - min;
    const int64_t length = UsableLength(controlWidth);
    int64_t offset = 0;
    if (range > 0) {
        const int64_t p = std::clamp<int64_t>(pos, min, max);
        offset = length * (p - min) / range;
    }
    return int(marginLeft + offset + thumbSize.width / 2);
}

int SliderState::PositionAt(int centreX, int controlWidth) const {
    const int64_t range = int64_t(max) - min;
    const int64_t length = UsableLength(controlWidth);
    if (range <= 0 || length <= 0) return min;
    const int64_t travelled = int64_t(centreX) - thumbSize.width / 2 - marginLeft;
    if (travelled <= 0) return min;
    if (travelled >= length) return max;
    // Truncated, as the drawing rule is: a pixel stands for the last position that starts left of
    // it. (A press on the thumb where it is drawn changes nothing: the slider does not map that
    // pixel back at all.)
    const int64_t steps = travelled * range / length;
    return int(min + std::min(steps, range));
}
