#include <array>
#include <cmath>
#include <string>

#include "Font.h"
#include "Shapes.h"
#include "Skin.h"
#include "Style.h"
#include "Widgets.h"

namespace skingen {

using namespace palette;

namespace {

enum class ChannelLook { Track, Active, Hatched };

Canvas Channel(const Canvas& backdrop, ChannelLook look, Rgb accent) {
    Canvas c = backdrop;
    float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    float gh = h >= 12 ? 5.0f : 4.0f, gy = std::round((h - gh) / 2);
    Sdf groove = RoundRect(1, gy, w - 2, gh, gh / 2);
    Box box{0, 0, c.Width(), c.Height()};
    c.Fill(groove, box, Solid(kWell));
    if (look == ChannelLook::Active) {
        c.Fill(RoundRect(0, gy - 1, w, gh + 2, gh / 2 + 1), box, Solid(accent), 0.18f);
        c.Fill(groove, box, HorizontalGradient(0, Darken(accent, 0.45f), w, accent));
        c.Fill(RoundRect(2, gy + 0.5f, w - 4, 1.2f, 0.6f), box, Solid(kWhite), 0.35f);
    } else if (look == ChannelLook::Hatched) {
        Paint stripes = [accent](float x, float y) {
            return std::fmod(x + y, 6.0f) < 3.0f ? Mix(kWell, accent, 0.35f) : kWell;
        };
        c.Fill(Intersect(groove, RoundRect(1.5f, gy + 0.5f, w - 3, gh - 1, gh / 2)), box, stripes);
    }
    c.Fill(Outline(groove, 1.0f), box, VerticalGradient(gy, kEdgeDark, gy + gh, kEdgeLight), 0.9f);
    return c;
}

Canvas Thumb(int w, int h, bool active, Rgb under) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Box box{0, 0, w, h};
    Sdf body =
        fw == fh ? Circle(fw / 2, fh / 2, fw / 2 - 0.3f) : RoundRect(0.3f, 0.3f, fw - 0.6f, fh - 0.6f, 3.2f);
    c.Fill(body, box, Solid(kEdgeDark));
    Sdf inner =
        fw == fh ? Circle(fw / 2, fh / 2, fw / 2 - 1.3f) : RoundRect(1.3f, 1.3f, fw - 2.6f, fh - 2.6f, 2.2f);
    Paint face = active ? VerticalGradient(0, kAccentSoft, fh, Darken(kAccent, 0.2f))
                        : VerticalGradient(0, MakeRgb(214, 222, 232), fh, MakeRgb(112, 121, 136));
    c.Fill(inner, box, face);
    if (fw != fh) {
        for (float y : {fh / 2 - 2, fh / 2, fh / 2 + 2})
            c.FillRect(2.5f, y - 0.5f, fw - 5, 1, Solid(kEdgeDark), 0.45f);
    }
    return FlattenKeyed(c, Canvas(w, h, under));
}

Canvas EditPattern(int w, int h) {
    Canvas c(w, h, kWell);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    c.FillRect(1, 1, fw - 2, fh - 2, VerticalGradient(1, MakeRgb(9, 11, 14), fh - 1, MakeRgb(17, 20, 25)));
    c.FillRect(0, 0, fw, 1, Solid(kEdgeDark));
    c.FillRect(0, 0, 1, fh, Solid(kEdgeDark));
    c.FillRect(0, fh - 1, fw, 1, Solid(kEdgeLight), 0.6f);
    c.FillRect(fw - 1, 0, 1, fh, Solid(kEdgeLight), 0.6f);
    return c;
}

enum class LedState { Off, Missing, Lit };

Canvas Indicator(const Canvas& backdrop, LedState state) {
    Canvas c(10, 10, Rgb{}, 0.0f);
    Box box{0, 0, 10, 10};
    if (state == LedState::Lit) c.Fill(Circle(5, 5, 5), box, Solid(kAccent), 0.35f);
    c.Fill(Circle(5, 5, 4), box, Solid(kEdgeDark));
    Rgb core = state == LedState::Lit       ? kAccent
               : state == LedState::Missing ? MakeRgb(120, 34, 34)
                                            : MakeRgb(48, 56, 68);
    c.Fill(Circle(5, 5, 3.2f), box,
           RadialGradient(4, 4, 4, Lighten(core, state == LedState::Lit ? 0.6f : 0.2f), core));
    c.Fill(Circle(4, 3.8f, 1.0f), box, Solid(kWhite), state == LedState::Lit ? 0.7f : 0.25f);
    Canvas out = backdrop;
    out.Draw(c, 0, 0);
    return out;
}

Canvas Swatch(const Canvas& backdrop, int kind) {
    Canvas c = backdrop;
    float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
    Box box{0, 0, c.Width(), c.Height()};
    Sdf chip = RoundRect(0.5f, 0.5f, w - 1, h - 1, 3);
    Sdf inner = RoundRect(1.5f, 1.5f, w - 3, h - 3, 2);
    c.Fill(chip, box, Solid(kEdgeDark));
    if (kind == 0) {
        c.Fill(inner, box, VerticalGradient(1, kWhite, h, MakeRgb(176, 186, 200)));
    } else if (kind == 1) {
        Paint rainbow = [w](float x, float) {
            float hue = std::clamp((x - 2) / (w - 4), 0.0f, 1.0f) * 300;
            auto channel = [hue](float n) {
                float k = std::fmod(n + hue / 60, 6.0f);
                return 1.0f - std::clamp(std::min(k, 4 - k), 0.0f, 1.0f);
            };
            return Rgb{channel(5), channel(3), channel(1)};
        };
        c.Fill(inner, box, rainbow);
    } else {
        c.Fill(inner, box, Solid(MakeRgb(40, 44, 51)));
        DrawTextCentered(c, w / 2, h / 2, "?", TextStyle{}, Solid(kTextDim));
    }
    c.Fill(RoundRect(2, 1.5f, w - 4, h / 2 - 1.5f, 2), box, Solid(kWhite), 0.18f);
    return c;
}

Canvas FanGrid() {
    Canvas c(291, 291, kChartBack);
    c.FillRect(0, 0, 291, 291, VerticalGradient(0, MakeRgb(12, 28, 46), 291, MakeRgb(6, 14, 24)));
    for (int k = 0; k < 10; ++k) {
        float at = 29.0f * k + 14;
        c.FillRect(at, 0, 1, 291, Solid(kChartGrid), 0.3f);
        c.FillRect(0, at, 291, 1, Solid(kChartGrid), 0.3f);
    }
    for (int k = 0; k <= 10; ++k) {
        float at = 29.0f * k;
        c.FillRect(at, 0, 1, 291, Solid(kChartGrid));
        c.FillRect(0, at, 291, 1, Solid(kChartGrid));
    }
    c.FillRect(0, 0, 291, 1, Solid(kAccentDeep));
    c.FillRect(0, 290, 291, 1, Solid(kAccent), 0.6f);
    c.FillRect(0, 0, 1, 291, Solid(kAccent), 0.6f);
    return c;
}

}  // namespace

void DrawControlBitmaps(Skin& skin) {
    const Canvas& overclock = skin.Bitmap(131);
    struct SliderRow {
        int normal, active, y;
        Rgb accent;
        const char* name;
    };
    const std::array<SliderRow, 6> rows = {{{140, 141, 15, kAccent, "core clock"},
                                            {144, 145, 62, kWarm, "voltage"},
                                            {146, 147, 107, MakeRgb(90, 150, 255), "memory clock"},
                                            {148, 149, 152, kGood, "power target"},
                                            {150, 151, 197, MakeRgb(255, 128, 64), "temperature target"},
                                            {152, 153, 241, MakeRgb(170, 120, 255), "pixel clock"}}};
    for (const SliderRow& row : rows) {
        Canvas under = overclock.Crop(11, row.y, 215, 15);
        skin.AddBitmap(row.normal, std::string(row.name) + " slider channel",
                       Channel(under, ChannelLook::Track, row.accent));
        skin.AddBitmap(row.active, std::string(row.name) + " slider channel, active part",
                       Channel(under, ChannelLook::Active, row.accent));
    }
    skin.AddBitmap(142, "overclock slider thumb (top-left pixel is the key)", Thumb(9, 15, false, kPanel));
    skin.AddBitmap(143, "overclock slider thumb while dragged", Thumb(9, 15, true, kPanel));
    skin.AddBitmap(156, "locked voltage slider channel",
                   Channel(overclock.Crop(11, 62, 215, 15), ChannelLook::Hatched, kWarm));
    skin.AddBitmap(157, "locked or disabled slider channel (pixel clock, core, power)",
                   Channel(overclock.Crop(11, 241, 215, 15), ChannelLook::Hatched, kTextDim));
    skin.AddBitmap(294, "inert slider channel of the fan/voltage panel",
                   Channel(skin.Bitmap(301).Crop(11, 136, 215, 15), ChannelLook::Hatched, kTextDim));
    const Canvas& main = skin.Bitmap(130);
    skin.AddBitmap(276, "fan slider channel",
                   Channel(main.Crop(740, 338, 160, 8), ChannelLook::Track, kAccent));
    skin.AddBitmap(277, "fan slider channel, active part",
                   Channel(main.Crop(740, 338, 160, 8), ChannelLook::Active, kAccent));
    skin.AddBitmap(293, "fan slider thumb (top-left pixel is the key)", Thumb(8, 8, false, kWell));
    skin.AddBitmap(292, "fan slider thumb while dragged", Thumb(8, 8, true, kWell));
    skin.AddBitmap(154, "edit background pattern of the tuning panels", EditPattern(25, 14));
    skin.AddBitmap(299, "edit background pattern of the colour editor", EditPattern(46, 16));

    const Canvas& led = skin.Bitmap(158);
    const std::array<int, 3> ledRows = {81, 121, 162};
    const std::array<const char*, 3> ledNames = {"logo row", "armor row", "brightness row"};
    for (size_t i = 0; i < 3; ++i) {
        Canvas under = led.Crop(150, ledRows[i], 10, 10);
        int first = 215 + 3 * static_cast<int>(i);
        std::string name = ledNames[i];
        skin.AddBitmap(first, name + " indicator, inactive", Indicator(under, LedState::Off));
        skin.AddBitmap(first + 1, name + " indicator, no controller", Indicator(under, LedState::Missing));
        skin.AddBitmap(first + 2, name + " indicator, active", Indicator(under, LedState::Lit));
    }
    Canvas swatchUnder = skin.Bitmap(225).Crop(156, 182, 24, 16);
    skin.AddBitmap(229, "accessory colour swatch, palette colour set", Swatch(swatchUnder, 0));
    skin.AddBitmap(230, "accessory colour swatch, colour not yet reported", Swatch(swatchUnder, 2));
    skin.AddBitmap(231, "accessory colour swatch, colour cycle", Swatch(swatchUnder, 1));
    skin.AddBitmap(291, "fan curve grid (10 x 10 cells of 29 pixels)", FanGrid());
}

}  // namespace skingen
