#include <gtest/gtest.h>

#include "lighting/ZoneCommands.h"

namespace {

using Bytes = std::vector<uint8_t>;

ZoneCommand C(uint8_t code, Bytes payload) {
    return {code, std::move(payload), 0};
}

ZoneLightingState StateWith(uint8_t layout, int set, int zone, uint8_t mode, uint8_t colourIndex,
                            uint8_t brightness) {
    ZoneLightingState state;
    state.layout = layout;
    ZoneSettings& s = state.settings[size_t(set)][size_t(zone)];
    s.mode = mode;
    s.colourIndex = colourIndex;
    s.brightness = brightness;
    if (colourIndex < kZoneNamedColourCount) s.SetColour(kZoneColours[colourIndex]);
    return state;
}

// The colour command of a sequence (there is one per applied zone).
ZoneCommand ColourOf(const ZoneSequence& seq) {
    for (const ZoneCommand& c : seq) {
        if (c.code == kZoneCmdColour) return c;
    }
    return {};
}

TEST(ZoneCommands, IdleStaticRedTopLevelOnLogoIsExact) {
    ZoneLightingState state = StateWith(0, kZoneSetIdle, kZoneLogo, ZoneStatic, 0, 7);
    EXPECT_EQ(ApplyZone(state, kZoneSetIdle, kZoneLogo),
              (ZoneSequence{C(0x0B, {1, 0}), C(0x04, {0, 255, 0, 0, 1}), C(0x09, {0, 0xFF, 0xFF}),
                            C(0x08, {0, 0, 0x07, 0x0D, 0x00, 0xF0}), C(0x0B, {0, 0})}));
}

TEST(ZoneCommands, ColourSentFollowsModeBrightnessAndCustomColour) {
    struct Case {
        uint8_t mode, colourIndex, brightness;
        ZoneRgb custom;
        Bytes colour;
    };
    const Case cases[] = {
        {ZoneStatic, 5, 3, {}, {2, 0, 0, 127, 1}},               // blue at level 3
        {ZoneStatic, 4, 0, {}, {2, 0, 31, 31, 1}},               // cyan at level 0
        {ZoneStrobe, 6, 1, {}, {2, 63, 63, 63, 1}},              // strobe scales too
        {ZoneBreath, 0, 2, {}, {2, 255, 0, 0, 1}},               // breath never scales
        {ZoneStatic, 7, 0, {255, 255, 0}, {2, 255, 255, 0, 1}},  // custom equal to yellow: unscaled
        {ZoneStatic, 1, kZoneUnset, {}, {2, 255, 255, 0, 1}},    // unset level: the top level
        {ZoneCycle, 0, 0, {}, {2, 255, 255, 255, 1}},
        {ZoneRainbow, 0, 0, {}, {2, 255, 255, 255, 1}},
        {ZoneWave, 0, 0, {}, {2, 255, 255, 255, 1}},
    };
    for (const Case& c : cases) {
        ZoneLightingState state = StateWith(0, kZoneSetTurbo, kZoneRear, c.mode, c.colourIndex, c.brightness);
        if (c.colourIndex == kZoneCustomColour) state.settings[1][2].SetColour(c.custom);
        const ZoneSequence seq = ApplyZone(state, kZoneSetTurbo, kZoneRear);
        EXPECT_EQ(seq.front(), C(0x0B, {1, 1})) << int(c.mode);
        EXPECT_EQ(ColourOf(seq).payload, c.colour) << int(c.mode) << " " << int(c.colourIndex);
    }
}

TEST(ZoneCommands, EffectPerModeAndLayout) {
    struct Case {
        uint8_t mode, layout;
        Bytes effect;
    };
    const Case cases[] = {
        {ZoneBreath, 0, {1, 1, 7, 0x0D, 0x01, 0xD0}},  {ZoneStrobe, 0, {1, 4, 7, 0x0D, 0x10, 0x00}},
        {ZoneCycle, 0, {1, 1, 7, 0x0D, 0x00, 0xF0}},   {ZoneCycle, 1, {1, 2, 7, 0x0D, 0x00, 0xF0}},
        {ZoneRainbow, 2, {1, 2, 7, 0x0D, 0x00, 0xF0}}, {ZoneWave, 0, {1, 6, 7, 0x0D, 0x00, 0x0A}},
    };
    for (const Case& c : cases) {
        ZoneLightingState state = StateWith(c.layout, kZoneSetIdle, kZoneFront, c.mode, 0, 7);
        const ZoneSequence seq = ApplyZone(state, kZoneSetIdle, kZoneFront);
        ASSERT_GE(seq.size(), 3u);
        const auto effect = std::find_if(seq.begin(), seq.end(), [](auto& x) { return x.code == 0x08; });
        ASSERT_NE(effect, seq.end());
        EXPECT_EQ(effect->payload, c.effect) << int(c.mode) << " on " << int(c.layout);
        EXPECT_EQ(*(effect - 1), C(0x09, {1, 0xFF, 0xFF}));
        EXPECT_EQ(seq.back(), C(0x0B, {0, 0}));
    }
    // The colour cycle on layout 0 closes with its own parameter command.
    ZoneLightingState state = StateWith(0, kZoneSetIdle, kZoneFront, ZoneCycle, 0, 7);
    const ZoneSequence seq = ApplyZone(state, kZoneSetIdle, kZoneFront);
    EXPECT_EQ(seq[seq.size() - 2], C(0x09, {1, 0x03, 1}));
}

TEST(ZoneCommands, UnsetModeAndCycleOnUnknownLayoutSendOnlyTheSetFrame) {
    ZoneLightingState unset = StateWith(1, kZoneSetIdle, kZoneLogo, kZoneUnset, 0, 7);
    ZoneLightingState cycle = StateWith(0xFF, kZoneSetIdle, kZoneLogo, ZoneCycle, 0, 7);
    const ZoneSequence bare{C(0x0B, {1, 0}), C(0x0B, {0, 0})};
    EXPECT_EQ(ApplyZone(unset, kZoneSetIdle, kZoneLogo), bare);
    EXPECT_EQ(ApplyZone(cycle, kZoneSetIdle, kZoneLogo), bare);
    EXPECT_TRUE(ApplyZone(unset, 2, 0).empty());
}

TEST(ZoneCommands, WaveJoinsZonesOnlyOnLayoutsOneAndTwo) {
    ZoneLightingState plain = StateWith(0, kZoneSetTurbo, kZoneLogo, ZoneWave, 0, 7);
    EXPECT_EQ(
        ApplyZone(plain, kZoneSetTurbo, kZoneLogo),
        (ZoneSequence{C(0x0B, {1, 1}), C(0x0A, {0, 0}), C(0x04, {0, 255, 255, 255, 1}),
                      C(0x09, {0, 0xFF, 0xFF}), C(0x08, {0, 6, 7, 0x0D, 0x00, 0x0A}), C(0x0B, {0, 0})}));
    EXPECT_FALSE(plain.waveActive[1]);

    ZoneLightingState joined = StateWith(1, kZoneSetTurbo, kZoneLogo, ZoneWave, 0, 7);
    const ZoneSequence seq = ApplyZone(joined, kZoneSetTurbo, kZoneLogo);
    const ZoneSequence head(seq.begin(), seq.begin() + 6);
    // An unset zone switch goes out as on.
    EXPECT_EQ(head, (ZoneSequence{C(0x0B, {1, 1}), C(0x06, {1, 0x03, 0x87, 0}), C(0x06, {0, 0x03, 0xFF, 1}),
                                  C(0x0B, {1, 1}), C(0x05, {0, 1}), C(0x0B, {0, 1})}));
    EXPECT_EQ(seq.size(), 11u);
    EXPECT_TRUE(joined.waveActive[1]);
    EXPECT_FALSE(joined.waveActive[0]);
}

TEST(ZoneCommands, LeavingWaveRestoresLayoutAndResendsZonesZeroAndOne) {
    ZoneLightingState state = StateWith(1, kZoneSetIdle, kZoneLogo, ZoneWave, 0, 7);
    state.settings[0][1] = state.settings[0][0];
    ApplyZone(state, kZoneSetIdle, kZoneLogo);
    state.settings[0][0].mode = ZoneStatic;
    state.settings[0][1].mode = ZoneStrobe;

    const ZoneSequence seq = LeaveWave(state, kZoneSetIdle);
    const ZoneSequence head(seq.begin(), seq.begin() + 5);
    EXPECT_EQ(head, (ZoneSequence{C(0x0B, {1, 0}), C(0x06, {0, 0x03, 0xFF, 0}), C(0x06, {0, 0x00, 0x78, 1}),
                                  C(0x06, {1, 0x03, 0x87, 1}), C(0x0B, {0, 0})}));
    ZoneLightingState copy = state;
    ZoneSequence expected = head;
    for (int zone : {0, 1}) {
        const ZoneSequence z = ApplyZone(copy, kZoneSetIdle, zone);
        expected.insert(expected.end(), z.begin(), z.end());
    }
    EXPECT_EQ(seq, expected);
    EXPECT_FALSE(state.waveActive[0]);
    EXPECT_TRUE(LeaveWave(state, kZoneSetIdle).empty());
}

TEST(ZoneCommands, SwitchAllZonesCoversBothSets) {
    EXPECT_EQ(SwitchAllZones(0), (ZoneSequence{C(0x0B, {1, 0}), C(0x05, {0, 0}), C(0x05, {1, 0}),
                                               C(0x05, {2, 0}), C(0x0B, {1, 1}), C(0x05, {0, 0}),
                                               C(0x05, {1, 0}), C(0x05, {2, 0}), C(0x0B, {0, 0})}));
    EXPECT_EQ(SwitchAllZones(1)[1], C(0x05, {0, 1}));
}

TEST(ZoneCommands, RestoreDefaultsPausesResetsAndSendsEveryZone) {
    for (uint8_t layout : {0, 1, 2, 0xFF}) {
        ZoneLightingState state = StateWith(layout, kZoneSetTurbo, kZoneRear, ZoneWave, 3, 2);
        state.waveActive = {true, true};
        state.lightingOn = false;
        state.idleShown = false;
        const ZoneSequence seq = RestoreZoneDefaults(state);

        const ZoneSequence reset{C(0x0B, {1, 0}), C(0xFF, {0x10}), C(0x0B, {1, 1}), C(0xFF, {0x10})};
        ASSERT_GT(seq.size(), 5u);
        EXPECT_EQ(ZoneSequence(seq.begin(), seq.begin() + 4), reset);
        EXPECT_EQ(seq[4], (ZoneCommand{0x0B, {0, 0}, 1000}));
        for (size_t i = 5; i < seq.size(); ++i) EXPECT_EQ(seq[i].pauseAfterMs, 0u);

        ZoneSequence expected(seq.begin(), seq.begin() + 5);
        const ZoneSequence entries = LayoutEntries(layout);
        if (!entries.empty()) {
            expected.insert(expected.end(), entries.begin(), entries.end());
            expected.push_back(C(0x0B, {1, 1}));
            expected.insert(expected.end(), entries.begin(), entries.end());
            expected.push_back(C(0x0B, {0, 0}));
        }
        ZoneLightingState copy = state;
        for (int set = 0; set < 2; ++set) {
            for (int zone = 0; zone < 3; ++zone) {
                const ZoneSequence z = ApplyZone(copy, set, zone);
                expected.insert(expected.end(), z.begin(), z.end());
            }
        }
        const ZoneSequence on = SwitchAllZones(1);
        expected.insert(expected.end(), on.begin(), on.end());
        EXPECT_EQ(seq, expected) << int(layout);

        const bool known = layout <= 2;
        EXPECT_EQ(state.settings[0][2].Colour(), (ZoneRgb{0, 0, 255}));
        EXPECT_EQ(state.settings[0][2].mode, known ? uint8_t(ZoneBreath) : kZoneUnset);
        EXPECT_EQ(state.settings[1][2],
                  (ZoneSettings{uint8_t(known ? ZoneStatic : ZoneWave), 255, 0, 0, 0, 7, 1}));
        EXPECT_EQ(state.waveActive, (std::array<bool, 2>{false, false}));
        EXPECT_TRUE(state.lightingOn);
        EXPECT_TRUE(state.idleShown);
    }
}

TEST(ZoneCommands, LayoutEntriesPerLayout) {
    EXPECT_EQ(LayoutEntries(0), (ZoneSequence{C(0x06, {0, 0x00, 0xFF, 1}), C(0x06, {1, 0x03, 0x00, 1}),
                                              C(0x06, {2, 0x04, 0x00, 1})}));
    EXPECT_EQ(LayoutEntries(1), (ZoneSequence{C(0x06, {0, 0x00, 0x78, 1}), C(0x06, {1, 0x03, 0x87, 1}),
                                              C(0x06, {2, 0x04, 0x00, 1})}));
    EXPECT_EQ(LayoutEntries(2), (ZoneSequence{C(0x06, {0, 0x00, 0x01, 1})}));
    EXPECT_TRUE(LayoutEntries(3).empty());
}

TEST(ZoneCommands, InitialisationProgramsBlueBreathingIdleAndRedTurbo) {
    EXPECT_EQ(InitialiseZoneController(2),
              (ZoneSequence{C(0x06, {0, 0x00, 0x01, 1}), C(0x04, {0, 0, 0, 255, 1}), C(0x09, {0, 0xFF, 0xFF}),
                            C(0x08, {0, 1, 7, 0x0D, 0x01, 0xD0}), C(0x03, {0x00, 0x01, 0x01}),
                            C(0x0B, {1, 1}), C(0x06, {0, 0x00, 0x01, 1}), C(0x04, {0, 255, 0, 0, 1}),
                            C(0x03, {0x00, 0x01, 0x01}), C(0x0B, {0, 0})}));
    const ZoneSequence seq = InitialiseZoneController(1);
    ASSERT_EQ(seq.size(), 3u + 9u + 1u + 1u + 3u + 3u + 1u + 1u);
    EXPECT_EQ(seq[9], C(0x04, {2, 0, 0, 255, 1}));
    EXPECT_EQ(seq[11], C(0x08, {2, 1, 7, 0x0D, 0x01, 0xD0}));
    EXPECT_EQ(seq[12], C(0x03, {7, 0xFF, 0x01}));
    EXPECT_EQ(seq[13], C(0x0B, {1, 1}));
    EXPECT_EQ(seq[14], C(0x06, {0, 0x00, 0x78, 1}));
    EXPECT_EQ(seq[19], C(0x04, {2, 255, 0, 0, 1}));
    EXPECT_TRUE(InitialiseZoneController(0xFF).empty());
}

TEST(ZoneCommands, FanVoltSwitchCarriesTheState) {
    EXPECT_EQ(FanVoltSwitch(1), (ZoneSequence{C(0x0C, {1})}));
    EXPECT_EQ(FanVoltSwitch(0), (ZoneSequence{C(0x0C, {0})}));
}

}  // namespace
