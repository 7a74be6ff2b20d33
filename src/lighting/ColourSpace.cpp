#include "lighting/ColourSpace.h"

#include <algorithm>

namespace {

int Trunc(double v) {
    return static_cast<int>(v);
}

}  // namespace

Rgb8 HsvToRgb(int hue, int saturation, int value) {
    hue %= 360;
    if (hue < 0) hue += 360;
    saturation = std::clamp(saturation, 0, 255);
    value = std::clamp(value, 0, 255);
    const double chroma = double(saturation) * value / 255.0;
    const double m = value - chroma;
    const double h = hue / 60.0;
    if (hue <= 60) return {value, Trunc(m + chroma * h), Trunc(m)};
    if (hue < 120) return {Trunc(m + chroma * (2 - h)), value, Trunc(m)};
    if (hue < 180) return {Trunc(m), value, Trunc(m + chroma * (h - 2))};
    if (hue < 240) return {Trunc(m), Trunc(m + chroma * (4 - h)), value};
    if (hue <= 300) return {Trunc(m + chroma * (h - 4)), Trunc(m), value};
    return {value, Trunc(m), Trunc(m + chroma * (360 - hue) / 60.0)};
}

Hsv RgbToHsv(int red, int green, int blue) {
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    const int max = std::max({red, green, blue});
    const int min = std::min({red, green, blue});
    if (max == min) return {0, 0, max};
    const double range = max - min;
    const int saturation = Trunc(range / max * 255);
    double h = 0;
    if (red == max) {
        h = (green - blue) / range;
    } else if (green == max) {
        h = (blue - red) / range + 2;
    } else {
        h = (red - green) / range + 4;
    }
    h *= 60;
    if (h < 0) h += 360;
    return {h == 360 ? 0 : Trunc(h), saturation, max};
}

int ParseColourComponent(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min(value * 10 + (c - '0'), 255);
    }
    return value;
}
