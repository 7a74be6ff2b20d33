#include "lighting/ColourWheel.h"

#include <algorithm>
#include <cmath>

namespace ColourWheel {

namespace {

constexpr double kPi = 3.14159265358;

int DistanceFromCentre(Point pt) {
    const double dx = pt.x - kCentre.x;
    const double dy = kCentre.y - pt.y;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

}  // namespace

DragMode DragModeAt(Point pt) {
    if (pt.x < kPickLeft || pt.x > kPickRight || pt.y < kPickTop || pt.y > kPickBottom) return kDragNone;
    if (DistanceFromCentre(pt) <= kRadius) return kDragWheel;
    if (pt.x >= kBarHitLeft && pt.x <= kBarHitRight) return kDragBar;
    return kDragNone;
}

void PickWheel(Point pt, int& hue, int& saturation) {
    const int dx = pt.x - kCentre.x;
    const int dy = kCentre.y - pt.y;
    hue = dx == 0 && dy == 0 ? 0 : static_cast<int>(std::atan2(double(dy), double(dx)) * 180 / kPi);
    if (hue < 0) hue += 360;
    saturation = std::min(DistanceFromCentre(pt) * 255 / kRadius, 255);
}

int PickBar(Point pt) {
    const double value = double(kBarBottom - pt.y) * 255 / kBarHeight;
    return static_cast<int>(std::clamp(value, 0.0, 255.0));
}

Point WheelMarker(int hue, int saturation) {
    const double r = double(saturation) * kRadius / 255;
    const double angle = hue * kPi / 180;
    return {kCentre.x + static_cast<int>(std::cos(angle) * r),
            kCentre.y - static_cast<int>(std::sin(angle) * r)};
}

int BarMarkerY(int value) {
    return kBarBottom - kBarHeight * value / 255;
}

}  // namespace ColourWheel
