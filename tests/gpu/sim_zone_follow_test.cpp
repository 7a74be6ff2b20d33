#include <gtest/gtest.h>

#include "sim/SimZoneFollow.h"

namespace {

using Status = SimZoneFollower::Status;

uint16_t Value(const Status& s, size_t at) {
    return uint16_t(s[at] << 8 | s[at + 1]);
}

TEST(SimZoneFollow, ColoursAndEffectsLandInTheWrittenSetAtTheLayoutsOffsets) {
    Status factory{};
    factory[0] = 9;
    SimZoneFollower follower(1);
    Status s = factory;
    EXPECT_TRUE(follower.Take(0x0B, {1, 1}, s));
    EXPECT_TRUE(follower.Take(0x04, {0, 1, 2, 3, 1}, s));
    EXPECT_TRUE(follower.Take(0x04, {1, 4, 5, 6, 1}, s));
    EXPECT_TRUE(follower.Take(0x09, {0, 0xFF, 0xFF}, s));
    EXPECT_TRUE(follower.Take(0x08, {0, 4, 7, 0x0D, 0x10, 0x00}, s));
    EXPECT_TRUE(follower.Take(0x08, {2, 1, 7, 0x0D, 0x00, 0xF0}, s));
    EXPECT_TRUE(follower.Take(0x09, {2, 0x03, 2}, s));
    EXPECT_TRUE(follower.Take(0x0B, {0, 0}, s));
    EXPECT_EQ(follower.WritingSet(), 0);

    EXPECT_EQ((std::array<uint8_t, 3>{s[192 + 15], s[192 + 16], s[192 + 17]}),
              (std::array<uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ((std::array<uint8_t, 3>{s[192], s[193], s[194]}), (std::array<uint8_t, 3>{4, 5, 6}));
    EXPECT_EQ(s[192 + 60], 4);
    EXPECT_EQ(s[192 + 61], 0x10);
    EXPECT_EQ(s[192 + 82], 1);
    EXPECT_EQ(s[192 + 83], 3);
    EXPECT_EQ(s[0], 9);  // the idle set is untouched

    // The set's own defaults bring back how it started.
    follower.Take(0x0B, {1, 1}, s);
    follower.Take(0xFF, {0x10}, s);
    EXPECT_EQ(s, factory);
}

TEST(SimZoneFollow, LayoutEntriesSwitchesAndFanVolt) {
    SimZoneFollower follower(1);
    Status s{};
    follower.Take(0x06, {1, 0x03, 0x87, 0}, s);
    follower.Take(0x06, {0, 0x03, 0xFF, 1}, s);
    EXPECT_EQ(Value(s, 68), 0x03FF);
    EXPECT_EQ(Value(s, 79), 0);
    follower.Take(0x06, {1, 0x03, 0x87, 1}, s);
    EXPECT_EQ(Value(s, 79), 0x0387);

    for (uint8_t set : {0, 1}) {
        follower.Take(0x0B, {1, set}, s);
        for (uint8_t z : {0, 1, 2}) follower.Take(0x05, {z, 0}, s);
    }
    EXPECT_EQ(s[70], 0);
    follower.Take(0x05, {2, 1}, s);
    EXPECT_EQ(s[70], 1);

    follower.Take(0x0C, {1}, s);
    EXPECT_EQ(s[384], 1);
    EXPECT_FALSE(follower.Take(0x0C, {}, s));
    EXPECT_FALSE(follower.Take(0x04, {3, 1, 2, 3, 1}, s));
}

TEST(SimZoneFollow, LayoutTwoHasOnlyTheLogo) {
    SimZoneFollower follower(2);
    Status s{};
    EXPECT_TRUE(follower.Take(0x04, {0, 1, 2, 3, 1}, s));
    EXPECT_FALSE(follower.Take(0x04, {1, 7, 7, 7, 1}, s));
    EXPECT_FALSE(follower.Take(0x08, {2, 4, 7, 0x0D, 0x10, 0}, s));
    EXPECT_EQ(s[0], 1);
    EXPECT_EQ(s[82], 0);
}

}  // namespace
