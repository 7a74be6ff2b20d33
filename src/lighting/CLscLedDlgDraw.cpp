#include <string>

#include "lighting/CLscLedDlg.h"

namespace {

enum class Look { Plain, Selected, Unavailable };

struct Place {
    int id;
    Rect rect;
};

constexpr Place kFixedPlaces[] = {
    {CLscLedDlg::kLogo, {12, 86, 66, 24}},       {CLscLedDlg::kLogo + 1, {12, 134, 66, 36}},
    {CLscLedDlg::kLogo + 2, {12, 188, 66, 36}},  {CLscLedDlg::kIdle, {86, 42, 58, 28}},
    {CLscLedDlg::kTurbo, {143, 42, 58, 28}},     {CLscLedDlg::kCustom, {224, 102, 68, 16}},
    {CLscLedDlg::kMode0, {98, 178, 46, 12}},     {CLscLedDlg::kMode0 + 1, {98, 195, 68, 12}},
    {CLscLedDlg::kMode0 + 2, {98, 212, 52, 12}}, {CLscLedDlg::kMode0 + 3, {200, 178, 44, 12}},
    {CLscLedDlg::kOnOff, {232, 254, 52, 14}},    {CLscLedDlg::kDefault, {156, 292, 64, 20}},
    {CLscLedDlg::kApply, {226, 292, 64, 20}},
};

const char* const kZoneIcons[] = {"Lsc_Logo", "Lsc_Front", "Lsc_Rear"};
const char* const kColourIcons[] = {"Led_Red",  "Led_Yellow", "Led_Purple", "Led_Green",
                                    "Led_Cyan", "Led_Blue",   "Led_White"};
const char* const kBrightnessIcons[] = {"Led_Bright0", "Led_Bright1", "Led_Bright2", "Led_Bright3",
                                        "Led_Bright4", "Led_Bright5", "Led_Bright6", "Led_Bright7"};
const char* const kModeIcons[] = {"Lsc_Static", "Lsc_Breath",  "Lsc_Strobe",
                                  "Lsc_Cycle",  "Lsc_Rainbow", "Lsc_Wave"};

std::string IconFor(const std::string& base, Look look) {
    switch (look) {
        case Look::Selected:
            return base + "_H.ico";
        case Look::Unavailable:
            return base + "_D.ico";
        case Look::Plain:
            break;
    }
    return base + ".ico";
}

Look Pick(bool selected) {
    return selected ? Look::Selected : Look::Plain;
}

}  // namespace

void CLscLedDlg::PlaceControls() {
    for (const Place& place : kFixedPlaces) MoveItem(place.id, place.rect);
    for (int i = 0; i < kZoneNamedColourCount; ++i) MoveItem(kColour0 + i, Rect{98 + 18 * i, 102, 16, 16});
    for (int i = 0; i < 4; ++i) {
        MoveItem(kBrightness0 + i, Rect{98 + 14 * i, 138, 12, 22});
        MoveItem(kBrightness0 + 4 + i, Rect{156 + 16 * i, 138, 12, 22});
    }
    const bool plainLayout = state.layout == 0;
    MoveItem(kRainbow, Rect{200, 195, 58, 12});
    ShowItem(kRainbow, plainLayout);
    MoveItem(kWave, plainLayout ? Rect{200, 212, 42, 12} : Rect{200, 195, 42, 12});
}

// After a status take-over and after Def the page shows the Idle set with the logo being edited, so
// App sends what the page shows.
void CLscLedDlg::Refresh() {
    state.idleShown = true;
    for (int set = 0; set < kZoneSetCount; ++set) {
        state.selectedZone[size_t(set)] = kZoneLogo;
        uint8_t& highlight = state.zoneHighlight[size_t(set)];
        if (highlight == 1 || highlight == 2) highlight = 0;
    }
    DrawAll();
}

void CLscLedDlg::DrawAll() {
    if (state.lightingOn) {
        DrawZonesForShownSet();
        DrawSets();
        DrawRows();
    } else {
        DrawOff();
    }
    DrawSwitchAndActions();
}

bool CLscLedDlg::ZoneZeroInJoinedWave(int set) const {
    return (state.layout == 1 || state.layout == 2) && state.settings[size_t(set)][0].mode == ZoneWave;
}

int CLscLedDlg::ZoneCode(int set) const {
    const uint8_t selected = state.selectedZone[size_t(set)];
    if (ZoneZeroInJoinedWave(set) && selected != kZoneFront) return selected == kZoneRear ? 4 : 3;
    return state.zoneHighlight[size_t(set)];
}

bool CLscLedDlg::WaveReacts() const {
    if (!state.lightingOn || EditedZone() != kZoneLogo) return false;
    const uint8_t highlight = state.zoneHighlight[size_t(ShownSet())];
    if (state.layout == 0) return highlight == 0;
    if (state.layout == 1) return highlight == 0 || highlight == 3;
    return false;
}

bool CLscLedDlg::ColourRowReacts() const {
    const uint8_t mode = state.settings[size_t(ShownSet())][size_t(EditedZone())].mode;
    return state.lightingOn && mode != ZoneCycle && mode != ZoneRainbow && mode != ZoneWave;
}

void CLscLedDlg::DrawZonesForShownSet() {
    DrawZones(ZoneCode(ShownSet()));
}

void CLscLedDlg::DrawZones(int code) {
    Look looks[kZoneCount] = {Look::Plain, Look::Plain, Look::Plain};
    bool usable[kZoneCount] = {true, true, true};
    if (state.layout == 2) {
        // One zone only: the logo.
        looks[0] = Look::Selected;
        looks[1] = looks[2] = Look::Unavailable;
        usable[1] = usable[2] = false;
    } else if (code == 3) {
        looks[0] = Look::Selected;
        looks[1] = Look::Unavailable;
    } else if (code == 4) {
        looks[1] = Look::Unavailable;
        looks[2] = Look::Selected;
        usable[1] = false;
    } else if (code >= 0 && code < kZoneCount) {
        looks[code] = Look::Selected;
    }
    for (int z = 0; z < kZoneCount; ++z) {
        const std::string icon = IconFor(kZoneIcons[z], looks[z]);
        SetItemIcons(kLogo + z, icon, icon);
        zoneUsable[z] = usable[z];
    }
}

void CLscLedDlg::DrawSets() {
    const bool on = state.lightingOn;
    const std::string idle = IconFor("Lsc_Idle", on ? Pick(state.idleShown) : Look::Unavailable);
    const std::string turbo = IconFor("Lsc_Turbo_C", on ? Pick(!state.idleShown) : Look::Unavailable);
    SetItemIcons(kIdle, idle, idle);
    SetItemIcons(kTurbo, turbo, turbo);
}

void CLscLedDlg::DrawRows() {
    const ZoneSettings& zone = state.settings[size_t(ShownSet())][size_t(EditedZone())];
    const bool on = state.lightingOn;
    const bool colourRow = ColourRowReacts();
    for (int i = 0; i < kZoneNamedColourCount; ++i) {
        const std::string icon =
            colourRow ? IconFor(kColourIcons[i], Pick(zone.colourIndex == i)) : std::string("Led_Clr_D.ico");
        SetItemIcons(kColour0 + i, icon, icon);
    }
    const std::string custom =
        IconFor("Lsc_Custom", colourRow ? Pick(zone.colourIndex == kZoneCustomColour) : Look::Unavailable);
    SetItemIcons(kCustom, custom, custom);

    // The level shows only for the effects that use it; the buttons still set it otherwise.
    const bool levelShown = on && zone.mode != ZoneBreath && zone.mode != ZoneCycle &&
                            zone.mode != ZoneRainbow && zone.mode != ZoneWave;
    for (int i = 0; i < 8; ++i) {
        const std::string icon =
            IconFor(kBrightnessIcons[i], levelShown ? Pick(zone.brightness == i) : Look::Unavailable);
        SetItemIcons(kBrightness0 + i, icon, icon);
    }
    const bool waveReacts = WaveReacts();
    for (int m = 0; m <= ZoneWave; ++m) {
        Look look = on ? Pick(zone.mode == m) : Look::Unavailable;
        if (on && m == ZoneWave && zone.mode != ZoneWave && !waveReacts) look = Look::Unavailable;
        const std::string icon = IconFor(kModeIcons[m], look);
        SetItemIcons(kMode0 + m, icon, icon);
    }
}

void CLscLedDlg::DrawOff() {
    for (int z = 0; z < kZoneCount; ++z) {
        const std::string icon = IconFor(kZoneIcons[z], Look::Unavailable);
        SetItemIcons(kLogo + z, icon, icon);
        zoneUsable[z] = false;
    }
    DrawSets();
    DrawRows();
}

void CLscLedDlg::DrawSwitchAndActions() {
    const std::string onOff = state.lightingOn ? "Lsc_On.ico" : "Lsc_Off.ico";
    SetItemIcons(kOnOff, onOff, onOff);
    if (state.lightingOn) {
        SetItemIcons(kDefault, "Adv_Default.ico", "Adv_Default_H.ico");
        SetItemIcons(kApply, "Adv_Apply.ico", "Adv_Apply_H.ico");
    } else {
        SetItemIcons(kDefault, "Adv_Default_D.ico", "Adv_Default_D.ico");
        SetItemIcons(kApply, "Adv_Apply_D.ico", "Adv_Apply_D.ico");
    }
}
