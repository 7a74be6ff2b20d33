#include <gtest/gtest.h>

#include <array>

#include "accessory/CardAccessoryFrames.h"
#include "accessory/CardAccessoryImport.h"

namespace {

CardFrame F(uint8_t command, std::vector<uint8_t> payload) {
    return CardFrame{command, std::move(payload)};
}

const CardFrame kOpenIdle = F(0x0B, {1, 0});
const CardFrame kOpenTurbo = F(0x0B, {1, 1});
const CardFrame kClose = F(0x0B, {0, 0});
const CardFrame kRearReset = F(0x09, {0, 0xFF, 0xFF});
const CardFrame kFrontReset = F(0x09, {1, 0xFF, 0xFF});
const CardFrame kRearSteady = F(0x08, {0, 0, 0, 0, 0, 0, 0, 0});
const CardFrame kFrontSteady = F(0x08, {1, 0, 0, 0, 0, 0, 0, 0});

TEST(CardAccessoryFrames, IdleApplyWithCyclingFrontAndBlueRear) {
    const AccessorySet idle{1, kColourCycle, 1, 4};
    EXPECT_EQ(ApplyFrames(0, idle, true, true),
              (CardFrames{kOpenIdle, kFrontReset, F(0x08, {1, 11, 7, 0x0D, 9, 0, 3, 2}), kRearReset,
                          kRearSteady, F(0x04, {0, 0, 0, 255, 1}), kClose}));
}

TEST(CardAccessoryFrames, TurboApplyWithRedFrontAndBreathingRedRear) {
    const AccessorySet turbo{3, 0, 0, 0};
    EXPECT_EQ(ApplyFrames(1, turbo, true, true),
              (CardFrames{kOpenTurbo, kFrontReset, kFrontSteady, F(0x04, {1, 255, 0, 0, 1}), kRearReset,
                          F(0x08, {0, 1, 7, 0x3D, 2, 0, 0, 0}), F(0x04, {0, 255, 0, 0, 1}), kClose}));
}

TEST(CardAccessoryFrames, BothZonesCyclingChooseEffectsByRearMode) {
    // Rear "~": breathing rear, then the plain front.
    EXPECT_EQ(RenderSetToCard(0, {3, kColourCycle, 0, kColourCycle}),
              (CardFrames{kOpenIdle, kRearReset, F(0x08, {0, 1, 7, 0x3D, 2, 0, 3, 3}), kFrontReset,
                          kFrontSteady, kClose}));
    EXPECT_EQ(RenderSetToCard(0, {2, kColourCycle, 0, kColourCycle}),
              (CardFrames{kOpenIdle, kRearReset, F(0x08, {0, 1, 7, 0x3D, 2, 0, 3, 3}), kFrontReset,
                          F(0x08, {1, 10, 7, 0x0D, 9, 0, 0, 0}), kClose}));
    // Rear "--": steady rear, then the running front.
    EXPECT_EQ(RenderSetToCard(1, {3, kColourCycle, 1, kColourCycle}),
              (CardFrames{kOpenTurbo, kRearReset, kRearSteady, kFrontReset,
                          F(0x08, {1, 3, 7, 0x0D, 0x7F, 0, 3, 1}), kClose}));
    EXPECT_EQ(RenderSetToCard(1, {0, kColourCycle, 1, kColourCycle}),
              (CardFrames{kOpenTurbo, kRearReset, kRearSteady, kFrontReset,
                          F(0x08, {1, 8, 7, 0x0D, 1, 0, 3, 3}), kClose}));
}

TEST(CardAccessoryFrames, ApplyWithDarkFrontWhileBothCycleLeavesTheFrontOut) {
    const AccessorySet idle{1, kColourCycle, 1, kColourCycle};
    EXPECT_EQ(ApplyFrames(0, idle, false, true),
              (CardFrames{F(0x09, {0, 0, 0}), kOpenIdle, kFrontReset, F(0x08, {1, 11, 7, 0x0D, 9, 0, 3, 2}),
                          F(0x04, {0, 255, 255, 255, 1}), kRearReset, F(0x08, {0, 2, 7, 0x0D, 1, 0, 0, 0}),
                          kClose}));
    // A dark rear with rear "~": the front's run, then the breathing rear.
    const AccessorySet turbo{3, kColourCycle, 0, kColourCycle};
    EXPECT_EQ(
        ApplyFrames(1, turbo, true, false),
        (CardFrames{F(0x09, {1, 0, 0}), kOpenTurbo, kFrontReset, F(0x08, {1, 3, 7, 0x0D, 0x7F, 0, 0, 0}),
                    kRearReset, F(0x08, {0, 1, 7, 0x3D, 2, 0, 3, 1}), kClose}));
    // A dark zone with its own colour is rendered as it is.
    EXPECT_EQ(ApplyFrames(0, {3, 0, 0, 0}, false, false), RenderSetToCard(0, {3, 0, 0, 0}));
}

TEST(CardAccessoryFrames, ColoursAndModesOutsideThePaletteSendNoColourFrame) {
    // Front colour not recognised, rear mode not recognised: the plain front only.
    EXPECT_EQ(RenderSetToCard(0, {3, kNotRecognised, kNotRecognised, 2}),
              (CardFrames{kOpenIdle, kFrontReset, kFrontSteady, kClose}));
    // Front mode not recognised: only the rear part, whose colour is not recognised either.
    EXPECT_EQ(RenderSetToCard(1, {kNotRecognised, 4, 1, kNotRecognised}),
              (CardFrames{kOpenTurbo, kRearReset, kRearSteady, kClose}));
    for (int colour : {kNotRecognised, 7, 8, 255, 1000}) {
        for (const CardFrame& frame : RenderSetToCard(0, {0, colour, 0, colour})) {
            EXPECT_NE(frame.command, 0x04) << colour;
        }
    }
}

TEST(CardAccessoryFrames, FrontSwitchRerendersCyclingSettingsWithSteadyRear) {
    const AccessorySet idle{2, kColourCycle, 1, kColourCycle};
    const AccessorySet turbo{3, 0, 1, 0};  // not both cycling: not rendered again
    CardFrames expected{kOpenIdle, F(0x05, {1, 0}), kOpenTurbo, F(0x05, {1, 0}), F(0x09, {0, 0, 0})};
    const CardFrames idleDark = RenderSetToCard(0, {2, kColourZoneOff, 1, kColourCycle});
    expected.insert(expected.end(), idleDark.begin(), idleDark.end());
    expected.push_back(kClose);
    EXPECT_EQ(FrontSwitchFrames(false, idle, turbo), expected);

    EXPECT_EQ(FrontSwitchFrames(true, turbo, turbo),
              (CardFrames{kOpenIdle, F(0x05, {1, 1}), kOpenTurbo, F(0x05, {1, 1}), kClose}));
}

TEST(CardAccessoryFrames, RearSwitchRerendersCyclingSettingsWithBreathingRear) {
    const AccessorySet idle{3, 4, 0, 4};
    const AccessorySet turbo{1, kColourCycle, 0, kColourCycle};
    CardFrames expected{kOpenIdle, F(0x05, {0, 1}), kOpenTurbo, F(0x05, {0, 1}), kClose, F(0x09, {1, 0, 0})};
    const CardFrames turboRendered = RenderSetToCard(1, turbo);
    expected.insert(expected.end(), turboRendered.begin(), turboRendered.end());
    EXPECT_EQ(RearSwitchFrames(true, idle, turbo), expected);

    const CardFrames dark = RearSwitchFrames(false, idle, turbo);
    const CardFrames turboDark = RenderSetToCard(1, {1, kColourCycle, 0, kColourZoneOff});
    EXPECT_EQ(CardFrames(dark.end() - long(turboDark.size()), dark.end()), turboDark);
    EXPECT_EQ(dark[1], F(0x05, {0, 0}));
}

TEST(CardAccessoryFrames, DefaultRendersBothDefaultsThenLightsAllZones) {
    CardFrames expected = RenderSetToCard(0, {3, 4, 0, 4});
    const CardFrames turbo = RenderSetToCard(1, {3, 0, 1, 0});
    expected.insert(expected.end(), turbo.begin(), turbo.end());
    for (const CardFrame& frame : {kOpenIdle, F(0x05, {0, 1}), F(0x05, {1, 1}), kOpenTurbo, F(0x05, {0, 1}),
                                   F(0x05, {1, 1}), kClose}) {
        expected.push_back(frame);
    }
    EXPECT_EQ(DefaultFrames(), expected);
    // The Idle default in full: plain blue front, breathing blue rear.
    EXPECT_EQ(RenderSetToCard(0, {3, 4, 0, 4}),
              (CardFrames{kOpenIdle, kFrontReset, kFrontSteady, F(0x04, {1, 0, 0, 255, 1}), kRearReset,
                          F(0x08, {0, 1, 7, 0x3D, 2, 0, 0, 0}), F(0x04, {0, 0, 0, 255, 1}), kClose}));
}

}  // namespace
