#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JournalBytes.h"
#include "SimCard.h"
#include "sim/SimTuning.h"

namespace {

constexpr uint32_t kThermalV2 = 0x00020044;
constexpr uint32_t kThermalV1 = 0x00010044;
constexpr uint32_t kClocksV3 = 0x00030108;
constexpr uint32_t kClocksV2 = 0x00020108;
constexpr uint32_t kClocksV1 = 0x00010108;

struct Attempt {
    uint32_t version;
    uint32_t clockType;
    bool operator==(const Attempt&) const = default;
};

std::vector<Attempt> ClockAttempts(const SimDriver& sim) {
    std::vector<Attempt> attempts;
    for (const auto& call : sim.Calls(QueryId::GetAllClockFrequencies)) {
        attempts.push_back({call.version, WordAt(call.received, 4)});
    }
    return attempts;
}

}  // namespace

TEST(ReadTemperature, FallsBackToVersion1AfterOneDiagnostic) {
    SimCard card("temperature_c = 57\n", "reject = NvAPI_GPU_GetThermalSettings 00020044\n");
    int temperature = -1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Get current state  NVAPI_INCOMPATIBLE_STRUCT_VERSION\n");
    EXPECT_EQ(temperature, 57);
    EXPECT_EQ(card.gpu.lastTemperature, 57);
    auto calls = card.sim.Calls(QueryId::GetThermalSettings);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].version, kThermalV2);
    EXPECT_EQ(calls[1].version, kThermalV1);
}

TEST(ReadTemperature, AFailureSetsTheReadingTo0AfterEachAttempt) {
    SimCard card("temperature_c = 57\n", "fail = NvAPI_GPU_GetThermalSettings -104\n");
    int temperature = 57;
    card.gpu.lastTemperature = 57;
    testing::internal::CaptureStdout();
    EXPECT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Get current state  NVAPI_NOT_SUPPORTED\nGet current state  NVAPI_NOT_SUPPORTED\n");
    EXPECT_EQ(temperature, 0);
    EXPECT_EQ(card.gpu.lastTemperature, 0);
}

TEST(SimSensors, TheTemperatureRisesUnderLoadAndFallsWithMoreFan) {
    // Ambient 30 °C, rise 10 °C idle + 60 °C at full load, a full fan removes half of it.
    SimCard card("temperature_c = 40\nload = 100 40\nfan_manual = 30\n");
    int temperature = 0;
    ASSERT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 0);
    EXPECT_EQ(temperature, 40);

    card.Advance(20 * 1000);  // one time constant: about two thirds of the way to 89.5 °C
    ASSERT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 0);
    EXPECT_NEAR(temperature, 71, 1);
    card.Advance(10 * 60 * 1000);
    ASSERT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 0);
    EXPECT_NEAR(temperature, 89, 1);

    card.gpu.SetCoolerLevel(kCoolerPolicyManual, 100, kSelectedGpu);
    card.Advance(10 * 60 * 1000);
    ASSERT_EQ(card.gpu.ReadTemperature(temperature, kSelectedGpu), 0);
    EXPECT_EQ(temperature, 65);
}

TEST(SimSensors, AnUndisturbedCardStaysWhereItSettled) {
    SimCard card("load = 20 10\n");
    int before = 0, after = 0;
    ASSERT_EQ(card.gpu.ReadTemperature(before, kSelectedGpu), 0);
    card.Advance(60 * 60 * 1000);
    ASSERT_EQ(card.gpu.ReadTemperature(after, kSelectedGpu), 0);
    EXPECT_EQ(after, before);
    EXPECT_GT(before, 30);
}

TEST(ReadCurrentClocks, ClocksFollowLoadAndTheTuningOffsets) {
    SimCard card("clocks_base = 1500000 5000000\nclocks_boost = 1700000 5000000\nload = 50 10\n");
    GpuPerfInfo info = UntouchedInfo();
    ASSERT_EQ(card.gpu.ReadCurrentClocks(kSelectedGpu, info), 0);
    EXPECT_EQ(info.graphicsClock, 1600000);
    EXPECT_EQ(info.memoryClock, 5000000);
    EXPECT_EQ(info.graphicsBaseClock, kUntouched);

    SimTuning& tuning = card.Gpu().state.Get<SimTuning>();
    tuning.graphicsOffsetKhz = 100000;
    tuning.memoryOffsetKhz = -250000;
    ASSERT_EQ(card.gpu.ReadCurrentClocks(kSelectedGpu, info), 0);
    EXPECT_EQ(info.graphicsClock, 1700000);
    EXPECT_EQ(info.memoryClock, 4750000);
    EXPECT_EQ(ClockAttempts(card.sim), (std::vector<Attempt>{{kClocksV3, 0}, {kClocksV3, 0}}));
}

TEST(ReadCurrentClocks, TriesVersions321AndReturns1WhenAllFail) {
    SimCard card("clocks_base = 1500000 5000000\n",
                 "reject = NvAPI_GPU_GetAllClockFrequencies 00030108\n"
                 "reject = NvAPI_GPU_GetAllClockFrequencies 00020108\n");
    GpuPerfInfo info = UntouchedInfo();
    ASSERT_EQ(card.gpu.ReadCurrentClocks(kSelectedGpu, info), 0);
    EXPECT_EQ(info.graphicsClock, 1500000 + (1733000 - 1500000) * 10 / 100);
    EXPECT_EQ(ClockAttempts(card.sim),
              (std::vector<Attempt>{{kClocksV3, 0}, {kClocksV2, 0}, {kClocksV1, 0}}));

    card.sim.RejectVersion(QueryId::GetAllClockFrequencies, kClocksV1);
    info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadCurrentClocks(kSelectedGpu, info), 1);
    EXPECT_EQ(info.graphicsClock, kUntouched);
    EXPECT_EQ(info.memoryClock, kUntouched);
}

TEST(ReadBaseBoostClocks, BaseUnavailableButBoostAvailable) {
    // Version 1 has no clock type and would answer the current clocks; this driver is newer.
    SimCard card("clocks_base = none\nclocks_boost = 1700000 5005000\n",
                 "reject = NvAPI_GPU_GetAllClockFrequencies 00010108\n");
    card.Gpu().state.Get<SimTuning>().graphicsOffsetKhz = 50000;
    GpuPerfInfo info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadBaseBoostClocks(kSelectedGpu, info), 0);
    EXPECT_EQ(info.graphicsBaseClock, 0);
    EXPECT_EQ(info.memoryBaseClock, 0);
    EXPECT_EQ(info.graphicsBoostClock, 1750000);
    EXPECT_EQ(info.memoryBoostClock, 5005000);
    EXPECT_EQ(info.graphicsClock, kUntouched);
    EXPECT_EQ(ClockAttempts(card.sim),
              (std::vector<Attempt>{{kClocksV3, 1}, {kClocksV2, 1}, {kClocksV1, 1}, {kClocksV3, 2}}));
}

TEST(ReadBaseBoostClocks, BothReadsAndTheBoostFailure) {
    SimCard card("clocks_base = 1500000 5000000\nclocks_boost = 1700000 5005000\n");
    GpuPerfInfo info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadBaseBoostClocks(kSelectedGpu, info), 0);
    EXPECT_EQ(info.graphicsBaseClock, 1500000);
    EXPECT_EQ(info.memoryBaseClock, 5000000);
    EXPECT_EQ(info.graphicsBoostClock, 1700000);

    card.sim.FailAlways(QueryId::GetAllClockFrequencies, NvStatus::NotSupported);
    info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadBaseBoostClocks(kSelectedGpu, info), 1);
    EXPECT_EQ(info.graphicsBaseClock, 0);
    EXPECT_EQ(info.memoryBoostClock, 0);
}

TEST(ReadCoreVoltage, TakesTheLastEntryAndKeepsTheFieldWithoutOne) {
    struct Case {
        const char* keys;
        const char* driverKeys;
        int32_t overVolt;
        int result;
        int32_t coreVoltage;
    } cases[] = {
        {"core_voltage_uv = 850000 1050000\n", "", 0, 0, 1050000},
        {"core_voltage_uv = 1000000\n", "", 25000, 0, 1025000},
        {"core_voltage_uv = none\n", "", 0, 0, kUntouched},
        {"", "fail = VoltageStatusRead -104\n", 0, 1, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + c.driverKeys);
        SimCard card(c.keys, c.driverKeys);
        card.Gpu().state.Get<SimTuning>().overVoltUv = c.overVolt;
        GpuPerfInfo info = UntouchedInfo();
        EXPECT_EQ(card.gpu.ReadCoreVoltage(kSelectedGpu, info), c.result);
        EXPECT_EQ(info.coreVoltage, c.coreVoltage);
    }
}

TEST(ReadUtilization, FillsWhatIsPresentAndFailsWhenNothingIs) {
    struct Case {
        const char* reported;
        int result;
        int32_t gpuLoad, memoryLoad;
    } cases[] = {
        {"gpu fb", 0, 37, 12},
        {"fb", 0, kUntouched, 12},
        {"gpu", 0, 37, kUntouched},
        {"none", 1, kUntouched, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        SimCard card(std::string("load = 37 12\nload_reported = ") + c.reported + "\n");
        GpuPerfInfo info = UntouchedInfo();
        EXPECT_EQ(card.gpu.ReadUtilization(kSelectedGpu, info), c.result);
        EXPECT_EQ(info.gpuLoad, c.gpuLoad);
        EXPECT_EQ(info.memoryLoad, c.memoryLoad);
    }
}

TEST(SimSensors, ASwingingLoadFollowsItsWave) {
    SimCard card("load = 50 10\nload_swing = 40 8000\n");
    GpuPerfInfo info = UntouchedInfo();
    std::vector<int32_t> loads;
    for (int quarter = 0; quarter < 4; ++quarter) {
        ASSERT_EQ(card.gpu.ReadUtilization(kSelectedGpu, info), 0);
        loads.push_back(info.gpuLoad);
        card.Advance(2000);
    }
    EXPECT_EQ(loads, (std::vector<int32_t>{50, 90, 50, 10}));
}

TEST(SimSensors, ScenarioLinesAreChecked) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"[gpu]\nload = 101 0", "line 2: load: expected 2 numbers from 0 to 100"},
        {"[gpu]\nload_reported = gpu none", "line 2: load_reported: expected 'gpu', 'fb', both, or 'none'"},
        {"[gpu]\nload_swing = 150 1000",
         "line 2: load_swing: expected '<amplitude percent up to 100> <period ms>'"},
        {"[gpu]\ncore_voltage_uv = ", "line 2: core_voltage_uv: expected 1 to 16 numbers from 0 to 5000000"},
        {"[gpu]\nthermal_time_ms = 0", "line 2: thermal_time_ms: expected 1 number from 1 to 86400000"},
        {"[driver]\ntime = later", "line 2: time: expected 'steady' or 'frozen'"},
    };
    for (const Case& c : cases) {
        SimScenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(std::string(c.line) + "\n", scenario, error)) << c.line;
        EXPECT_EQ(error, c.error);
    }
}
