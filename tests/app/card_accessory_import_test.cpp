#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "accessory/CardAccessoryImport.h"

namespace {

// The bytes of one setting in the controller's status.
struct SettingBytes {
    uint8_t re, rp3, rp4, fe, fp3, fp4;
    std::array<uint8_t, 3> rear, front;
};

constexpr std::array<uint8_t, 3> kRed{255, 0, 0};
constexpr std::array<uint8_t, 3> kBlue{0, 0, 255};
constexpr std::array<uint8_t, 3> kWhite{255, 255, 255};
constexpr std::array<uint8_t, 3> kOrange{255, 128, 0};

std::array<uint8_t, 140> Status(const SettingBytes& idle, const SettingBytes& turbo) {
    std::array<uint8_t, 140> s{};
    auto put = [&](const SettingBytes& b, size_t rearRgb, size_t frontRgb, size_t re, size_t fe) {
        std::copy(b.rear.begin(), b.rear.end(), s.begin() + long(rearRgb));
        std::copy(b.front.begin(), b.front.end(), s.begin() + long(frontRgb));
        s[re] = b.re;
        s[re + 1] = b.rp3;
        s[re + 2] = b.rp4;
        s[fe] = b.fe;
        s[fe + 1] = b.fp3;
        s[fe + 2] = b.fp4;
    };
    put(idle, 0, 5, 30, 41);
    put(turbo, 15, 20, 85, 96);
    s[39] = 1;  // the controller holds settings
    return s;
}

struct ImportCase {
    const char* name;
    SettingBytes bytes;
    AccessorySet expected;
};

TEST(CardAccessoryImport, ModesAndColoursOfBothSettings) {
    const ImportCase cases[] = {
        {"both cycle: rear 3/3", {1, 3, 3, 0, 0, 0, kRed, kRed}, {3, 7, 0, 7}},
        {"both cycle: 3/2 and 3/2", {0, 3, 2, 8, 3, 2, kRed, kRed}, {0, 7, 1, 7}},
        {"both cycle: steady rear, front 3/1", {0, 0, 0, 3, 3, 1, kRed, kRed}, {3, 7, 1, 7}},
        {"both cycle: front 0/0, animated rear", {2, 9, 9, 11, 0, 0, kRed, kRed}, {1, 7, 1, 7}},
        {"front cycles by its effect", {0, 0, 0, 3, 0, 5, kBlue, kRed}, {3, 7, 1, 4}},
        {"front cycles by 3/2", {0, 0, 5, 10, 3, 2, kWhite, kRed}, {2, 7, 1, 6}},
        {"rear cycles by its effect", {2, 0, 5, 8, 1, 1, kRed, kBlue}, {0, 4, 1, 7}},
        {"rear cycles by 3/1", {1, 3, 1, 0, 0, 5, kRed, kWhite}, {3, 6, 0, 7}},
        {"both from their triples", {1, 0, 0, 11, 0, 5, kBlue, kRed}, {1, 0, 0, 4}},
        {"colours not in the palette", {0, 0, 0, 0, 0, 5, kOrange, kOrange}, {3, -1, 1, -1}},
        {"effects not known", {7, 0, 0, 5, 0, 5, kRed, kBlue}, {-1, 4, -1, 0}},
    };
    for (const ImportCase& c : cases) {
        const SettingBytes other{0, 0, 0, 0, 0, 5, kWhite, kWhite};
        const CardAccessoryImport idle = DecodeCardAccessoryStatus(Status(c.bytes, other));
        EXPECT_EQ(idle.idle, c.expected) << c.name;
        EXPECT_EQ(idle.turbo, (AccessorySet{3, 6, 1, 6})) << c.name;
        const CardAccessoryImport turbo = DecodeCardAccessoryStatus(Status(other, c.bytes));
        EXPECT_EQ(turbo.turbo, c.expected) << c.name;
        EXPECT_FALSE(idle.holdsNoSettings);
    }
}

TEST(CardAccessoryImport, UnknownTripleIsNotRecognisedNeverTheZoneOffMarker) {
    EXPECT_EQ(PaletteCodeOf(255, 128, 0), kNotRecognised);
    EXPECT_EQ(PaletteCodeOf(0, 0, 0), kNotRecognised);
    EXPECT_EQ(PaletteCodeOf(255, 0, 255), 5);
    const auto status = Status({0, 0, 0, 0, 0, 5, kRed, kOrange}, {0, 0, 0, 0, 0, 5, kRed, kRed});
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
    const auto full = Status({1, 3, 3, 0, 0, 0, kRed, kRed}, {1, 3, 3, 0, 0, 0, kRed, kRed});
    const std::vector<uint8_t> head(full.begin(), full.begin() + 45);
    const CardAccessoryImport result = DecodeCardAccessoryStatus(head);
    EXPECT_EQ(result.idle, (AccessorySet{3, 7, 0, 7}));
    // Turbo colours lie inside the short block, its effect bytes past its end.
    EXPECT_EQ(result.turbo, (AccessorySet{3, 0, 1, 0}));
    EXPECT_FALSE(result.frontLit);
    EXPECT_TRUE(DecodeCardAccessoryStatus({}).holdsNoSettings);
}

}  // namespace
