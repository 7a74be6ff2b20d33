#include "lighting/ZoneCommands.h"

namespace {

ZoneCommand Cmd(uint8_t code, std::vector<uint8_t> payload) {
    return {code, std::move(payload), 0};
}

void Append(ZoneSequence& to, const ZoneSequence& more) {
    to.insert(to.end(), more.begin(), more.end());
}

ZoneCommand SelectSet(int set) {
    return Cmd(kZoneCmdSelectSet, {1, uint8_t(set)});
}

// Ends writing a set. The two wave sequences of the turbo set end with 0, 1.
ZoneCommand EndSet(uint8_t last = 0) {
    return Cmd(kZoneCmdSelectSet, {0, last});
}

ZoneCommand Colour(uint8_t zone, ZoneRgb c) {
    return Cmd(kZoneCmdColour, {zone, c.red, c.green, c.blue, 0x01});
}

ZoneCommand Effect(uint8_t zone, uint8_t effect, uint8_t p1, uint8_t p2) {
    return Cmd(kZoneCmdEffect, {zone, effect, 0x07, 0x0D, p1, p2});
}

ZoneCommand ClearParams(uint8_t zone) {
    return Cmd(kZoneCmdEffectParams, {zone, 0xFF, 0xFF});
}

constexpr ZoneRgb kWhite{255, 255, 255};

bool JoinsZones(uint8_t layout) {
    return layout == 1 || layout == 2;
}

// An unset zone switch counts as on: the controller takes only 0 and 1.
uint8_t LitByte(uint8_t lit) {
    return lit == 0 ? 0 : 1;
}

void AppendEffect(ZoneSequence& out, uint8_t zone, ZoneRgb colour, uint8_t effect, uint8_t p1, uint8_t p2) {
    out.push_back(Colour(zone, colour));
    out.push_back(ClearParams(zone));
    out.push_back(Effect(zone, effect, p1, p2));
}

ZoneRgb ColourToSend(const ZoneSettings& zone) {
    return zone.colourIndex == kZoneCustomColour ? zone.Colour()
                                                 : ScaleZoneColour(zone.Colour(), zone.brightness);
}

}  // namespace

ZoneRgb ScaleZoneColour(ZoneRgb colour, uint8_t level) {
    bool named = false;
    for (const ZoneRgb& c : kZoneColours) named = named || c == colour;
    if (!named) return colour;
    const uint8_t v = BrightnessComponent(level);
    auto scale = [v](uint8_t component) { return component == 255 ? v : component; };
    return {scale(colour.red), scale(colour.green), scale(colour.blue)};
}

ZoneSequence LayoutEntries(uint8_t layout) {
    switch (layout) {
        case 0:
            return {Cmd(kZoneCmdLayout, {0, 0x00, 0xFF, 1}), Cmd(kZoneCmdLayout, {1, 0x03, 0x00, 1}),
                    Cmd(kZoneCmdLayout, {2, 0x04, 0x00, 1})};
        case 1:
            return {Cmd(kZoneCmdLayout, {0, 0x00, 0x78, 1}), Cmd(kZoneCmdLayout, {1, 0x03, 0x87, 1}),
                    Cmd(kZoneCmdLayout, {2, 0x04, 0x00, 1})};
        case 2:
            return {Cmd(kZoneCmdLayout, {0, 0x00, 0x01, 1})};
        default:
            return {};
    }
}

ZoneSequence ApplyZone(ZoneLightingState& state, int set, int zone) {
    ZoneSequence out;
    if (set < 0 || set >= kZoneSetCount || zone < 0 || zone >= kZoneCount) return out;
    const ZoneSettings& s = state.settings[size_t(set)][size_t(zone)];
    const uint8_t z = uint8_t(zone);
    out.push_back(SelectSet(set));
    switch (s.mode) {
        case ZoneStatic:
            AppendEffect(out, z, ColourToSend(s), 0, 0x00, 0xF0);
            break;
        case ZoneBreath:
            AppendEffect(out, z, s.Colour(), 1, 0x01, 0xD0);
            break;
        case ZoneStrobe:
            AppendEffect(out, z, ColourToSend(s), 4, 0x10, 0x00);
            break;
        case ZoneCycle:
            if (state.layout == 0) {
                AppendEffect(out, z, kWhite, 1, 0x00, 0xF0);
                out.push_back(Cmd(kZoneCmdEffectParams, {z, 0x03, z}));
            } else if (JoinsZones(state.layout)) {
                AppendEffect(out, z, kWhite, 2, 0x00, 0xF0);
            }
            break;
        case ZoneRainbow:
            AppendEffect(out, z, kWhite, 2, 0x00, 0xF0);
            break;
        case ZoneWave:
            if (JoinsZones(state.layout)) {
                state.waveActive[size_t(set)] = true;
                out.push_back(Cmd(kZoneCmdLayout, {1, 0x03, 0x87, 0}));
                out.push_back(Cmd(kZoneCmdLayout, {0, 0x03, 0xFF, 1}));
                out.push_back(SelectSet(set));
                out.push_back(Cmd(kZoneCmdLit, {0, LitByte(state.settings[size_t(set)][0].lit)}));
                out.push_back(EndSet(uint8_t(set)));
            }
            out.push_back(Cmd(kZoneCmdWavePrelude, {z, 0x00}));
            AppendEffect(out, z, kWhite, 6, 0x00, 0x0A);
            break;
        default:
            break;
    }
    out.push_back(EndSet());
    return out;
}

ZoneSequence LeaveWave(ZoneLightingState& state, int set) {
    ZoneSequence out;
    if (set < 0 || set >= kZoneSetCount || !state.waveActive[size_t(set)]) return out;
    state.waveActive[size_t(set)] = false;
    out.push_back(SelectSet(set));
    out.push_back(Cmd(kZoneCmdLayout, {0, 0x03, 0xFF, 0}));
    out.push_back(Cmd(kZoneCmdLayout, {0, 0x00, 0x78, 1}));
    out.push_back(Cmd(kZoneCmdLayout, {1, 0x03, 0x87, 1}));
    out.push_back(EndSet(uint8_t(set)));
    Append(out, ApplyZone(state, set, 0));
    Append(out, ApplyZone(state, set, 1));
    return out;
}

ZoneSequence SwitchAllZones(uint8_t lit) {
    const uint8_t on = LitByte(lit);
    ZoneSequence out;
    for (int set = 0; set < kZoneSetCount; ++set) {
        out.push_back(SelectSet(set));
        for (uint8_t z = 0; z < kZoneCount; ++z) out.push_back(Cmd(kZoneCmdLit, {z, on}));
    }
    out.push_back(EndSet());
    return out;
}

ZoneSequence RestoreZoneDefaults(ZoneLightingState& state) {
    ZoneSequence out = {SelectSet(0), Cmd(kZoneCmdFactoryDefaults, {0x10}), SelectSet(1),
                        Cmd(kZoneCmdFactoryDefaults, {0x10}), EndSet()};
    out.back().pauseAfterMs = kZoneDefaultsPauseMs;

    const ZoneSequence entries = LayoutEntries(state.layout);
    if (!entries.empty()) {
        Append(out, entries);
        out.push_back(SelectSet(1));
        Append(out, entries);
        out.push_back(EndSet());
    }

    ResetZoneDefaults(state);
    for (auto& set : state.settings) {
        for (ZoneSettings& zone : set) zone.lit = 1;
    }
    for (int set = 0; set < kZoneSetCount; ++set) {
        for (int zone = 0; zone < kZoneCount; ++zone) Append(out, ApplyZone(state, set, zone));
    }
    Append(out, SwitchAllZones(1));
    return out;
}

ZoneSequence InitialiseZoneController(uint8_t layout) {
    ZoneSequence out;
    if (layout > 2) return out;
    const ZoneSequence entries = LayoutEntries(layout);
    const int zones = layout == 2 ? 1 : kZoneCount;
    const ZoneCommand closeSet =
        layout == 2 ? Cmd(kZoneCmdCloseSet, {0x00, 0x01, 0x01}) : Cmd(kZoneCmdCloseSet, {7, 0xFF, 0x01});

    Append(out, entries);
    for (uint8_t z = 0; z < zones; ++z) AppendEffect(out, z, {0, 0, 255}, 1, 0x01, 0xD0);
    out.push_back(closeSet);
    out.push_back(SelectSet(1));
    Append(out, entries);
    for (uint8_t z = 0; z < zones; ++z) out.push_back(Colour(z, {255, 0, 0}));
    out.push_back(closeSet);
    out.push_back(EndSet());
    return out;
}

ZoneSequence FanVoltSwitch(uint8_t on) {
    return {Cmd(kZoneCmdFanVoltSwitch, {on})};
}
