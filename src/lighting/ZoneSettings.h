#pragma once
#include <array>
#include <cstdint>

// The zone controller's vocabulary: three zones (logo, front, rear) in two sets (idle, turbo), each
// with an effect, a colour and a brightness, plus what the zone page keeps about them.

inline constexpr int kZoneCount = 3;
inline constexpr int kZoneSetCount = 2;
inline constexpr int kZoneLogo = 0;
inline constexpr int kZoneFront = 1;
inline constexpr int kZoneRear = 2;
inline constexpr int kZoneSetIdle = 0;
inline constexpr int kZoneSetTurbo = 1;

// A field of ZoneSettings that holds no value yet.
inline constexpr uint8_t kZoneUnset = 255;

enum ZoneMode : uint8_t {
    ZoneStatic = 0,
    ZoneBreath = 1,
    ZoneStrobe = 2,
    ZoneCycle = 3,
    ZoneRainbow = 4,
    ZoneWave = 5,
};

// colourIndex 0..6 names one of kZoneColours; this one is a colour from the colour editor.
inline constexpr uint8_t kZoneCustomColour = 7;
inline constexpr int kZoneNamedColourCount = 7;
inline constexpr uint8_t kZoneTopBrightness = 7;

struct ZoneRgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const ZoneRgb&, const ZoneRgb&) = default;
};

// The named colours in the order of the page's buttons: R, Y, P, G, C, B, W.
inline constexpr std::array<ZoneRgb, kZoneNamedColourCount> kZoneColours{{
    {255, 0, 0},
    {255, 255, 0},
    {255, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {0, 0, 255},
    {255, 255, 255},
}};

struct ZoneSettings {
    uint8_t mode = kZoneUnset;
    uint8_t red = kZoneUnset;
    uint8_t green = kZoneUnset;
    uint8_t blue = kZoneUnset;
    uint8_t colourIndex = kZoneUnset;
    uint8_t brightness = kZoneUnset;
    uint8_t lit = kZoneUnset;

    ZoneRgb Colour() const { return {red, green, blue}; }
    void SetColour(ZoneRgb c) {
        red = c.red;
        green = c.green;
        blue = c.blue;
    }
    friend bool operator==(const ZoneSettings&, const ZoneSettings&) = default;
};

using ZoneSettingsTable = std::array<std::array<ZoneSettings, kZoneCount>, kZoneSetCount>;

// What the zone page knows about the controller and its own selection; the command sequences read
// and change it as the controller's state would.
struct ZoneLightingState {
    uint8_t layout = 0xFF;  // ZoneLayout: 0, 1, 2, or 0xFF while unknown
    bool lightingOn = false;
    bool idleShown = true;
    std::array<uint8_t, kZoneSetCount> selectedZone{};
    // 0 logo, 1 front, 2 rear, 3 logo with the front joined to it (wave on layouts 1 and 2).
    std::array<uint8_t, kZoneSetCount> zoneHighlight{};
    // Zone 0 of the set runs the wave with the joined layout; leaving it restores the layout.
    std::array<bool, kZoneSetCount> waveActive{};
    ZoneSettingsTable settings{};

    bool KnownLayout() const { return layout <= 2; }
    int ShownSet() const { return idleShown ? kZoneSetIdle : kZoneSetTurbo; }
};

// The component value of brightness level 0..7: 31, 63, ... 255. An unset level is the top level.
inline constexpr uint8_t BrightnessComponent(uint8_t level) {
    return level > kZoneTopBrightness ? 255 : uint8_t(level * 32 + 31);
}

// A named colour at a brightness level: each full component becomes the level's value. Any colour
// that is not exactly one of the named colours passes unchanged.
ZoneRgb ScaleZoneColour(ZoneRgb colour, uint8_t level);

// The page's defaults: idle zones blue, turbo zones red, all at the top level, breathing and static
// once the layout is known; highlights 0, lighting on, Idle shown.
void ResetZoneDefaults(ZoneLightingState& state);
