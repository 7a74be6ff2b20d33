#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "JournalBytes.h"
#include "SimCard.h"
#include "sim/SimHeat.h"

namespace {

constexpr uint32_t kSettingsV4 = 0x00040558;
constexpr uint32_t kSettingsV2 = 0x000203C8;
constexpr uint32_t kSettingsV1 = 0x000103C8;
constexpr uint32_t kLevelsLarge = 0x000100A4;
constexpr uint32_t kLevelsSmall = 0x0001001C;

const std::string kDiagnostic = "Get current state  NVAPI_INCOMPATIBLE_STRUCT_VERSION\n";

std::vector<uint32_t> VersionsTried(const SimDriver& sim, uint32_t queryId) {
    std::vector<uint32_t> versions;
    for (const auto& call : sim.Calls(queryId)) versions.push_back(call.version);
    return versions;
}

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

}  // namespace

TEST(ReadCoolerSettings, TriesTheThreeLayoutsWithADiagnosticAfterEachFailure) {
    struct Case {
        const char* layouts;
        std::vector<uint32_t> tried;
        int result;
    } cases[] = {
        {"4 2 1", {kSettingsV4}, 0},
        {"2", {kSettingsV4, kSettingsV2}, 0},
        {"1", {kSettingsV4, kSettingsV2, kSettingsV1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layouts);
        SimCard card(std::string("fan_range = 25 95\nfan_manual = 40\ncooler_settings = ") + c.layouts +
                     "\n");
        NvCoolerSettings settings{};
        testing::internal::CaptureStdout();
        EXPECT_EQ(card.gpu.ReadCoolerSettings(settings, kSelectedGpu), c.result);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  Repeated(kDiagnostic, static_cast<int>(c.tried.size()) - 1));
        EXPECT_EQ(VersionsTried(card.sim, QueryId::GetCoolerSettings), c.tried);
        EXPECT_EQ(settings.Version(), c.tried.back());
        EXPECT_EQ(settings.MinLevel(), 25);
        EXPECT_EQ(settings.MaxLevel(), 95);
        EXPECT_EQ(settings.CurrentLevel(), 40);
    }
}

TEST(ReadCoolerSettings, AfterThreeFailuresTheRecordShowsAStoppedFanWithTheFullRange) {
    SimCard card("fan_manual = 40\n", "fail = CoolerSettingsRead -104\nerror = -104 no cooler\n");
    NvCoolerSettings settings{};
    settings.SetCurrentLevel(40);
    settings.SetMinLevel(30);
    settings.SetMaxLevel(90);
    testing::internal::CaptureStdout();
    EXPECT_EQ(card.gpu.ReadCoolerSettings(settings, kSelectedGpu), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), Repeated("Get current state  no cooler\n", 3));
    EXPECT_EQ(card.sim.CallCount(QueryId::GetCoolerSettings), 3u);
    EXPECT_EQ(settings.CurrentLevel(), 0);
    EXPECT_EQ(settings.MinLevel(), 0);
    EXPECT_EQ(settings.MaxLevel(), 100);
    EXPECT_STREQ(card.gpu.errorText, "no cooler");
}

TEST(ReadCoolerSettings, TheFirstLayoutCarriesTheSpeedReadings) {
    SimCard card("fan_manual = 50\nfan_full_rpm = 4000\n");
    NvCoolerSettings settings{};
    ASSERT_EQ(card.gpu.ReadCoolerSettings(settings, kSelectedGpu), 0);
    EXPECT_EQ(settings.SpeedReading(), 2000u);
    EXPECT_TRUE(settings.SpeedReadingPresent());
    EXPECT_EQ(settings.FullSpeedReading(), 4000u);

    SimCard older("fan_manual = 50\ncooler_settings = 2\n");
    std::fill(std::begin(settings.bytes), std::end(settings.bytes), 0xEE);
    testing::internal::CaptureStdout();
    ASSERT_EQ(older.gpu.ReadCoolerSettings(settings, kSelectedGpu), 0);
    testing::internal::GetCapturedStdout();
    // The driver fills the 968 bytes it was given and nothing beyond them.
    EXPECT_EQ(settings.SpeedReading(), 0u);
    EXPECT_EQ(settings.U8(967), 0);
    EXPECT_EQ(settings.U8(968), 0xEE);
}

TEST(ReadFanLevel, StoresAndReturnsTheLevelOrReturns0AndKeepsTheOldOne) {
    SimCard card("fan_manual = 64\n");
    EXPECT_EQ(card.gpu.ReadFanLevel(), 64);
    EXPECT_EQ(card.gpu.fanLevel, 64);
    EXPECT_EQ(card.gpu.coolerSettings.CurrentLevel(), 64);

    card.sim.FailAlways(QueryId::GetCoolerSettings, NvStatus::Error);
    testing::internal::CaptureStdout();
    EXPECT_EQ(card.gpu.ReadFanLevel(), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(card.gpu.fanLevel, 64);
}

TEST(SetCoolerLevel, SendsTheFirstCoolersPairInTheSecondLayoutWhenTheFirstIsRejected) {
    SimCard card("cooler_levels = small\n");
    card.gpu.SetCoolerLevel(kCoolerPolicyManual, 70, kSelectedGpu);

    auto calls = card.sim.Calls(QueryId::SetCoolerLevels);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].version, kLevelsLarge);
    EXPECT_EQ(calls[0].status, NvStatus::IncompatibleStructVersion);
    EXPECT_EQ(calls[1].version, kLevelsSmall);
    EXPECT_EQ(calls[1].status, NvStatus::Ok);
    ASSERT_EQ(calls[1].received.size(), 28u);
    EXPECT_EQ(SignedAt(calls[1].received, 4), 70);
    EXPECT_EQ(SignedAt(calls[1].received, 8), 1);
    for (size_t offset = 12; offset < 28; offset += 4) EXPECT_EQ(WordAt(calls[1].received, offset), 0u);
    EXPECT_EQ(card.gpu.fanLevel, 70);
    EXPECT_EQ(card.gpu.status, NvStatus::Ok);
}

TEST(SetCoolerLevel, ARejectedLevelChangesNothing) {
    SimCard card("fan_manual = 45\n", "fail = CoolerLevelsWrite -104\n");
    card.gpu.fanLevel = 45;
    card.gpu.SetCoolerLevel(kCoolerPolicyManual, 80, kSelectedGpu);
    EXPECT_EQ(card.sim.CallCount(QueryId::SetCoolerLevels), 2u);
    EXPECT_EQ(card.gpu.fanLevel, 45);
    EXPECT_EQ(card.gpu.status, NvStatus::NotSupported);
    EXPECT_EQ(card.Gpu().state.Get<SimFan>().heldLevel, 45);
}

TEST(SimCooler, TheFanHoldsAManualLevelAndReturnsToTheAutomaticCurve) {
    // Automatic: 30 % up to 40 °C, 100 % from 80 °C; the card starts at 60 °C.
    SimCard card("fan_auto = 40 30 80 100\nfan_range = 20 100\ntemperature_c = 60\nload = 0 0\n");
    EXPECT_EQ(card.gpu.ReadFanLevel(), 65);

    card.gpu.SetCoolerLevel(kCoolerPolicyManual, 90, kSelectedGpu);
    EXPECT_EQ(card.gpu.ReadFanLevel(), 90);
    EXPECT_EQ(card.gpu.coolerSettings.SpeedReading(), 90u * 3800 / 100);
    card.gpu.SetCoolerLevel(kCoolerPolicyManual, 10, kSelectedGpu);  // below the card's lowest level
    EXPECT_EQ(card.gpu.ReadFanLevel(), 20);

    card.gpu.SetCoolerLevel(kCoolerPolicyAuto, 20, kSelectedGpu);
    EXPECT_EQ(card.gpu.ReadFanLevel(), 65);
    // Idle, the card cools down and the automatic fan slows with it.
    card.Advance(10 * 60 * 1000);
    EXPECT_EQ(card.gpu.ReadFanLevel(), 30);
}

TEST(SimCooler, LevelsOutsideWhatTheDriverTakesAreRefused) {
    SimCard card("");
    NvApi api(card.sim.QueryInterface());
    struct Case {
        int32_t level, policy;
        uint32_t cooler;
        int32_t status;
    } cases[] = {
        {101, 1, 7, NvStatus::InvalidArgument},
        {-1, 1, 7, NvStatus::InvalidArgument},
        {50, 2, 7, NvStatus::InvalidArgument},
        {50, 1, 3, NvStatus::InvalidArgument},
        {50, 1, 0, NvStatus::Ok},
    };
    for (const Case& c : cases) {
        NvCoolerLevels levels{};
        levels.SetVersion(NvCoolerLevels::kVersionLarge);
        levels.SetCooler(0, c.level, c.policy);
        EXPECT_EQ(api.SetCoolerLevels(card.sim.GpuHandle(0), c.cooler, &levels), c.status)
            << c.level << " " << c.policy << " " << c.cooler;
    }
}

TEST(SimCooler, ScenarioLinesAreChecked) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"cooler_settings = 3", "line 2: cooler_settings: expected layout versions out of '4 2 1'"},
        {"cooler_levels = medium", "line 2: cooler_levels: expected layouts out of 'large small'"},
        {"fan_range = 80 20", "line 2: fan_range: the lowest level is above the highest"},
        {"fan_range = 0 101", "line 2: fan_range: expected 2 numbers from 0 to 100"},
        {"fan_auto = 80 30 40 100",
         "line 2: fan_auto: expected '<low °C> <level> <high °C> <level>' with low below high and levels up "
         "to "
         "100"},
        {"fan_manual = 50 50", "line 2: fan_manual: expected 1 number from 0 to 100"},
    };
    for (const Case& c : cases) {
        SimScenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(std::string("[gpu]\n") + c.line + "\n", scenario, error)) << c.line;
        EXPECT_EQ(error, c.error);
    }
}
