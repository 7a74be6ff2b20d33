#include <gtest/gtest.h>

#include "sim/SimState.h"

struct SharedSimState {
    int value = 0;
};

namespace {

// Types private to this file sit in the same bag as shared ones, as the simulator's areas do.
struct LocalA {
    int value = 0;
};
struct LocalB {
    int value = 0;
};
struct LocalC {
    int value = 0;
};

}  // namespace

TEST(SimStateBag, KeepsFileLocalAndSharedTypesApart) {
    SimStateBag bag;
    bag.Get<LocalA>().value = 1;
    bag.Get<SharedSimState>().value = 2;
    bag.Get<LocalB>().value = 3;
    bag.Get<LocalC>().value = 4;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(bag.Get<LocalA>().value, 1);
        EXPECT_EQ(bag.Get<SharedSimState>().value, 2);
        EXPECT_EQ(bag.Get<LocalB>().value, 3);
        EXPECT_EQ(bag.Get<LocalC>().value, 4);
    }
    ASSERT_NE(bag.Find<SharedSimState>(), nullptr);
    EXPECT_EQ(bag.Find<SharedSimState>()->value, 2);
}

TEST(SimStateBag, CopiesAreDeep) {
    SimStateBag original;
    original.Get<LocalA>().value = 5;
    SimStateBag copy = original;
    copy.Get<LocalA>().value = 6;
    EXPECT_EQ(original.Get<LocalA>().value, 5);
    EXPECT_EQ(copy.Get<LocalA>().value, 6);
    EXPECT_EQ(copy.Find<LocalB>(), nullptr);
}
