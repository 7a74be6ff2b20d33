#include <gtest/gtest.h>

#include <vector>

#include "accessory/AccessoryProtocol.h"

namespace {

std::vector<uint8_t> Block(std::vector<uint8_t> fields, uint8_t mark = 'L', size_t size = 200) {
    std::vector<uint8_t> block(size, 0xAA);
    if (size > 99) block[99] = mark;
    for (size_t i = 0; i < fields.size() && 100 + i < size; ++i) block[100 + i] = fields[i];
    return block;
}

TEST(AccessoryProtocolTest, StateBlockDecodesIntoBothSettings) {
    VemraState state;
    ASSERT_TRUE(ParseStateBlock(Block({3, 4, 0, 4, 3, 0, 1, 0, 0, 0}), state));
    // Idle: front "----" blue, rear "~" blue; Turbo: front "----" red, rear "--" red; both lit.
    EXPECT_EQ(state, DefaultAccessoryState());
    EXPECT_EQ(state.idleFrontMode, 3);
    EXPECT_EQ(state.idleFrontColour, 4);
    EXPECT_EQ(state.idleRearMode, 0);
    EXPECT_EQ(state.turboRearMode, 1);
    EXPECT_EQ(state.turboFrontColour, 0);
    EXPECT_EQ(state.stateKnown, 0);

    ASSERT_TRUE(ParseStateBlock(Block({1, 7, 1, 2, 0, 6, 0, 5, 1, 0}), state));
    EXPECT_EQ(state.idleFrontColour, 7);  // colour cycle
    EXPECT_EQ(state.turboRearColour, 5);
    EXPECT_EQ(state.idleFrontOff, 1);
    EXPECT_EQ(state.turboFrontOff, 1);  // the off flags go to both pages
    EXPECT_EQ(state.idleRearOff, 0);
    EXPECT_EQ(state.turboRearOff, 0);
}

TEST(AccessoryProtocolTest, BlocksWithoutTheMarkOrTooShortAreDropped) {
    const VemraState untouched;
    struct Case {
        const char* name;
        std::vector<uint8_t> block;
    };
    const Case cases[] = {
        {"other mark", Block({3, 4, 0, 4, 3, 0, 1, 0, 0, 0}, 'K')},
        {"109 bytes", Block({3, 4, 0, 4, 3, 0, 1, 0, 0}, 'L', 109)},
        {"mark only", Block({}, 'L', 100)},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        VemraState state;
        EXPECT_FALSE(ParseStateBlock(c.block, state)) << c.name;
        EXPECT_EQ(state, untouched) << c.name;
    }
    VemraState state;
    EXPECT_TRUE(ParseStateBlock(Block({3, 4, 0, 4, 3, 0, 1, 0, 0, 0}, 'L', 110), state));
}

TEST(AccessoryProtocolTest, CommandsWriteOnlyTheirOwnScratchBytes) {
    VemraState state = DefaultAccessoryState();
    state.idleFrontMode = 1;
    state.idleFrontColour = 7;
    state.idleRearMode = 1;
    state.idleRearColour = 2;
    state.turboFrontMode = 2;
    state.turboFrontColour = 5;
    state.turboRearMode = 0;
    state.turboRearColour = 6;
    state.idleFrontOff = 1;
    CommandScratch scratch;

    using C = AccessoryCommand;
    EXPECT_EQ(AskStateCommand(scratch), (C{0xF5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(StoreIdleCommand(scratch, state), (C{0xF0, 1, 7, 1, 2, 0, 0}));
    // "F" after an Idle Apply: bytes 3..4 still hold the Idle rear mode and colour.
    EXPECT_EQ(SwitchZonesCommand(scratch, state), (C{0xF3, 1, 0, 1, 2, 0, 0}));
    EXPECT_EQ(StoreTurboCommand(scratch, state), (C{0xF1, 2, 5, 0, 6, 0, 0}));
    EXPECT_EQ(RestoreDefaultsCommand(scratch), (C{0xF4, 0, 0, 0, 0, 0, 0}));
    scratch.data = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(AskStateCommand(scratch), (C{0xF5, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
