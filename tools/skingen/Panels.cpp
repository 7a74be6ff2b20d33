#include <array>
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

constexpr int kPanelWidth = 318;
constexpr int kPanelHeight = 327;

void VerticalRule(Canvas& c, float x, float y, float h) {
    c.FillRect(x, y, 1, h, VerticalGradient(y, kPanel, y + h, kEdgeDark));
    c.FillRect(x + 1, y, 1, h, VerticalGradient(y, kPanel, y + h, kEdgeLight), 0.3f);
}

void DrawOverclockPanel(Skin& skin) {
    Canvas c = PanelBackground(kPanelWidth, kPanelHeight, "");
    struct Row {
        int sliderY;
        const char* name;
        const char* unit;
    };
    const std::string celsius = std::string(1, kDegree) + "C";
    const std::array<Row, 6> rows = {{{15, "CORE CLOCK OFFSET", "MHZ"},
                                      {62, "CORE VOLTAGE", nullptr},
                                      {107, "MEMORY CLOCK OFFSET", "MHZ"},
                                      {152, "POWER TARGET", "%"},
                                      {197, "TEMPERATURE TARGET", celsius.c_str()},
                                      {241, "PIXEL CLOCK", nullptr}}};
    for (size_t i = 0; i < rows.size(); ++i) {
        float y = static_cast<float>(rows[i].sliderY);
        SectionLabel(c, 12, y + 20, rows[i].name);
        if (rows[i].unit) {
            float editY = i == 0 ? 13.0f : y + 9;
            Caption(c, 268, editY + 4, rows[i].unit, kTextDim);
        }
        if (i + 1 < rows.size())
            c.FillRect(10, y + 37, 276, 1, HorizontalGradient(10, kEdgeDark, 286, kPanel), 0.9f);
    }
    Caption(c, 200, 38, "BOOST", kTextDim);
    // The power and temperature rows share the link lock, so a bracket ties them to it.
    Sdf bracket =
        Unite(Capsule({288, 161}, {300, 161}, 0.5f),
              Unite(Capsule({300, 161}, {300, 178}, 0.5f),
                    Unite(Capsule({300, 204}, {300, 213}, 0.5f), Capsule({288, 213}, {300, 213}, 0.5f))));
    c.Fill(bracket, Box{280, 155, 310, 220}, Solid(kEdgeLight), 0.8f);
    c.FillRect(10, 284, 298, 1, Solid(kEdgeDark));
    c.FillRect(10, 285, 298, 1, Solid(kEdgeLight), 0.25f);
    skin.AddBitmap(131, "overclock panel background (dialog 103)", std::move(c));
}

void DrawLedPanel(Skin& skin) {
    Canvas c = PanelBackground(kPanelWidth, kPanelHeight, "CARD LIGHTING");
    SectionLabel(c, 34, 64, "EFFECT");
    VerticalRule(c, 130, 64, 150);
    SectionLabel(c, 150, 64, "ZONES");
    Caption(c, 166, 82, "LOGO", kText);
    Caption(c, 166, 122, "ARMOR", kText);
    Caption(c, 166, 163, "BRIGHTNESS", kText);
    c.FillRect(148, 116, 150, 1, Solid(kEdgeLight), 0.15f);
    c.FillRect(148, 157, 150, 1, Solid(kEdgeLight), 0.15f);
    c.FillRect(10, 240, 298, 1, Solid(kEdgeDark));
    c.FillRect(10, 241, 298, 1, Solid(kEdgeLight), 0.25f);
    skin.AddBitmap(158, "lighting panel for the register controller (dialog 155)", std::move(c));
}

void DrawZonePanel(Skin& skin) {
    Canvas c = PanelBackground(kPanelWidth, kPanelHeight, "ZONE LIGHTING");
    SectionLabel(c, 12, 74, "ZONE");
    VerticalRule(c, 88, 74, 156);
    Caption(c, 98, 91, "COLOR", kTextDim);
    Caption(c, 98, 127, "BRIGHTNESS", kTextDim);
    Caption(c, 98, 166, "EFFECT", kTextDim);
    c.FillRect(96, 122, 200, 1, Solid(kEdgeLight), 0.15f);
    c.FillRect(96, 161, 200, 1, Solid(kEdgeLight), 0.15f);
    c.FillRect(10, 240, 298, 1, Solid(kEdgeDark));
    c.FillRect(10, 241, 298, 1, Solid(kEdgeLight), 0.25f);
    Caption(c, 186, 258, "LIGHTS", kTextDim);
    skin.AddBitmap(296, "lighting panel for the zone controller (dialog 295)", std::move(c));
}

void DrawAccessoryPanel(Skin& skin) {
    Canvas c = PanelBackground(kPanelWidth, kPanelHeight, "ACCESSORY LIGHTING");
    Caption(c, 12, 30, "FRONT AND REAR ZONES, EACH WITH", kTextDim);
    Caption(c, 12, 42, "AN IDLE AND A TURBO SETTING.", kTextDim);
    c.FillRect(4, 128, 310, 1, Solid(kAccentDeep));
    SectionLabel(c, 12, 142, "FRONT");
    SectionLabel(c, 12, 218, "REAR");
    c.FillRect(10, 208, 298, 1, Solid(kEdgeLight), 0.15f);
    c.FillRect(10, 286, 298, 1, Solid(kEdgeDark));
    c.FillRect(10, 287, 298, 1, Solid(kEdgeLight), 0.25f);
    skin.AddBitmap(225, "accessory lighting panel (dialog 224)", std::move(c));
}

void DrawFanVoltPanel(Skin& skin) {
    Canvas c = PanelBackground(kPanelWidth, kPanelHeight, "FAN / VOLTAGE");
    SectionLabel(c, 24, 61, "LIGHTING POWER");
    c.FillRect(10, 100, 298, 1, Solid(kEdgeLight), 0.15f);
    SectionLabel(c, 12, 122, "FAN SPEED");
    SectionLabel(c, 12, 168, "VOLTAGE");
    skin.AddBitmap(301, "fan/voltage panel background (dialog 300)", std::move(c));
}

}  // namespace

void DrawPanelBackgrounds(Skin& skin) {
    DrawOverclockPanel(skin);
    DrawLedPanel(skin);
    DrawZonePanel(skin);
    DrawAccessoryPanel(skin);
    DrawFanVoltPanel(skin);
}

}  // namespace skingen
