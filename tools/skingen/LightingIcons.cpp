#include <array>
#include <cmath>
#include <string>

#include "Buttons.h"
#include "Font.h"
#include "Glyphs.h"
#include "IconSets.h"
#include "Shapes.h"
#include "Skin.h"
#include "Style.h"

namespace skingen {

using namespace palette;

namespace {

struct Named {
    const char* name;
    Rgb colour;
};

// The colours of the register and zone controllers' named colour buttons.
const std::array<Named, 7> kNamedColours = {{{"Red", MakeRgb(255, 0, 0)},
                                             {"Yellow", MakeRgb(255, 255, 0)},
                                             {"Green", MakeRgb(0, 255, 0)},
                                             {"Cyan", MakeRgb(0, 255, 255)},
                                             {"Blue", MakeRgb(0, 0, 255)},
                                             {"Purple", MakeRgb(255, 0, 255)},
                                             {"White", MakeRgb(255, 255, 255)}}};

Paint InkFor(Look look) {
    return Solid(look == Look::Hover ? kWhite : look == Look::Normal ? kAccentSoft : kTextOff);
}

// The accessory's effect buttons are captioned with arrows; the icons draw those arrows.
Canvas FrontMode(int mode, Look look) {
    Canvas c = ButtonFace(44, 18, look);
    Paint ink = InkFor(look);
    switch (mode) {
        case 0:
            DrawArrow(c, 12, 32, 9, 3.5f, ink);
            break;
        case 1:
            DrawArrow(c, 7, 20, 9, 3.5f, ink);
            DrawArrow(c, 24, 37, 9, 3.5f, ink);
            break;
        case 2:
            DrawArrow(c, 6, 20, 9, 3.5f, ink);
            DrawArrow(c, 38, 24, 9, 3.5f, ink);
            break;
        default:
            for (int i = 0; i < 4; ++i) c.FillRect(8 + 7.5f * i, 8.2f, 5, 1.6f, ink);
            break;
    }
    return c;
}

Canvas RearMode(int mode, Look look) {
    Canvas c = ButtonFace(44, 18, look);
    Paint ink = InkFor(look);
    if (mode == 0) {
        Point previous{9, 9};
        for (int i = 1; i <= 26; ++i) {
            float x = 9 + static_cast<float>(i);
            Point next{x, 9 - 3.2f * std::sin(static_cast<float>(i) / 26 * 2 * 3.14159265f)};
            c.Fill(Capsule(previous, next, 0.8f), Box{0, 0, 44, 18}, ink);
            previous = next;
        }
    } else {
        c.FillRect(9, 8.2f, 26, 1.6f, ink);
    }
    return c;
}

Canvas CustomButton(Look look) {
    Canvas c = TextButton(68, 16, "", look);
    Box box{0, 0, 68, 16};
    Paint rainbow = [](float x, float y) {
        float hue = std::fmod(std::atan2(y - 8, x - 10) * 57.29578f + 360, 360.0f);
        auto channel = [hue](float n) {
            float k = std::fmod(n + hue / 60, 6.0f);
            return 1.0f - std::clamp(std::min(k, 4 - k), 0.0f, 1.0f);
        };
        return Rgb{channel(5), channel(3), channel(1)};
    };
    if (look == Look::Disabled)
        c.Fill(Circle(10, 8, 4), box, Solid(MakeRgb(52, 56, 63)));
    else
        c.Fill(Circle(10, 8, 4), box, rainbow);
    TextStyle style{1.0f, true, 1};
    DrawText(c, 20, 4, "CUSTOM", style, Solid(TextColour(look)));
    return c;
}

void AddEffects(Skin& skin, const std::string& prefix, const std::array<int, 6>& widths, int count) {
    const std::array<std::array<const char*, 2>, 6> effects = {{{"Static", "STATIC"},
                                                                {"Breath", "BREATHING"},
                                                                {"Strobe", "STROBE"},
                                                                {"Cycle", "CYCLE"},
                                                                {"Rainbow", "RAINBOW"},
                                                                {"Wave", "WAVE"}}};
    for (int i = 0; i < count; ++i) {
        size_t k = static_cast<size_t>(i);
        std::string label = effects[k][1];
        AddLooks(skin, prefix + effects[k][0], ".ico", "_H", true,
                 [&](Look look) { return RadioButton(widths[k], 12, label, look); });
    }
}

}  // namespace

void DrawLightingIcons(Skin& skin) {
    AddEffects(skin, "Led_", {46, 68, 52, 44, 0, 0}, 4);
    AddEffects(skin, "Lsc_", {46, 68, 52, 44, 58, 42}, 6);
    for (const Named& named : kNamedColours) {
        AddLooks(skin, std::string("Led_") + named.name, ".ico", "_H", false,
                 [&](Look look) { return ColourChip(16, named.colour, look); });
    }
    skin.AddIcon("Led_Clr_D.ico", ColourChip(16, Rgb{}, Look::Disabled));
    for (int level = 0; level < 8; ++level) {
        AddLooks(skin, "Led_Bright" + std::to_string(level), ".ico", "_H", true,
                 [&](Look look) { return LevelBar(12, 22, level, 8, look); });
    }
    skin.AddIcon("Led_ON.ico", ToggleSwitch(52, 14, true, Look::Normal));
    skin.AddIcon("Led_OFF.ico", ToggleSwitch(52, 14, false, Look::Normal));
    skin.AddIcon("Led_OnOffD.ico", ToggleSwitch(52, 14, false, Look::Disabled));
    skin.AddIcon("Lsc_On.ico", ToggleSwitch(52, 14, true, Look::Normal));
    skin.AddIcon("Lsc_Off.ico", ToggleSwitch(52, 14, false, Look::Normal));
    AddLooks(skin, "Lsc_Logo", ".ico", "_H", true,
             [](Look look) { return TextButton(66, 24, "LOGO", look); });
    AddLooks(skin, "Lsc_Front", ".ico", "_H", true,
             [](Look look) { return TextButton(66, 36, "FRONT", look); });
    AddLooks(skin, "Lsc_Rear", ".ico", "_H", true,
             [](Look look) { return TextButton(66, 36, "REAR", look); });
    AddLooks(skin, "Lsc_Idle", ".ico", "_H", true,
             [](Look look) { return TextButton(58, 28, "IDLE", look, 1.0f, true); });
    AddLooks(skin, "Lsc_Turbo_C", ".ico", "_H", true,
             [](Look look) { return TextButton(58, 28, "TURBO", look, 1.0f, true); });
    AddLooks(skin, "Lsc_Custom", ".ico", "_H", true, CustomButton);
    AddLooks(skin, "Vemra_Idle", ".ico", "_H", false,
             [](Look look) { return TextButton(58, 28, "IDLE", look, 1.0f, true); });
    AddLooks(skin, "Vemra_Turbo", ".ico", "_H", false,
             [](Look look) { return TextButton(58, 28, "TURBO", look, 1.0f, true); });
    for (int mode = 0; mode < 4; ++mode) {
        AddLooks(skin, "Front_Mode" + std::to_string(mode), ".ico", "_H", true,
                 [&](Look look) { return FrontMode(mode, look); });
    }
    for (int mode = 0; mode < 2; ++mode) {
        AddLooks(skin, "Rear_Mode" + std::to_string(mode), ".ico", "_H", true,
                 [&](Look look) { return RearMode(mode, look); });
    }
    // The accessory page's Colour/Cycle pair reuses the register panel's Cycle icon, so both are radio
    // choices.
    AddLooks(skin, "Led_Color", ".ico", "_H", true,
             [](Look look) { return RadioButton(44, 12, "COLOR", look); });
}

}  // namespace skingen
