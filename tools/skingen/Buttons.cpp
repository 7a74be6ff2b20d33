#include "Buttons.h"

#include <algorithm>
#include <cmath>

#include "Font.h"
#include "Glyphs.h"
#include "Shapes.h"
#include "Style.h"

namespace skingen {

using namespace palette;

Rgb TextColour(Look look) {
    switch (look) {
        case Look::Hover:
            return kWhite;
        case Look::Disabled:
            return kTextOff;
        case Look::Normal:
            break;
    }
    return kText;
}

Canvas ButtonFace(int w, int h, Look look, float radius) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Box box{0, 0, w, h};
    Sdf outer = RoundRect(0, 0, fw, fh, radius);
    Sdf inner = RoundRect(1, 1, fw - 2, fh - 2, std::max(radius - 1, 0.0f));
    switch (look) {
        case Look::Normal:
            c.Fill(outer, box, VerticalGradient(0, MakeRgb(88, 97, 112), fh, MakeRgb(12, 14, 17)));
            c.Fill(inner, box, VerticalGradient(0, MakeRgb(54, 60, 70), fh, MakeRgb(30, 34, 40)));
            c.FillRect(2, 1, fw - 4, 1, Solid(kWhite), 0.08f);
            break;
        case Look::Hover:
            c.Fill(Outline(RoundRect(-1, -1, fw + 2, fh + 2, radius + 1), 1.0f), box, Solid(kAccent), 0.3f);
            c.Fill(outer, box, VerticalGradient(0, kAccentSoft, fh, kAccent));
            c.Fill(inner, box, VerticalGradient(0, MakeRgb(28, 98, 126), fh, MakeRgb(12, 48, 66)));
            c.FillRect(2, 1, fw - 4, 1, Solid(kWhite), 0.18f);
            break;
        case Look::Disabled:
            c.Fill(outer, box, Solid(MakeRgb(44, 48, 55)));
            c.Fill(inner, box, Solid(MakeRgb(28, 31, 36)));
            break;
    }
    return c;
}

Canvas TextButton(int w, int h, std::string_view text, Look look, float scale, bool tab) {
    Canvas c = ButtonFace(w, h, look);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    if (tab && look == Look::Hover) c.FillRect(3, fh - 3, fw - 6, 2, Solid(kAccentSoft));
    TextStyle style{scale, true, 1};
    if (look != Look::Disabled) DrawTextCentered(c, fw / 2, fh / 2 + 1, text, style, Solid(kEdgeDark), 0.8f);
    DrawTextCentered(c, fw / 2, fh / 2, text, style, Solid(TextColour(look)));
    return c;
}

Canvas RadioButton(int w, int h, std::string_view text, Look look) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float cy = static_cast<float>(h) / 2;
    Box box{0, 0, w, h};
    if (look == Look::Hover) {
        c.Fill(Circle(5, cy, 5.5f), box, Solid(kAccent), 0.3f);
        c.Fill(Circle(5, cy, 4.2f), box, RadialGradient(4, cy - 1, 5, kAccentSoft, kAccent));
    } else {
        c.Fill(Circle(5, cy, 4.2f), box, Solid(kWell));
        c.Fill(Ring(5, cy, 3.2f, 4.2f), box, Solid(look == Look::Normal ? kTextDim : kTextOff));
    }
    TextStyle style{1.0f, false, 1};
    float ty = std::round(cy - 3.5f);
    if (look != Look::Disabled) DrawText(c, 13, ty + 1, text, style, Solid(kEdgeDark), 0.8f);
    DrawText(c, 13, ty, text, style,
             Solid(look == Look::Hover    ? kWhite
                   : look == Look::Normal ? kText
                                          : kTextOff));
    return c;
}

Canvas ColourChip(int size, Rgb colour, Look look) {
    Canvas c(size, size, Rgb{}, 0.0f);
    float s = static_cast<float>(size);
    Box box{0, 0, size, size};
    if (look == Look::Hover) {
        c.Fill(RoundRect(0, 0, s, s, 3), box, Solid(kWhite));
        c.Fill(RoundRect(1, 1, s - 2, s - 2, 2), box, Solid(kEdgeDark));
        c.Fill(RoundRect(2.5f, 2.5f, s - 5, s - 5, 1.5f), box, Solid(colour));
    } else if (look == Look::Normal) {
        c.Fill(RoundRect(1, 1, s - 2, s - 2, 2.5f), box, Solid(kEdgeDark));
        c.Fill(RoundRect(2, 2, s - 4, s - 4, 1.5f), box,
               VerticalGradient(2, Lighten(colour, 0.2f), s - 2, Darken(colour, 0.25f)));
    } else {
        c.Fill(RoundRect(1, 1, s - 2, s - 2, 2.5f), box, Solid(MakeRgb(44, 48, 55)));
        Paint stripes = [](float x, float y) {
            return std::fmod(x + y, 4.0f) < 2.0f ? MakeRgb(52, 56, 63) : MakeRgb(30, 33, 38);
        };
        c.Fill(RoundRect(2, 2, s - 4, s - 4, 1.5f), box, stripes);
    }
    if (look != Look::Disabled) c.FillRect(3, 3, s - 6, 1, Solid(kWhite), 0.35f);
    return c;
}

Canvas LevelBar(int w, int h, int level, int levels, Look look) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Box box{0, 0, w, h};
    Sdf well = RoundRect(2, 0.5f, fw - 4, fh - 1, 2);
    c.Fill(well, box, Solid(look == Look::Hover ? kAccent : kEdgeDark));
    c.Fill(RoundRect(3, 1.5f, fw - 6, fh - 3, 1.5f), box, Solid(kWell));
    float inner = fh - 5;
    float fill = std::round(inner * static_cast<float>(level + 1) / static_cast<float>(levels));
    Rgb colour = look == Look::Hover    ? kAccentSoft
                 : look == Look::Normal ? Mix(kAccentDeep, kAccent, 0.35f)
                                        : MakeRgb(52, 56, 63);
    c.FillRect(4, fh - 2.5f - fill, fw - 8, fill,
               VerticalGradient(fh - 2.5f - fill, Lighten(colour, 0.2f), fh, colour));
    return c;
}

Canvas ToggleSwitch(int w, int h, bool on, Look look) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Box box{0, 0, w, h};
    bool lit = on && look != Look::Disabled;
    c.Fill(RoundRect(0, 0, fw, fh, fh / 2), box, Solid(lit ? kAccent : MakeRgb(56, 61, 70)));
    c.Fill(RoundRect(1, 1, fw - 2, fh - 2, fh / 2 - 1), box,
           lit ? VerticalGradient(0, MakeRgb(20, 110, 140), fh, MakeRgb(10, 60, 80))
               : Solid(look == Look::Disabled ? MakeRgb(26, 28, 33) : kWell));
    float knob = fh / 2 - 2;
    float kx = on ? fw - fh / 2 : fh / 2;
    if (look != Look::Disabled) {
        c.Fill(Circle(kx, fh / 2, knob), box,
               VerticalGradient(0, MakeRgb(230, 236, 244), fh, MakeRgb(130, 140, 156)));
    }
    TextStyle style{1.0f, true, 1};
    std::string_view label = look == Look::Disabled ? "--" : on ? "ON" : "OFF";
    float textCentre = look == Look::Disabled ? fw / 2 : on ? (fw - fh) / 2 + 1 : fh + (fw - fh) / 2 - 1;
    DrawTextCentered(c, textCentre, fh / 2, label, style,
                     Solid(lit                      ? kWhite
                           : look == Look::Disabled ? kTextOff
                                                    : kTextDim));
    return c;
}

Canvas CheckBox(int size, bool checked) {
    Canvas c(size, size, Rgb{}, 0.0f);
    float s = static_cast<float>(size);
    Box box{0, 0, size, size};
    c.Fill(RoundRect(0, 0, s, s, 2), box, Solid(checked ? kAccent : MakeRgb(86, 95, 110)));
    c.Fill(RoundRect(1, 1, s - 2, s - 2, 1.5f), box,
           checked ? VerticalGradient(0, MakeRgb(24, 110, 140), s, MakeRgb(10, 60, 80)) : Solid(kWell));
    if (checked) DrawTick(c, s / 2, s / 2 - 0.5f, s * 0.55f, Solid(kWhite));
    return c;
}

Canvas TitleButton(int w, int h, bool close, bool hover) {
    Canvas c(w, h, Rgb{}, 0.0f);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Box box{0, 0, w, h};
    if (hover) c.Fill(RoundRect(0, 0, fw, fh, 2), box, Solid(close ? kDanger : kAccentDeep));
    Paint ink = Solid(hover ? kWhite : kTextDim);
    if (close)
        DrawCross(c, fw / 2, fh / 2, 6, ink);
    else
        c.FillRect(fw / 2 - 3.5f, fh / 2 + 1, 7, 1.6f, ink);
    return c;
}

}  // namespace skingen
