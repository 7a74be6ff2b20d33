#include <gtest/gtest.h>

#include <array>

#include "lighting/ZoneCommands.h"

namespace {

using Status = std::array<uint8_t, kZoneStatusSize>;

void PutLayout(Status& s, uint16_t a, uint16_t b, uint16_t c) {
    s[68] = uint8_t(a >> 8), s[69] = uint8_t(a);
    s[79] = uint8_t(b >> 8), s[80] = uint8_t(b);
    s[90] = uint8_t(c >> 8), s[91] = uint8_t(c);
}

void PutRgb(Status& s, size_t at, ZoneRgb c) {
    s[at] = c.red, s[at + 1] = c.green, s[at + 2] = c.blue;
}

void PutEffect(Status& s, int set, int zone, uint8_t effect, uint8_t parameter) {
    const size_t at = (set == 0 ? 0 : 192) + size_t(60 + 11 * zone);
    s[at] = effect, s[at + 1] = parameter;
}

TEST(ZoneStatus, ColourRecognitionFindsNamedColourAndLevel) {
    struct Case {
        ZoneRgb colour;
        bool named;
        uint8_t index, level;
    };
    const Case cases[] = {
        {{0, 95, 0}, true, 3, 2},   {{10, 20, 30}, false, 0, 0}, {{255, 0, 0}, true, 0, 7},
        {{31, 31, 31}, true, 6, 0}, {{0, 0, 0}, false, 0, 0},    {{127, 0, 127}, true, 2, 3},
        {{95, 95, 0}, true, 1, 2},  {{95, 0, 0}, true, 0, 2},    {{95, 63, 0}, false, 0, 0},
    };
    for (const Case& c : cases) {
        uint8_t index = 99, level = 99;
        EXPECT_EQ(RecogniseZoneColour(c.colour, index, level), c.named) << int(c.colour.red);
        if (c.named) {
            EXPECT_EQ(index, c.index);
            EXPECT_EQ(level, c.level);
        }
    }
}

TEST(ZoneStatus, EffectCodesMapToModesByLayout) {
    struct Case {
        uint8_t effect, parameter, layout, mode;
    };
    const Case cases[] = {
        {0, 0, 0, ZoneStatic},    {1, 3, 0, ZoneCycle},  {1, 1, 0, ZoneBreath},    {2, 0, 0, ZoneRainbow},
        {2, 0, 1, ZoneCycle},     {2, 0, 2, ZoneCycle},  {2, 0, 0xFF, ZoneStatic}, {3, 0, 1, ZoneCycle},
        {4, 0x10, 1, ZoneStrobe}, {5, 0, 0, ZoneStatic}, {6, 0, 1, ZoneWave},      {7, 0, 0, ZoneStatic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoneModeFromEffect(c.effect, c.parameter, c.layout), c.mode)
            << int(c.effect) << "/" << int(c.parameter) << " on " << int(c.layout);
    }
}

TEST(ZoneStatus, PlainLayoutReadsBothSetsFromTheLayoutsOffsets) {
    Status s{};
    PutLayout(s, 0x00FF, 0x0300, 0x0400);
    s[70] = 1;
    PutRgb(s, 0, {0, 95, 0});
    PutRgb(s, 40, {10, 20, 30});
    PutRgb(s, 50, {255, 255, 255});
    PutEffect(s, 0, 0, 0, 0);
    PutEffect(s, 0, 1, 1, 1);
    PutEffect(s, 0, 2, 2, 0);
    PutRgb(s, 192 + 0, {0, 0, 127});
    PutRgb(s, 192 + 40, {159, 0, 159});
    PutEffect(s, 1, 0, 4, 0x10);
    PutEffect(s, 1, 1, 1, 3);

    ZoneLightingState state;
    state.layout = 0;
    state.zoneHighlight = {2, 1};
    state.waveActive = {true, true};
    EXPECT_TRUE(ReadZoneStatus(state, s, true).empty());

    EXPECT_TRUE(state.lightingOn);
    EXPECT_EQ(state.zoneHighlight, (std::array<uint8_t, 2>{0, 0}));
    EXPECT_EQ(state.waveActive, (std::array<bool, 2>{false, false}));
    const auto& idle = state.settings[0];
    EXPECT_EQ(idle[0], (ZoneSettings{ZoneStatic, 0, 255, 0, 3, 2, kZoneUnset}));
    EXPECT_EQ(idle[1], (ZoneSettings{ZoneBreath, 10, 20, 30, 7, 7, kZoneUnset}));
    EXPECT_EQ(idle[2], (ZoneSettings{ZoneRainbow, 255, 255, 255, 6, 7, kZoneUnset}));
    const auto& turbo = state.settings[1];
    EXPECT_EQ(turbo[0], (ZoneSettings{ZoneStrobe, 0, 0, 255, 5, 3, kZoneUnset}));
    EXPECT_EQ(turbo[1], (ZoneSettings{ZoneCycle, 255, 0, 255, 2, 4, kZoneUnset}));
}

TEST(ZoneStatus, ZoneZeroReadsItsOwnColourOnLayoutOne) {
    Status s{};
    PutLayout(s, 0x0078, 0x0387, 0x0400);
    PutRgb(s, 0, {0, 0, 255});
    PutRgb(s, 15, {255, 255, 0});
    ZoneLightingState state;
    state.layout = 1;
    ReadZoneStatus(state, s, true);
    EXPECT_EQ(state.settings[0][0].colourIndex, 1);
    EXPECT_EQ(state.settings[0][1].colourIndex, 5);
    EXPECT_FALSE(state.lightingOn);
}

TEST(ZoneStatus, WaveArrangementJoinsTheLogoAndMarksTheWave) {
    Status s{};
    PutLayout(s, 0x03FF, 0, 0x0400);
    s[70] = 1;
    PutEffect(s, 0, 0, 6, 0);
    PutEffect(s, 1, 0, 6, 0);
    ZoneLightingState state;
    state.layout = 1;
    ReadZoneStatus(state, s, true);
    EXPECT_EQ(state.zoneHighlight, (std::array<uint8_t, 2>{3, 3}));
    EXPECT_EQ(state.waveActive, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(state.settings[0][0].mode, ZoneWave);
}

TEST(ZoneStatus, UnknownArrangementOrShortStatusKeepsTheSettings) {
    Status s{};
    PutLayout(s, 0x0001, 0x0300, 0);
    s[70] = 1;
    ZoneLightingState state;
    state.layout = 2;
    state.settings[0][0].mode = ZoneStrobe;
    const ZoneLightingState before = state;
    EXPECT_TRUE(ReadZoneStatus(state, s, true).empty());
    EXPECT_EQ(state.settings, before.settings);
    EXPECT_FALSE(state.lightingOn);
    Status blank{};
    EXPECT_TRUE(ReadZoneStatus(state, std::span<const uint8_t>(blank).first(399), true).empty());
    EXPECT_EQ(state.settings, before.settings);
}

TEST(ZoneStatus, BlankControllerIsInitialisedOnlyFromAWholeReplyWithAKnownLayout) {
    const Status blank{};
    for (uint8_t layout : {0, 1, 2, 0xFF}) {
        for (bool complete : {true, false}) {
            ZoneLightingState state;
            state.layout = layout;
            const ZoneSequence seq = ReadZoneStatus(state, blank, complete);
            EXPECT_EQ(seq, complete ? InitialiseZoneController(layout) : ZoneSequence{}) << int(layout);
            EXPECT_EQ(seq.empty(), !complete || layout > 2);
            // The page shows its defaults either way.
            EXPECT_TRUE(state.lightingOn);
            EXPECT_EQ(state.settings[1][1].Colour(), (ZoneRgb{255, 0, 0}));
            EXPECT_EQ(state.settings[0][0].mode, layout <= 2 ? uint8_t(ZoneBreath) : kZoneUnset);
        }
    }
}

}  // namespace
