#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "Font.h"
#include "Glyphs.h"
#include "Shapes.h"
#include "Skin.h"
#include "Style.h"
#include "Widgets.h"

namespace skingen {

using namespace palette;

namespace {

// Both dials share one face: an outer gauge for the upper reading and an inner ring for the lower one,
// both open at the bottom where the two numbers sit. Gauge layers only touch their own band, so any
// gauge picture stacks on any ring picture.
constexpr int kWidth = 286;
constexpr int kHeight = 228;
constexpr float kCx = 143, kCy = 114;
constexpr float kGaugeInner = 80, kGaugeOuter = 95;
constexpr float kGaugeFrom = 215, kGaugeTo = -35;
constexpr float kRingInner = 64, kRingOuter = 71;
constexpr float kRingFrom = 190, kRingTo = -10;
constexpr float kGlow = 2;

struct Band {
    float inner, outer, fromDeg, toDeg;
    int segments;
    std::vector<Rgb> stops;  // colour along the sweep
};

Rgb ColourAt(const Band& band, float t) {
    float pos = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(band.stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(pos), band.stops.size() - 2);
    return Mix(band.stops[i], band.stops[i + 1], pos - static_cast<float>(i));
}

struct SegmentShape {
    Sdf shape;
    Box box;
};

SegmentShape Segment(const Band& band, int i, float grow) {
    float span = (band.toDeg - band.fromDeg) / static_cast<float>(band.segments);
    float gap = std::fabs(span) * 0.22f;
    float dir = span < 0 ? -1.0f : 1.0f;
    float a0 = band.fromDeg + span * static_cast<float>(i) + dir * gap / 2;
    float a1 = band.fromDeg + span * static_cast<float>(i + 1) - dir * gap / 2;
    // The box around sampled edge points keeps each segment's work to its own few pixels.
    float x0 = kWidth, y0 = kHeight, x1 = 0, y1 = 0;
    for (int s = 0; s <= 8; ++s) {
        float a = (a0 + (a1 - a0) * static_cast<float>(s) / 8) * std::numbers::pi_v<float> / 180;
        for (float r : {band.inner - grow, band.outer + grow}) {
            float x = kCx + std::cos(a) * r, y = kCy - std::sin(a) * r;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    return {AnnularSector(kCx, kCy, band.inner - grow, band.outer + grow, a0, a1),
            BoxAround(x0, y0, x1 - x0, y1 - y0, 3)};
}

Box DialBox() {
    return Box{0, 0, kWidth, kHeight};
}

void DrawTrack(Canvas& c, const Band& band) {
    for (int i = 0; i < band.segments; ++i) {
        Rgb colour = ColourAt(band, static_cast<float>(i) / std::max(band.segments - 1, 1));
        SegmentShape segment = Segment(band, i, 0);
        c.Fill(segment.shape, segment.box, Solid(Mix(kWell, colour, 0.16f)));
    }
}

void DrawLit(Canvas& c, const Band& band, int count) {
    for (int i = 0; i < count; ++i) {
        Rgb colour = ColourAt(band, static_cast<float>(i) / std::max(band.segments - 1, 1));
        SegmentShape glow = Segment(band, i, kGlow), segment = Segment(band, i, 0);
        c.Fill(glow.shape, glow.box, Solid(colour), 0.22f);
        c.Fill(segment.shape, segment.box,
               RadialGradient(kCx, kCy, band.outer, Darken(colour, 0.1f), Lighten(colour, 0.35f)));
    }
}

Canvas DrawFace(const Band& gauge, const Band& ring, std::string_view title, std::string_view upper,
                std::string_view lower, std::string_view upperUnit, std::string_view lowerUnit) {
    Canvas c(kWidth, kHeight, Rgb{}, 0.0f);
    Box box = DialBox();
    c.Fill(Circle(kCx, kCy, 109), box, Solid(kEdgeDark));
    c.Fill(Ring(kCx, kCy, 100, 108), box,
           VerticalGradient(kCy - 108, MakeRgb(92, 101, 116), kCy + 108, MakeRgb(22, 25, 30)));
    c.Fill(Ring(kCx, kCy, 103, 105), box,
           VerticalGradient(kCy - 108, MakeRgb(40, 45, 53), kCy + 108, MakeRgb(58, 64, 74)));
    c.Fill(Circle(kCx, kCy, 100), box,
           RadialGradient(kCx, kCy - 40, 140, MakeRgb(40, 45, 53), MakeRgb(13, 15, 18)));
    c.Fill(Ring(kCx, kCy, 99, 100), box, Solid(kEdgeDark));
    DrawTrack(c, gauge);
    DrawTrack(c, ring);
    TextStyle titleStyle{1.0f, true, 1};
    DrawTextCentered(c, kCx, 82, title, titleStyle, Solid(kTextDim));
    c.FillRect(kCx - 12, 90, 24, 1, Solid(kAccent), 0.8f);
    Well(c, 94, 119, 106, 62, 4);
    c.FillRect(98, 150, 98, 1, Solid(kEdgeLight), 0.12f);
    Caption(c, 100, 134, upper, kTextDim);
    Caption(c, 100, 159, lower, kTextDim);
    Caption(c, 177, 134, upperUnit, kTextDim);
    Caption(c, 177, 159, lowerUnit, kTextDim);
    return c;
}

// Layer k shows k lit segments, so layer 0 is fully transparent.
void AddLayers(Skin& skin, const Canvas& face, const Band& band, int firstNumber, int count,
               const std::string& role) {
    for (int k = 0; k < count; ++k) {
        Canvas layer = face;
        DrawLit(layer, band, k);
        layer.KeepChangesFrom(face);
        skin.AddBitmap(firstNumber + k, role + " step " + std::to_string(k), std::move(layer));
    }
}

}  // namespace

void DrawDials(Skin& skin) {
    const std::string celsius = std::string(1, kDegree) + "C";
    Band core{kGaugeInner, kGaugeOuter, kGaugeFrom,
              kGaugeTo,    19,          {kAccent, MakeRgb(70, 140, 255), MakeRgb(150, 100, 255)}};
    Band memory{kRingInner, kRingOuter, kRingFrom, kRingTo, 31, {kGood, kAccent}};
    Canvas clockFace = DrawFace(core, memory, "GPU CLOCK", "CORE", "MEM", "MHZ", "MHZ");
    Band temperature{kGaugeInner, kGaugeOuter,
                     kGaugeFrom,  kGaugeTo,
                     19,          {kGood, MakeRgb(250, 210, 50), MakeRgb(255, 120, 40), kDanger}};
    Band fan{kRingInner, kRingOuter, kRingFrom, kRingTo, 20, {kAccentDeep, kAccent, kAccentSoft}};
    Canvas thermalFace = DrawFace(temperature, fan, "THERMAL", "TEMP", "FAN", celsius, "%");

    // The faces are finished against the main window where each dial sits, so their round edge is smooth.
    clockFace = FlattenKeyed(clockFace, skin.Bitmap(130).Crop(38, 100, kWidth, kHeight));
    thermalFace = FlattenKeyed(thermalFace, skin.Bitmap(130).Crop(678, 100, kWidth, kHeight));
    skin.AddBitmap(211, "clock dial face (control 1073)", clockFace);
    AddLayers(skin, clockFace, core, 159, 20, "clock dial core-clock gauge");
    AddLayers(skin, clockFace, memory, 179, 32, "clock dial memory-clock ring");
    skin.AddBitmap(275, "temperature dial face (control 1074)", thermalFace);
    AddLayers(skin, thermalFace, temperature, 255, 20, "temperature dial temperature gauge");
    AddLayers(skin, thermalFace, fan, 234, 21, "temperature dial fan ring");
}

}  // namespace skingen
