#include "lighting/ZoneCommands.h"

namespace {

constexpr size_t kTurboBlock = 192;
constexpr size_t kLightingOnFlag = 70;

uint16_t LayoutValue(std::span<const uint8_t> status, size_t offset) {
    return uint16_t(status[offset] << 8 | status[offset + 1]);
}

ZoneRgb RgbAt(std::span<const uint8_t> status, size_t offset) {
    return {status[offset], status[offset + 1], status[offset + 2]};
}

// Where a zone's colour lies in its set's block: zones 0 and 1 share the first triple except where
// the layout gives them their own.
size_t ColourOffset(int zone, uint8_t layout) {
    if (zone == 0) return layout == 1 ? 15 : 0;
    if (zone == 1) return layout == 0 ? 40 : 0;
    return 50;
}

constexpr size_t kEffectOffset[kZoneCount] = {60, 71, 82};

enum class Arrangement { Blank, Plain, Wave, Unknown };

Arrangement ArrangementOf(uint16_t a, uint16_t b, uint16_t c) {
    struct Values {
        uint16_t a, b, c;
    };
    constexpr Values kPlain[] = {{0x00FF, 0x0300, 0x0400}, {0x0078, 0x0387, 0x0400}, {0x0001, 0, 0}};
    if (a == 0 && b == 0 && c == 0) return Arrangement::Blank;
    for (const Values& v : kPlain) {
        if (a == v.a && b == v.b && c == v.c) return Arrangement::Plain;
    }
    if (a == 0x03FF && b == 0 && c == 0x0400) return Arrangement::Wave;
    return Arrangement::Unknown;
}

void ReadSet(ZoneLightingState& state, std::span<const uint8_t> status, int set) {
    const size_t block = set == kZoneSetIdle ? 0 : kTurboBlock;
    auto& zones = state.settings[size_t(set)];
    for (int zone = 0; zone < kZoneCount; ++zone) {
        const size_t at = block + kEffectOffset[zone];
        zones[size_t(zone)].mode = ZoneModeFromEffect(status[at], status[at + 1], state.layout);
    }
    if (zones[0].mode == ZoneWave && (state.layout == 1 || state.layout == 2)) {
        state.zoneHighlight[size_t(set)] = 3;
        state.waveActive[size_t(set)] = true;
    }
    if (set == kZoneSetIdle) state.lightingOn = status[kLightingOnFlag] != 0;
    for (int zone = 0; zone < kZoneCount; ++zone) {
        ZoneSettings& s = zones[size_t(zone)];
        s.SetColour(RgbAt(status, block + ColourOffset(zone, state.layout)));
        if (RecogniseZoneColour(s.Colour(), s.colourIndex, s.brightness)) {
            s.SetColour(kZoneColours[s.colourIndex]);
        } else {
            s.colourIndex = kZoneCustomColour;
            s.brightness = kZoneTopBrightness;
        }
    }
}

}  // namespace

void ResetZoneDefaults(ZoneLightingState& state) {
    const bool known = state.KnownLayout();
    for (int set = 0; set < kZoneSetCount; ++set) {
        const uint8_t colour = set == kZoneSetIdle ? 5 : 0;
        for (ZoneSettings& zone : state.settings[size_t(set)]) {
            zone.colourIndex = colour;
            zone.SetColour(kZoneColours[colour]);
            zone.brightness = kZoneTopBrightness;
            if (known) zone.mode = set == kZoneSetIdle ? ZoneBreath : ZoneStatic;
        }
    }
    state.zoneHighlight = {0, 0};
    state.waveActive = {false, false};
    state.lightingOn = true;
    state.idleShown = true;
}

uint8_t ZoneModeFromEffect(uint8_t effect, uint8_t parameter, uint8_t layout) {
    switch (effect) {
        case 0:
            return ZoneStatic;
        case 1:
            return parameter == 3 ? ZoneCycle : ZoneBreath;
        case 2:
            if (layout == 0) return ZoneRainbow;
            return layout == 1 || layout == 2 ? ZoneCycle : ZoneStatic;
        case 3:
            return ZoneCycle;
        case 4:
            return ZoneStrobe;
        case 6:
            return ZoneWave;
        default:
            return ZoneStatic;
    }
}

bool RecogniseZoneColour(ZoneRgb colour, uint8_t& colourIndex, uint8_t& brightness) {
    for (int level = 1; level <= 8; ++level) {
        const uint8_t v = uint8_t(level * 32 - 1);
        for (int i = 0; i < kZoneNamedColourCount; ++i) {
            const ZoneRgb& named = kZoneColours[size_t(i)];
            auto at = [v](uint8_t component) { return component == 255 ? v : component; };
            if (colour == ZoneRgb{at(named.red), at(named.green), at(named.blue)}) {
                colourIndex = uint8_t(i);
                brightness = uint8_t(level - 1);
                return true;
            }
        }
    }
    return false;
}

ZoneSequence ReadZoneStatus(ZoneLightingState& state, std::span<const uint8_t> status, bool complete) {
    if (status.size() < kZoneStatusSize) return {};
    const Arrangement arrangement =
        ArrangementOf(LayoutValue(status, 68), LayoutValue(status, 79), LayoutValue(status, 90));
    switch (arrangement) {
        case Arrangement::Blank: {
            // A reply that broke off reads as zeros too; only a whole one may reprogram the card.
            ZoneSequence init = complete ? InitialiseZoneController(state.layout) : ZoneSequence{};
            ResetZoneDefaults(state);
            return init;
        }
        case Arrangement::Unknown:
            return {};
        case Arrangement::Plain:
        case Arrangement::Wave:
            break;
    }
    state.zoneHighlight[kZoneSetIdle] = arrangement == Arrangement::Wave ? 3 : 0;
    state.zoneHighlight[kZoneSetTurbo] = 0;
    // The marks describe this status alone; one left from another card would restore a layout that
    // card never had.
    state.waveActive = {false, false};
    ReadSet(state, status, kZoneSetIdle);
    ReadSet(state, status, kZoneSetTurbo);
    return {};
}
