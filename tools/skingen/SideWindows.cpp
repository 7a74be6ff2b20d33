#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "Font.h"
#include "Glyphs.h"
#include "Shapes.h"
#include "Skin.h"
#include "Style.h"
#include "Widgets.h"

namespace skingen {

using namespace palette;

namespace {

void CentredCaption(Canvas& c, float cx, float y, std::string_view text, Rgb colour, bool bold = false) {
    TextStyle style{1.0f, bold, 1};
    float x = std::round(cx - TextWidth(text, style) / 2);
    Caption(c, x, y, text, colour, 1.0f, bold);
}

void Emblem(Canvas& c, float cx, float cy, float r) {
    Box box = BoxAround(cx - r, cy - r, 2 * r, 2 * r);
    c.Fill(Circle(cx, cy, r), box,
           RadialGradient(cx, cy - r / 2, r * 1.6f, MakeRgb(40, 48, 58), kBodyBottom));
    c.Fill(Ring(cx, cy, r - 2, r), box, VerticalGradient(cy - r, kAccent, cy + r, kAccentDeep));
}

void DrawMessageBackground(Skin& skin) {
    Canvas c = ShapedWindow(500, 222, "CORALVANE");
    Emblem(c, 70, 80, 34);
    DrawTextCentered(c, 71, 80, "!", TextStyle{4.0f, true, 1},
                     VerticalGradient(62, kAccentSoft, 98, kAccent));
    Well(c, 122, 26, 336, 112, 3);
    Divider(c, 20, 142, 460);
    skin.AddBitmap(233, "message dialog background and shape (dialog 232)", std::move(c));
}

void DrawKeyOcBackground(Skin& skin) {
    Canvas c = ShapedWindow(500, 222, "ONE-KEY OVERCLOCK");
    Emblem(c, 70, 80, 34);
    DrawBolt(c, 70, 80, 40, VerticalGradient(60, kWarm, 100, kDanger));
    Caption(c, 135, 44, "ONE-KEY OVERCLOCK", kText, 1.0f, true);
    Caption(c, 135, 58, "RAISES THE CORE CLOCK AND THE POWER TARGET", kTextDim);
    Caption(c, 135, 70, "EVERY TIME THE PROGRAM STARTS.", kTextDim);
    Well(c, 128, 88, 330, 30, 3);
    Caption(c, 160, 99, "ENABLE ONE-KEY OVERCLOCK", kText, 1.0f, true);
    Divider(c, 20, 130, 460);
    skin.AddBitmap(304, "one-key overclock dialog background and shape (dialog 303)", std::move(c));
}

void DrawSettingsBackground(Skin& skin, int number, bool withTop) {
    Canvas c = ShapedWindow(350, 445, "SETTINGS");
    DrawGear(c, 175, 68, 26, VerticalGradient(42, kAccent, 94, kAccentDeep), 0.9f);
    SectionLabel(c, 40, 112, "OPTIONS");
    Well(c, 40, 126, 270, 180, 3);
    const std::array<const char*, 5> labels = {"START WITH WINDOWS", "START MINIMISED", "OVERCLOCK AT START",
                                               "TRANSLUCENT", "ALWAYS ON TOP"};
    const std::array<int, 5> rowsC = {161, 194, 228, 261, 0};
    const std::array<int, 5> rowsE = {142, 176, 210, 243, 276};
    for (int i = 0; i < (withTop ? 5 : 4); ++i) {
        int y = withTop ? rowsE[static_cast<size_t>(i)] : rowsC[static_cast<size_t>(i)];
        Caption(c, 78, static_cast<float>(y + 3), labels[static_cast<size_t>(i)], kText);
        if (i + 1 < (withTop ? 5 : 4))
            c.FillRect(52, static_cast<float>(y + 21), 246, 1, Solid(kEdgeLight), 0.18f);
    }
    Divider(c, 20, 362, 310);
    const char* role = withTop
                           ? "settings window background and shape, layout with always-on-top (dialog 282)"
                           : "settings window background and shape (dialog 282)";
    skin.AddBitmap(number, role, std::move(c));
}

void DrawInfoBackground(Skin& skin) {
    Canvas c = ShapedWindow(350, 445, "GPU INFORMATION");
    Caption(c, 108, 35, "GPU", kTextDim, 2.0f, false);
    Well(c, 140, 29, 40, 26, 3);
    struct Row {
        int y;
        const char* left;
        const char* right;
    };
    const std::array<Row, 9> rows = {{{78, "NAME", nullptr},
                                      {112, "DRIVER", nullptr},
                                      {145, "BIOS", nullptr},
                                      {177, "CORES", nullptr},
                                      {210, "MEMORY", nullptr},
                                      {243, "BUS WIDTH", nullptr},
                                      {276, "BASE MHZ", "BOOST"},
                                      {309, "VENDOR", "DEVICE"},
                                      {342, "SUBVENDOR", "SUBSYS"}}};
    for (const Row& row : rows) {
        Caption(c, 26, static_cast<float>(row.y + 4), row.left, kTextDim);
        if (row.right) Caption(c, 210, static_cast<float>(row.y + 4), row.right, kTextDim);
        c.FillRect(24, static_cast<float>(row.y + 21), 302, 1, Solid(kEdgeLight), 0.16f);
    }
    Divider(c, 20, 378, 310);
    skin.AddBitmap(
        288, "card information window background and shape; also the colour editor's shape (dialog 287)",
        std::move(c));
}

// The hue/saturation wheel uses the editor's own picking rule, so the colour under the pointer is the
// colour the editor picks there.
void DrawColourEditorBackground(Skin& skin) {
    Canvas c = ShapedWindow(350, 445, "CUSTOM COLOR");
    const float cx = 150, cy = 223, r = 105;
    Caption(c, 45, 104, "HUE / SATURATION", kTextDim);
    Caption(c, 276, 104, "VALUE", kTextDim);
    c.Fill(Ring(cx, cy, r, r + 4), BoxAround(cx - r - 6, cy - r - 6, 2 * r + 12, 2 * r + 12),
           VerticalGradient(cy - r, kEdgeDark, cy + r, kEdgeLight));
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y) {
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            float dx = x + 0.5f - cx, dy = cy - (y + 0.5f);
            float d = std::hypot(dx, dy);
            float coverage = std::clamp(r - d + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0) continue;
            float hue = std::atan2(dy, dx) * 180 / std::numbers::pi_v<float>;
            if (hue < 0) hue += 360;
            float sat = std::min(d / r, 1.0f);
            float h6 = hue / 60;
            auto channel = [&](float n) {
                float k = std::fmod(n + h6, 6.0f);
                return 1.0f - sat * std::clamp(std::min(k, 4 - k), 0.0f, 1.0f);
            };
            c.Blend(x, y, Rgb{channel(5), channel(3), channel(1)}, coverage);
        }
    }
    Well(c, 277, 115, 32, 216, 1);
    c.FillRect(280, 118, 26, 211, Solid(kWell));
    Well(c, 42, 342, 36, 36, 2);
    const std::array<const char*, 3> names = {"R", "G", "B"};
    const std::array<Rgb, 3> colours = {MakeRgb(255, 96, 96), MakeRgb(96, 230, 120), MakeRgb(96, 150, 255)};
    for (size_t i = 0; i < 3; ++i) Caption(c, 88 + 80.0f * i, 357, names[i], colours[i], 1.0f, true);
    skin.AddBitmap(298, "custom colour editor background with the colour wheel (dialog 297)", std::move(c));
}

void DrawFanCurveBackground(Skin& skin) {
    Canvas c = ShapedWindow(453, 445, "FAN CURVE");
    Caption(c, 36, 52, "FAN %", kTextDim, 1.0f, true);
    Well(c, 81, 71, 297, 297, 2);
    for (int k = 0; k <= 10; ++k) {
        std::string fan = std::to_string(100 - 10 * k), temp = std::to_string(10 * k);
        TextStyle style;
        Caption(c, std::round(76 - TextWidth(fan, style)), static_cast<float>(74 + 29 * k - 3), fan,
                kTextDim);
        CentredCaption(c, 84.0f + 29 * k, 371, temp, kTextDim);
    }
    CentredCaption(c, 229.5f, 384, std::string("TEMPERATURE (") + kDegree + "C)", kTextDim, true);
    skin.AddBitmap(290, "fan curve window background and shape (dialog 289)", std::move(c));
}

void DrawBiosBackground(Skin& skin) {
    Canvas c = ShapedWindow(350, 445, "VIDEO BIOS");
    DrawChip(c, 175, 76, 52, VerticalGradient(50, kAccent, 102, kAccentDeep), 0.9f);
    CentredCaption(c, 175, 150, "SAVE THE CARD'S BIOS TO A FILE", kTextDim);
    CentredCaption(c, 175, 222, "WRITE A BIOS FILE TO THE CARD", kTextDim);
    Divider(c, 20, 300, 310);
    DrawBolt(c, 175, 328, 18, Solid(kWarm));
    CentredCaption(c, 175, 346, "A WRONG OR BROKEN FILE CAN", kWarm);
    CentredCaption(c, 175, 358, "LEAVE THE CARD UNUSABLE.", kWarm);
    skin.AddBitmap(279, "BIOS window background and shape (dialog 278)", std::move(c));
}

void DrawHelpBackground(Skin& skin) {
    Canvas c = ShapedWindow(650, 445, "HELP");
    Well(c, 18, 52, 614, 362, 3);
    DrawHelpGlyph(c, 600, 384, 18, Solid(kAccentDeep), 0.6f);
    Caption(c, 12, 421, ">", kAccent, 1.0f, true);
    skin.AddBitmap(281, "help window background and shape (dialog 280)", std::move(c));
}

void DrawMonitorBackground(Skin& skin) {
    Canvas c = ShapedWindow(650, 445, "MONITOR");
    const std::array<std::array<int, 2>, 6> charts = {
        {{58, 80}, {358, 80}, {58, 200}, {358, 200}, {58, 322}, {358, 320}}};
    for (const auto& at : charts) {
        float x = static_cast<float>(at[0]), y = static_cast<float>(at[1]);
        Plate(c, x - 40, y - 24, x < 300 ? 296.0f : 306.0f, 112, 3);
        Well(c, x - 2, y - 2, 224, 86, 1);
        c.FillRect(x, y, 220, 82, Solid(kChartBack));
    }
    skin.AddBitmap(286, "monitoring window background and shape (dialog 285)", std::move(c));
}

}  // namespace

void DrawSideWindowBackgrounds(Skin& skin) {
    DrawMessageBackground(skin);
    DrawKeyOcBackground(skin);
    DrawSettingsBackground(skin, 283, false);
    DrawSettingsBackground(skin, 302, true);
    DrawInfoBackground(skin);
    DrawColourEditorBackground(skin);
    DrawFanCurveBackground(skin);
    DrawBiosBackground(skin);
    DrawHelpBackground(skin);
    DrawMonitorBackground(skin);
}

}  // namespace skingen
