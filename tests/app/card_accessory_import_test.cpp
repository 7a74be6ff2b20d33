#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "accessory/CardAccessoryImport.h"
#include "card_accessory_status.h"

namespace {

struct ImportCase {
    const char* name;
    SettingBytes bytes;
    AccessorySet expected;
};

TEST(CardAccessoryImport, ModesAndColoursOfBothSettings) {
    const ImportCase cases[] = {
        {"both cycle: rear 3/3", {1, 3, 3, 0, 0, 0, kRedRgb, kRedRgb}, {3, 7, 0, 7}},
        {"both cycle: 3/2 and 3/2", {0, 3, 2, 8, 3, 2, kRedRgb, kRedRgb}, {0, 7, 1, 7}},
        {"both cycle: steady rear, front 3/1", {0, 0, 0, 3, 3, 1, kRedRgb, kRedRgb}, {3, 7, 1, 7}},
        {"both cycle: front 0/0, animated rear", {2, 9, 9, 11, 0, 0, kRedRgb, kRedRgb}, {1, 7, 1, 7}},
        {"front cycles by its effect", {0, 0, 0, 3, 0, 5, kBlueRgb, kRedRgb}, {3, 7, 1, 4}},
        {"front cycles by 3/2", {0, 0, 5, 10, 3, 2, kWhiteRgb, kRedRgb}, {2, 7, 1, 6}},
        {"rear cycles by its effect", {2, 0, 5, 8, 1, 1, kRedRgb, kBlueRgb}, {0, 4, 1, 7}},
        {"rear cycles by 3/1", {1, 3, 1, 0, 0, 5, kRedRgb, kWhiteRgb}, {3, 6, 0, 7}},
        {"both from their triples", {1, 0, 0, 11, 0, 5, kBlueRgb, kRedRgb}, {1, 0, 0, 4}},
        {"colours not in the palette", {0, 0, 0, 0, 0, 5, kOrangeRgb, kOrangeRgb}, {3, -1, 1, -1}},
        {"effects not known", {7, 0, 0, 5, 0, 5, kRedRgb, kBlueRgb}, {-1, 4, -1, 0}},
    };
    for (const ImportCase& c : cases) {
        const SettingBytes other{0, 0, 0, 0, 0, 5, kWhiteRgb, kWhiteRgb};
        const CardAccessoryImport idle = DecodeCardAccessoryStatus(CardStatus(c.bytes, other));
        EXPECT_EQ(idle.idle, c.expected) << c.name;
        EXPECT_EQ(idle.turbo, (AccessorySet{3, 6, 1, 6})) << c.name;
        const CardAccessoryImport turbo = DecodeCardAccessoryStatus(CardStatus(other, c.bytes));
        EXPECT_EQ(turbo.turbo, c.expected) << c.name;
        EXPECT_FALSE(idle.holdsNoSettings);
    }
}

TEST(CardAccessoryImport, UnknownTripleIsNotRecognisedNeverTheZoneOffMarker) {
    EXPECT_EQ(PaletteCodeOf(255, 128, 0), kNotRecognised);
    EXPECT_EQ(PaletteCodeOf(0, 0, 0), kNotRecognised);
    EXPECT_EQ(PaletteCodeOf(255, 0, 255), 5);
    const auto status =
        CardStatus({0, 0, 0, 0, 0, 5, kRedRgb, kOrangeRgb}, {0, 0, 0, 0, 0, 5, kRedRgb, kRedRgb});
    EXPECT_EQ(DecodeCardAccessoryStatus(status).idle.frontColour, kNotRecognised);
}

TEST(CardAccessoryImport, SettingsWordsAndZoneSwitches) {
    std::array<uint8_t, 140> status{};
    EXPECT_TRUE(DecodeCardAccessoryStatus(status).holdsNoSettings);
    for (size_t offset : {38u, 39u, 49u, 50u}) {
        std::array<uint8_t, 140> one{};
        one[offset] = 0x80;
        EXPECT_FALSE(DecodeCardAccessoryStatus(one).holdsNoSettings) << offset;
    }
    status[51] = 2;
    status[39] = 1;
    CardAccessoryImport result = DecodeCardAccessoryStatus(status);
    EXPECT_TRUE(result.frontLit);
    EXPECT_FALSE(result.rearLit);
    status[40] = 1;
    status[51] = 0;
    result = DecodeCardAccessoryStatus(status);
    EXPECT_FALSE(result.frontLit);
    EXPECT_TRUE(result.rearLit);
}

TEST(CardAccessoryImport, ShortBlockReadsAsZeros) {
    const auto full = CardStatus({1, 3, 3, 0, 0, 0, kRedRgb, kRedRgb}, {1, 3, 3, 0, 0, 0, kRedRgb, kRedRgb});
    const std::vector<uint8_t> head(full.begin(), full.begin() + 45);
    const CardAccessoryImport result = DecodeCardAccessoryStatus(head);
    EXPECT_EQ(result.idle, (AccessorySet{3, 7, 0, 7}));
    // Turbo colours lie inside the short block, its effect bytes past its end.
    EXPECT_EQ(result.turbo, (AccessorySet{3, 0, 1, 0}));
    EXPECT_FALSE(result.frontLit);
    EXPECT_TRUE(DecodeCardAccessoryStatus({}).holdsNoSettings);
}

}  // namespace
