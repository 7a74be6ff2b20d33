#include <gtest/gtest.h>

#include "lighting/ColourSpace.h"
#include "lighting/ColourWheel.h"

namespace {

TEST(ColourSpace, HsvToRgbTable) {
    struct Case {
        Hsv hsv;
        Rgb8 rgb;
    };
    const Case cases[] = {
        {{90, 255, 255}, {127, 255, 0}},  // the hue's fraction of 60 degrees counts
        {{120, 255, 255}, {0, 255, 0}},   {{0, 255, 255}, {255, 0, 0}},     {{240, 255, 255}, {0, 0, 255}},
        {{30, 255, 255}, {255, 127, 0}},  {{210, 255, 255}, {0, 127, 255}}, {{270, 255, 255}, {127, 0, 255}},
        {{330, 255, 255}, {255, 0, 127}}, {{0, 0, 95}, {95, 95, 95}},       {{150, 128, 200}, {99, 200, 149}},
        {{360, 255, 255}, {255, 0, 0}},   {{-90, 255, 255}, {127, 0, 255}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HsvToRgb(c.hsv.hue, c.hsv.saturation, c.hsv.value), c.rgb) << c.hsv.hue;
    }
}

TEST(ColourSpace, RgbToHsvTable) {
    struct Case {
        Rgb8 rgb;
        Hsv hsv;
    };
    const Case cases[] = {
        {{0, 95, 0}, {120, 255, 95}},      {{255, 0, 0}, {0, 255, 255}}, {{0, 0, 255}, {240, 255, 255}},
        {{255, 0, 1}, {359, 255, 255}},    {{10, 10, 10}, {0, 0, 10}},   {{255, 255, 0}, {60, 255, 255}},
        {{100, 50, 200}, {260, 191, 200}}, {{0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RgbToHsv(c.rgb.red, c.rgb.green, c.rgb.blue), c.hsv) << c.rgb.red << "," << c.rgb.green;
    }
}

TEST(ColourSpace, TypedComponentTakesLeadingDigitsUpTo255) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"999", 255}, {"256", 255}, {"255", 255},        {"0", 0}, {"", 0}, {"12x", 12},
                          {"x12", 0},   {"007", 7},   {"99999999999", 255}};
    for (const Case& c : cases) EXPECT_EQ(ParseColourComponent(c.text), c.value) << c.text;
}

TEST(ColourWheel, PicksOnTheWheelAndTheBar) {
    using namespace ColourWheel;
    int hue = -1, saturation = -1;
    PickWheel(kCentre, hue, saturation);
    EXPECT_EQ(hue, 0);
    EXPECT_EQ(saturation, 0);
    PickWheel({kCentre.x + 105, kCentre.y}, hue, saturation);
    EXPECT_EQ(hue, 0);
    EXPECT_EQ(saturation, 255);
    PickWheel({kCentre.x, kCentre.y - 50}, hue, saturation);
    EXPECT_EQ(hue, 90);
    EXPECT_EQ(saturation, 50 * 255 / 105);
    PickWheel({kCentre.x, kCentre.y + 30}, hue, saturation);
    EXPECT_EQ(hue, 270);
    PickWheel({kCentre.x + 30, kCentre.y + 1}, hue, saturation);
    EXPECT_EQ(hue, 359);

    EXPECT_EQ(PickBar({290, 328}), 0);
    EXPECT_EQ(PickBar({290, 118}), 255);
    EXPECT_EQ(PickBar({290, 100}), 255);
    EXPECT_EQ(PickBar({290, 223}), 127);

    EXPECT_EQ(DragModeAt(kCentre), kDragWheel);
    EXPECT_EQ(DragModeAt({kCentre.x, kCentre.y - 105}), kDragWheel);
    EXPECT_EQ(DragModeAt({290, 300}), kDragBar);
    EXPECT_EQ(DragModeAt({60, 130}), kDragNone);  // a corner of the pick area, outside the wheel
    EXPECT_EQ(DragModeAt({290, 340}), kDragNone);
}

TEST(ColourWheel, MarkersFollowHueSaturationAndValue) {
    using namespace ColourWheel;
    EXPECT_EQ(WheelMarker(0, 255), (Point{255, 223}));
    EXPECT_EQ(WheelMarker(90, 255), (Point{150, 118}));
    EXPECT_EQ(WheelMarker(180, 0), kCentre);
    EXPECT_EQ(BarMarkerY(255), 118);
    EXPECT_EQ(BarMarkerY(0), 328);
    EXPECT_EQ(BarLineValue(209), 253);
}

}  // namespace
