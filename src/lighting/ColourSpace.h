#pragma once
#include <string_view>

// Integer hue (0..359 degrees), saturation and value (0..255) as the colour editor uses them.
struct Hsv {
    int hue = 0;
    int saturation = 0;
    int value = 0;
    friend bool operator==(const Hsv&, const Hsv&) = default;
};

struct Rgb8 {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

// Both conversions work in double precision and truncate toward zero, so a colour picked on the
// wheel and the colour typed into the edits land on the same integers. Inputs outside their ranges
// are brought into them first.
Rgb8 HsvToRgb(int hue, int saturation, int value);
Hsv RgbToHsv(int red, int green, int blue);

// A colour component typed into an edit: its leading digits, at most 255; no digits is 0.
int ParseColourComponent(std::string_view text);
