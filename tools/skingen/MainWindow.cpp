#include <algorithm>
#include <cmath>

#include "Font.h"
#include "Shapes.h"
#include "Skin.h"
#include "Style.h"
#include "Widgets.h"

namespace skingen {

using namespace palette;

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 504;
constexpr float kBodyTop = 36;
constexpr float kBandBottom = 72;

// The body with a raised crest in the middle of its top edge that carries the name.
Sdf MainShape() {
    Sdf body = ConvexPolygon(ChamferedRect(0, kBodyTop, kWidth, kHeight - kBodyTop, 18, 8, 18, 8));
    Sdf crest = ConvexPolygon({{382, 14}, {618, 14}, {646, kBodyTop + 1}, {354, kBodyTop + 1}});
    return Unite(body, crest);
}

void DrawShell(Canvas& c, const Sdf& shape) {
    c.FillRect(0, 0, kWidth, kHeight, VerticalGradient(kBandBottom, palette::kBodyTop, kHeight, kBodyBottom));
    c.FillRect(0, 0, kWidth, kHeight, RadialGradient(500, 300, 520, MakeRgb(30, 46, 58), palette::kBodyTop),
               0.25f);
    c.FillRect(0, 0, kWidth, kBandBottom, VerticalGradient(14, kTitleTop, kBandBottom, kTitleBottom));
    c.FillRect(0, kBandBottom, kWidth, 1, Solid(kEdgeDark));
    c.FillRect(0, kBandBottom + 1, kWidth, 1, Solid(kEdgeLight), 0.22f);
    CutShape(c, shape, Box{20, static_cast<int>(kBodyTop) + 20, kWidth - 20, kHeight - 20});
    // Accent lines along the crest's shoulders and the top edge.
    c.Fill(Capsule({354, kBodyTop + 0.5f}, {382, 14.5f}, 0.9f), Box{350, 10, 386, 40}, Solid(kAccent));
    c.Fill(Capsule({618, 14.5f}, {646, kBodyTop + 0.5f}, 0.9f), Box{614, 10, 650, 40}, Solid(kAccent));
    c.FillRect(382, 15, 236, 1, Solid(kAccent), 0.6f);
    c.FillRect(20, kBodyTop + 1, 334, 2, HorizontalGradient(20, kTitleTop, 354, kAccent), 0.8f);
    c.FillRect(646, kBodyTop + 1, 334, 2, HorizontalGradient(646, kAccent, 980, kTitleTop), 0.8f);
}

void DrawLogo(Canvas& c) {
    TextStyle big{2.0f, true, 1};
    float w1 = TextWidth("CORAL", big), w2 = TextWidth("VANE", big), gap = 4;
    float x = std::round(500 - (w1 + gap + w2) / 2);
    DrawText(c, x, 19, "CORAL", big, Solid(kEdgeDark), 0.8f);
    DrawText(c, x, 18, "CORAL", big, VerticalGradient(18, kWhite, 32, kText));
    DrawText(c, x + w1 + gap, 19, "VANE", big, Solid(kEdgeDark), 0.8f);
    DrawText(c, x + w1 + gap, 18, "VANE", big, VerticalGradient(18, kAccentSoft, 32, kAccent));
    Caption(c, 38, 50, "GRAPHICS CARD TUNING", kTextDim);
    c.FillRect(28, 50, 3, 7, Solid(kAccent));
}

void DrawLeftColumn(Canvas& c) {
    Plate(c, 22, 80, 310, 412, 4);
    Divider(c, 34, 372, 286);
    Divider(c, 34, 440, 286);
    Caption(c, 40, 342, "NAME", kTextDim);
    Well(c, 104, 333, 216, 24, 3);
    SectionLabel(c, 36, 410, "GPU");
    SectionLabel(c, 36, 459, "PROFILE");
}

void DrawRightColumn(Canvas& c) {
    Plate(c, 668, 80, 310, 412, 4);
    Divider(c, 680, 372, 286);
    SectionLabel(c, 684, 338, "FAN");
    Well(c, 736, 336, 168, 12, 5);
    SectionLabel(c, 684, 410, "MODE");
    Divider(c, 680, 433, 286);
}

void DrawCentre(Canvas& c) {
    // Tab rail under the page buttons and the sunken page area.
    c.FillRect(352, 136, 296, 1, HorizontalGradient(352, kBodyBottom, 648, kBodyBottom));
    c.FillRect(372, 137, 256, 2, HorizontalGradient(372, kAccentDeep, 628, kAccentDeep), 0.8f);
    c.FillRect(420, 137, 160, 2, HorizontalGradient(420, kAccentDeep, 580, kAccent), 0.5f);
    Well(c, 337, 148, 315, 331, 3);
}

}  // namespace

void DrawMainBackground(Skin& skin) {
    Canvas c(kWidth, kHeight, kBodyBottom);
    Sdf shape = MainShape();
    DrawShell(c, shape);
    DrawLogo(c);
    DrawLeftColumn(c);
    DrawRightColumn(c);
    DrawCentre(c);
    skin.AddBitmap(130, "main window background and shape (dialog 102)", std::move(c));
}

}  // namespace skingen
