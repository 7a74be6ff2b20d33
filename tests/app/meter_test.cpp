#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/CMeter.h"
#include "ui/CDialog.h"
#include "ui/HeadlessHost.h"

namespace {

constexpr int kDialId = 1073;
constexpr Rect kDialRect{38, 100, 286, 228};
constexpr Rect kUpperBox{128, 125, 45, 25};
constexpr Rect kLowerBox{128, 150, 45, 25};
constexpr Color kKey = Rgb(77, 0, 85);

class MeterDlg : public CDialog {
public:
    explicit MeterDlg(UiHost& host) : CDialog(host, 102) {}
    CMeter* dial = nullptr;

protected:
    void OnInitDialog() override {
        SetWindowSize(1000, 504);
        MutableWindow().backgroundBitmap = 130;
        dial = &Add<CMeter>(kDialId, kDialRect);
        dial->transparentColour = kKey;
        dial->upperX = kUpperBox.left;
        dial->upperY = kUpperBox.top;
        dial->lowerX = kLowerBox.left;
        dial->lowerY = kLowerBox.top;
    }
};

class MeterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dlg.Create(), 0); }
    ~MeterTest() override { SetFontFaceProbe(nullptr); }

    void UseFace(bool present) {
        SetFontFaceProbe([present](std::string_view face) { return present && face == "UniDreamLED"; });
        dlg.dial->SetMeterFont("UniDreamLED");
    }

    const std::vector<DrawCall>& Draws() const { return host.Draws(dlg, kDialId); }

    std::vector<DrawCall> Polygons(const std::vector<DrawCall>& calls) const {
        std::vector<DrawCall> polygons;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(polygons),
                     [](const DrawCall& call) { return call.op == DrawOp::Polygon; });
        return polygons;
    }

    // The polygons of the upper number alone, drawn as `value`.
    std::vector<DrawCall> UpperDigits(int value) {
        host.ClearDraws(dlg, kDialId);
        dlg.dial->upperY = 0;
        dlg.dial->lowerY = 200;
        dlg.dial->DrawMeterReading({}, value, 0);
        std::vector<DrawCall> upper;
        for (const DrawCall& call : Polygons(Draws())) {
            if (call.points[0].y < 100) upper.push_back(call);
        }
        return upper;
    }

    HeadlessHost host{CORALVANE_SKIN_DIR};
    MeterDlg dlg{host};
};

TEST_F(MeterTest, DrawsItsLayersAndNumbersOffScreenOverTheBackground) {
    UseFace(true);
    dlg.dial->DrawMeterReading({211, 169, 189}, 1500, -40);

    const std::vector<DrawCall>& calls = Draws();
    ASSERT_EQ(calls.size(), 7u);
    for (size_t i = 0; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i].surface, 1) << i;
    EXPECT_EQ(calls[0].op, DrawOp::Bitmap);
    EXPECT_EQ(calls[0].bitmap, 130);
    EXPECT_EQ(calls[0].rect, kDialRect) << "the dialog's background under the dial";
    EXPECT_EQ(calls[0].key, std::nullopt);
    const std::vector<int> layers = {211, 169, 189};
    for (size_t i = 0; i < layers.size(); ++i) {
        EXPECT_EQ(calls[1 + i].op, DrawOp::Bitmap);
        EXPECT_EQ(calls[1 + i].bitmap, layers[i]);
        EXPECT_EQ(calls[1 + i].to, (Point{0, 0}));
        EXPECT_EQ(calls[1 + i].key, kKey);
    }
    const std::vector<std::pair<Rect, std::string>> numbers = {{kUpperBox, "1500"}, {kLowerBox, "-40"}};
    for (size_t i = 0; i < numbers.size(); ++i) {
        const DrawCall& text = calls[4 + i];
        EXPECT_EQ(text.op, DrawOp::String);
        EXPECT_EQ(text.rect, numbers[i].first);
        EXPECT_EQ(text.text, numbers[i].second);
        EXPECT_EQ(text.color, Rgb(255, 255, 255));
        EXPECT_EQ(text.font, (FontSpec{"UniDreamLED", 0, 160, 0}));
        EXPECT_TRUE(text.format & kTextRight);
    }
    EXPECT_EQ(calls[6].op, DrawOp::Blit);
    EXPECT_EQ(calls[6].surface, 0);
    EXPECT_EQ(calls[6].sourceSurface, 1);
    EXPECT_EQ(calls[6].to, (Point{0, 0}));
    EXPECT_EQ(calls[6].rect, (Rect{0, 0, kDialRect.width, kDialRect.height}));
}

TEST_F(MeterTest, UnchangedReadingIsNotComposedAgainButStillRepaints) {
    UseFace(true);
    dlg.dial->DrawMeterReading({211, 169, 189}, 1500, -40);
    host.ClearDraws(dlg, kDialId);
    dlg.dial->DrawMeterReading({211, 169, 189}, 1500, -40);
    EXPECT_TRUE(Draws().empty()) << "the same picture composed again";

    // Any change of layers or numbers draws; a repaint draws the last reading.
    for (auto [layers, upper, lower] : {std::tuple{std::vector<int>{211, 169, 190}, 1500, -40},
                                        std::tuple{std::vector<int>{211, 169, 190}, 1501, -40},
                                        std::tuple{std::vector<int>{211, 169, 190}, 1501, -41}}) {
        host.ClearDraws(dlg, kDialId);
        dlg.dial->DrawMeterReading(layers, upper, lower);
        EXPECT_EQ(Draws().size(), 7u) << upper << ' ' << lower;
    }
    const std::vector<DrawCall> repaint = host.Paint(dlg, kDialId);
    EXPECT_TRUE(std::any_of(repaint.begin(), repaint.end(), [](const DrawCall& call) {
        return call.op == DrawOp::String && call.text == "-41";
    }));
}

TEST_F(MeterTest, ImageAloneDrawsNoNumbers) {
    UseFace(true);
    dlg.dial->DrawMeterImage(211);
    std::vector<int> bitmaps;
    for (const DrawCall& call : Draws()) {
        EXPECT_NE(call.op, DrawOp::String);
        if (call.op == DrawOp::Bitmap) bitmaps.push_back(call.bitmap);
    }
    EXPECT_EQ(bitmaps, (std::vector<int>{130, 211}));
}

TEST_F(MeterTest, ImagesStackUntilTheReadingEndsTheRefresh) {
    UseFace(true);
    auto shown = [&] {
        std::vector<int> bitmaps;
        std::vector<std::string> texts;
        for (const DrawCall& call : host.Paint(dlg, kDialId)) {
            if (call.op == DrawOp::Bitmap) bitmaps.push_back(call.bitmap);
            if (call.op == DrawOp::String) texts.push_back(call.text);
        }
        return std::make_pair(bitmaps, texts);
    };
    dlg.dial->DrawMeterImage(211);
    dlg.dial->DrawMeterImage(169);
    dlg.dial->DrawMeterReading(189, 1500, -40);
    EXPECT_EQ(shown().first, (std::vector<int>{130, 211, 169, 189}));
    EXPECT_EQ(shown().second, (std::vector<std::string>{"1500", "-40"}));
    dlg.dial->DrawMeterImage(212);  // a new refresh
    dlg.dial->DrawMeterReading(170, 7, 8);
    EXPECT_EQ(shown().first, (std::vector<int>{130, 212, 170}));
    EXPECT_EQ(shown().second, (std::vector<std::string>{"7", "8"}));
}

TEST_F(MeterTest, RepaintShowsTheLastFrame) {
    UseFace(true);
    EXPECT_TRUE(host.Paint(dlg, kDialId).empty());
    dlg.dial->DrawMeterReading({275, 269, 247}, 72, 64);
    std::vector<std::string> texts;
    std::vector<int> bitmaps;
    for (const DrawCall& call : host.Paint(dlg, kDialId)) {
        if (call.op == DrawOp::String) texts.push_back(call.text);
        if (call.op == DrawOp::Bitmap) bitmaps.push_back(call.bitmap);
    }
    EXPECT_EQ(bitmaps, (std::vector<int>{130, 275, 269, 247}));
    EXPECT_EQ(texts, (std::vector<std::string>{"72", "64"}));
}

TEST_F(MeterTest, NewFontRedrawsTheControl) {
    const int before = host.InvalidateCount(dlg, kDialId);
    dlg.dial->SetMeterFont("Consolas");
    EXPECT_GT(host.InvalidateCount(dlg, kDialId), before);
    EXPECT_EQ(dlg.dial->MeterFont(), (FontSpec{"Consolas", 0, 160, 0}));
}

// Without the LED face the numbers are seven-segment digits, right-aligned in their boxes.
TEST_F(MeterTest, MissingFaceDrawsSevenSegmentDigits) {
    UseFace(false);
    struct Case {
        int value;
        size_t segments;
    };
    const std::vector<Case> cases = {{8, 7}, {1, 2}, {0, 6}, {-5, 6}, {1500, 19}, {7, 3}};
    for (const Case& c : cases) {
        const std::vector<DrawCall> digits = UpperDigits(c.value);
        EXPECT_EQ(digits.size(), c.segments) << c.value;
        int right = 0;
        for (const DrawCall& polygon : digits) {
            EXPECT_EQ(polygon.color, Rgb(255, 255, 255));
            for (Point p : polygon.points) {
                EXPECT_GE(p.x, kUpperBox.left) << c.value;
                EXPECT_LE(p.y, kUpperBox.height) << c.value;
                right = std::max(right, p.x);
            }
        }
        EXPECT_EQ(right, kUpperBox.Right()) << c.value << " is right-aligned";
    }
    EXPECT_TRUE(std::none_of(Draws().begin(), Draws().end(),
                             [](const DrawCall& call) { return call.op == DrawOp::String; }));
}

TEST_F(MeterTest, MinusSignIsTheMiddleBarLeftOfTheDigits) {
    UseFace(false);
    const std::vector<DrawCall> five = UpperDigits(5);
    const std::vector<DrawCall> minusFive = UpperDigits(-5);
    ASSERT_EQ(minusFive.size(), five.size() + 1);
    const DrawCall& minus = minusFive.back();
    int minusRight = 0;
    for (Point p : minus.points) minusRight = std::max(minusRight, p.x);
    for (const DrawCall& segment : five) {
        for (Point p : segment.points) EXPECT_LT(minusRight, p.x);
    }
    int top = kUpperBox.height;
    int bottom = 0;
    for (const DrawCall& segment : five) {
        for (Point p : segment.points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    EXPECT_EQ(minus.points[0].y + minus.points[2].y, top + bottom) << "centred on the digits";
}

TEST_F(MeterTest, WideNumberIsCutAtTheBoxsLeftEdge) {
    UseFace(false);
    const std::vector<DrawCall> tail = UpperDigits(3456);
    const std::vector<DrawCall> wide = UpperDigits(123456);
    ASSERT_GT(wide.size(), tail.size());
    int left = kUpperBox.Right();
    for (const DrawCall& polygon : wide) {
        for (Point p : polygon.points) left = std::min(left, p.x);
    }
    EXPECT_EQ(left, kUpperBox.left);
    for (const DrawCall& segment : tail) {
        EXPECT_TRUE(std::any_of(wide.begin(), wide.end(),
                                [&](const DrawCall& other) { return other.points == segment.points; }));
    }
}

}  // namespace
