#include <array>
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

Canvas ToolButton(Look look, int kind, std::string_view label) {
    Canvas c = ButtonFace(44, 42, look);
    Paint ink = look == Look::Hover ? VerticalGradient(6, kWhite, 28, kAccentSoft)
                                    : VerticalGradient(6, kText, 28, kTextDim);
    switch (kind) {
        case 0:
            DrawChartGlyph(c, 22, 17, 20, ink);
            break;
        case 1:
            DrawGear(c, 22, 16, 10, ink);
            break;
        case 2:
            DrawChip(c, 22, 16, 20, ink);
            break;
        default:
            DrawHelpGlyph(c, 22, 16, 9.5f, ink);
            break;
    }
    DrawTextCentered(c, 22, 34, label, TextStyle{}, Solid(TextColour(look)));
    return c;
}

Canvas ScrollButton(bool up) {
    Canvas c = ButtonFace(12, 30, Look::Normal, 2);
    DrawChevron(c, 6, 15, 5, up, Solid(kAccentSoft));
    return c;
}

}  // namespace

void DrawMainIcons(Skin& skin) {
    skin.AddIcon("Advance.ICO", TextButton(110, 34, "OVERCLOCK", Look::Normal, 1.5f, true));
    skin.AddIcon("AdvanceH.ICO", TextButton(110, 34, "OVERCLOCK", Look::Hover, 1.5f, true));
    for (const char* line : {"Vemra_C", "Vemra_E"}) {
        AddLooks(skin, line, ".ICO", "_H", true,
                 [](Look look) { return TextButton(110, 34, "LIGHTING", look, 1.5f, true); });
    }
    skin.AddIcon("VemraD.ICO", TextButton(110, 34, "LIGHTING", Look::Disabled, 1.5f, true));
    skin.AddIcon("Min.ICO", TitleButton(16, 14, false, false));
    skin.AddIcon("MinH.ICO", TitleButton(16, 14, false, true));
    skin.AddIcon("Close.ico", TitleButton(16, 14, true, false));
    skin.AddIcon("CloseH.ico", TitleButton(16, 14, true, true));
    skin.AddIcon("HScroll_Down.ICO", ScrollButton(false));
    skin.AddIcon("HScroll_Up.ICO", ScrollButton(true));
    for (int i = 0; i < 3; ++i) {
        std::string digit = std::to_string(i + 1);
        AddLooks(skin, "Profile" + std::to_string(i), ".ICO", "_H", false,
                 [&](Look look) { return TextButton(20, 20, digit, look, 1.5f); });
    }
    AddLooks(skin, "Profile_Save", ".ICO", "_H", false,
             [](Look look) { return TextButton(64, 20, "SAVE", look); });
    AddLooks(skin, "Profile_Load", ".ICO", "_H", false,
             [](Look look) { return TextButton(64, 20, "LOAD", look); });
    for (int i = 0; i < 4; ++i) {
        std::string label = "GPU " + std::to_string(i + 1);
        AddLooks(skin, "Sli_Gpu" + std::to_string(i), ".ICO", "_H", false,
                 [&](Look look) { return TextButton(56, 32, label, look); });
    }
    const std::array<std::array<const char*, 2>, 4> fan = {
        {{"Fan_Apply", "APPLY"}, {"Fan_Auto", "AUTO"}, {"Fan_Manual", "MANUAL"}, {"Fan_Advance", "CURVE"}}};
    for (const auto& [stem, label] : fan) {
        std::string text = label;
        AddLooks(skin, stem, ".ICO", "_H", false, [&](Look look) { return TextButton(56, 32, text, look); });
    }
    const std::array<std::array<const char*, 2>, 4> tools = {{{"Coralvane_Monitor", "MONITOR"},
                                                              {"Coralvane_Setting", "SETUP"},
                                                              {"Coralvane_Bios", "BIOS"},
                                                              {"Coralvane_Help", "HELP"}}};
    for (int i = 0; i < 4; ++i) {
        std::string label = tools[static_cast<size_t>(i)][1];
        AddLooks(skin, tools[static_cast<size_t>(i)][0], ".ICO", "_H", false,
                 [&](Look look) { return ToolButton(look, i, label); });
    }
}

std::vector<Canvas> DrawAppIcon() {
    std::vector<Canvas> sizes;
    for (int s : {16, 32, 48}) {
        float f = static_cast<float>(s);
        Canvas c(s, s, Rgb{}, 0.0f);
        Box box{0, 0, s, s};
        c.Fill(RoundRect(0, 0, f, f, f * 0.2f), box,
               VerticalGradient(0, MakeRgb(50, 56, 66), f, MakeRgb(16, 18, 22)));
        c.Fill(Outline(RoundRect(0, 0, f, f, f * 0.2f), std::max(1.0f, f / 24)), box, Solid(kAccentDeep));
        DrawFanGlyph(c, f / 2, f / 2, f * 0.36f, VerticalGradient(0, kAccentSoft, f, kAccent));
        sizes.push_back(std::move(c));
    }
    return sizes;
}

}  // namespace skingen
