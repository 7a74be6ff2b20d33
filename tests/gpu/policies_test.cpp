#include <gtest/gtest.h>

#include <string>

#include "JournalBytes.h"
#include "SimCard.h"
#include "sim/SimPolicies.h"

namespace {

// Status record offsets as the driver documents them.
constexpr size_t kCount = 4;
constexpr size_t PowerEntry(size_t i) {
    return 8 + 16 * i;
}
constexpr size_t ThermalEntry(size_t i) {
    return 8 + 12 * i;
}

const char* const kTwoPowerPolicies =
    "power_policy = 0 50000 100000 120000\n"
    "power_policy = 1 60000 95000 110000\n";

}  // namespace

TEST(PowerTarget, TwoEntriesGiveTheSecondsLimitsAndAStatusReadForBoth) {
    SimCard card(kTwoPowerPolicies);
    GpuPerfInfo info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadPowerTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(info.powerTargetMin, 60000);
    EXPECT_EQ(info.powerTargetDefault, 95000);
    EXPECT_EQ(info.powerTargetMax, 110000);
    EXPECT_EQ(info.powerTarget, 95000);

    auto reads = card.sim.Calls(QueryId::GetPowerPolicyStatus);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].received[kCount], 2);
    EXPECT_EQ(WordAt(reads[0].received, PowerEntry(0)), 0u);
    EXPECT_EQ(WordAt(reads[0].received, PowerEntry(1)), 1u);
}

TEST(PowerTarget, AWrittenTargetIsOneEntryForPstate0AndReadsBack) {
    SimCard card("power_policy = 0 50000 100000 120000\n");
    GpuPerfInfo info = UntouchedInfo();
    info.powerTarget = 112000;
    EXPECT_EQ(card.gpu.WritePowerTarget(kSelectedGpu, info), 0);

    auto writes = card.sim.Calls(QueryId::SetPowerPolicyStatus);
    ASSERT_EQ(writes.size(), 1u);
    const auto& sent = writes[0].received;
    EXPECT_EQ(sent[kCount], 1);
    EXPECT_EQ(WordAt(sent, PowerEntry(0)), 0u);
    EXPECT_EQ(WordAt(sent, PowerEntry(0) + 4), 0u);
    EXPECT_EQ(SignedAt(sent, PowerEntry(0) + 8), 112000);
    EXPECT_EQ(WordAt(sent, PowerEntry(1) + 8), 0u);

    GpuPerfInfo read = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadPowerTarget(kSelectedGpu, read), 0);
    EXPECT_EQ(read.powerTarget, 112000);

    info.powerTarget = 130000;  // above the maximum: the driver refuses it
    EXPECT_EQ(card.gpu.WritePowerTarget(kSelectedGpu, info), 1);
    EXPECT_EQ(card.gpu.status, NvStatus::InvalidArgument);
    EXPECT_EQ(card.gpu.ReadPowerTarget(kSelectedGpu, read), 0);
    EXPECT_EQ(read.powerTarget, 112000);
}

TEST(PowerTarget, AFailedReadReturns1AndLeavesEveryFieldAlone) {
    struct Case {
        const char* gpuKeys;
        const char* driverKeys;
    } cases[] = {
        {"", "fail = PowerPolicyInfoRead -104\n"},
        {"power_policy_valid = no\n", ""},
        {"", "fail = PowerPolicyStatusRead -1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.gpuKeys) + c.driverKeys);
        SimCard card(c.gpuKeys, c.driverKeys);
        GpuPerfInfo info = UntouchedInfo();
        EXPECT_EQ(card.gpu.ReadPowerTarget(kSelectedGpu, info), 1);
        EXPECT_EQ(info.powerTarget, kUntouched);
        EXPECT_EQ(info.powerTargetMin, kUntouched);
        EXPECT_EQ(info.powerTargetMax, kUntouched);
        EXPECT_EQ(info.powerTargetDefault, kUntouched);
    }
}

TEST(PowerTarget, AWriteNeedsValidInformationAndReportsTheDriversAnswer) {
    struct Case {
        const char* gpuKeys;
        const char* driverKeys;
        size_t writes;
    } cases[] = {
        {"", "fail = PowerPolicyInfoRead -104\n", 0},
        {"power_policy_valid = no\n", "", 0},
        {"", "fail = PowerPolicyStatusWrite -1\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.gpuKeys) + c.driverKeys);
        SimCard card(c.gpuKeys, c.driverKeys);
        GpuPerfInfo info = UntouchedInfo();
        info.powerTarget = 100000;
        EXPECT_EQ(card.gpu.WritePowerTarget(kSelectedGpu, info), 1);
        EXPECT_EQ(card.sim.CallCount(QueryId::SetPowerPolicyStatus), c.writes);
    }
}

TEST(TempTarget, DegreesTravelAsDriverUnitsTruncatedTowardZero) {
    SimCard card("thermal_policy = 1 -300 21248 23000\n");
    GpuPerfInfo info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadTempTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(info.tempTargetMin, -1);
    EXPECT_EQ(info.tempTargetDefault, 83);
    EXPECT_EQ(info.tempTargetMax, 89);
    EXPECT_EQ(info.tempTarget, 83);

    info.tempTarget = 83;
    EXPECT_EQ(card.gpu.WriteTempTarget(kSelectedGpu, info), 0);
    auto writes = card.sim.Calls(QueryId::SetThermalPolicyStatus);
    ASSERT_EQ(writes.size(), 1u);
    const auto& sent = writes[0].received;
    EXPECT_EQ(sent[kCount], 1);
    EXPECT_EQ(WordAt(sent, ThermalEntry(0)), 1u);
    EXPECT_EQ(SignedAt(sent, ThermalEntry(0) + 4), 21248);
    EXPECT_EQ(sent[ThermalEntry(0) + 8], 0);
}

TEST(TempTarget, OnlyTheGpuControllerCountsAndAFailedStatusReadKeepsTheLimits) {
    SimCard card(
        "thermal_policy = 2 0 25600 30000\n"
        "thermal_policy = 1 15360 21248 23552\n",
        "fail = ThermalPolicyStatusRead -1 1\n");
    GpuPerfInfo info = UntouchedInfo();
    EXPECT_EQ(card.gpu.ReadTempTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(info.tempTargetMin, 60);
    EXPECT_EQ(info.tempTargetDefault, 83);
    EXPECT_EQ(info.tempTargetMax, 92);
    EXPECT_EQ(info.tempTarget, kUntouched);

    EXPECT_EQ(card.gpu.ReadTempTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(info.tempTarget, 83);
    auto reads = card.sim.Calls(QueryId::GetThermalPolicyStatus);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[1].received[kCount], 2);
    EXPECT_EQ(WordAt(reads[1].received, ThermalEntry(0)), 2u);
    EXPECT_EQ(WordAt(reads[1].received, ThermalEntry(1)), 1u);
}

TEST(TempTarget, WithoutTheGpuControllerNothingIsWritten) {
    SimCard card("thermal_policy = 2 0 25600 30000\n");
    GpuPerfInfo info = UntouchedInfo();
    info.tempTarget = 80;
    EXPECT_EQ(card.gpu.WriteTempTarget(kSelectedGpu, info), 1);
    EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, 1), 1);
    EXPECT_EQ(card.sim.CallCount(QueryId::SetThermalPolicyStatus), 0u);

    SimCard invalid("thermal_policy_valid = no\n");
    EXPECT_EQ(invalid.gpu.ReadTempTarget(kSelectedGpu, info), 1);
    EXPECT_EQ(invalid.gpu.WriteTempTarget(kSelectedGpu, info), 1);
    EXPECT_EQ(invalid.sim.CallCount(QueryId::SetThermalPolicyStatus), 0u);
}

TEST(TempPriority, ChangesOnlyThePriorityBitAndAWrittenTargetClearsIt) {
    SimCard card("thermal_policy = 1 15360 21248 23552\n");
    SimThermalPolicy& policy = card.Gpu().state.Get<SimPolicies>().thermal[0];
    policy.flags = 0x06;
    policy.target = 85 * 256 + 100;

    EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, 1), 0);
    EXPECT_EQ(policy.flags, 0x07);
    EXPECT_EQ(policy.target, 85 * 256 + 100);
    auto writes = card.sim.Calls(QueryId::SetThermalPolicyStatus);
    ASSERT_EQ(writes.size(), 1u);
    const auto& sent = writes[0].received;
    EXPECT_EQ(sent[kCount], 1);
    EXPECT_EQ(WordAt(sent, ThermalEntry(0)), 1u);

    EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, 0), 0);
    EXPECT_EQ(policy.flags, 0x06);

    EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, 1), 0);
    GpuPerfInfo info = UntouchedInfo();
    info.tempTarget = 80;
    EXPECT_EQ(card.gpu.WriteTempTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(policy.flags, 0);
    EXPECT_EQ(policy.target, 80 * 256);
}

TEST(TempPriority, TheGpuControllersEntryIsWrittenWhenTheDriverListsAnotherControllerFirst) {
    SimCard card("thermal_policy = 2 0 25600 30000\nthermal_policy = 1 15360 21248 23552\n");
    GpuPerfInfo info = UntouchedInfo();
    info.tempTarget = 80;
    ASSERT_EQ(card.gpu.WriteTempTarget(kSelectedGpu, info), 0);
    EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, 1), 0);

    auto writes = card.sim.Calls(QueryId::SetThermalPolicyStatus);
    ASSERT_EQ(writes.size(), 2u);
    const auto& sent = writes[1].received;
    EXPECT_EQ(sent[kCount], 1);
    EXPECT_EQ(WordAt(sent, ThermalEntry(0)), 1u);
    EXPECT_EQ(SignedAt(sent, ThermalEntry(0) + 4), 80 * 256) << "another controller's target sent as the GPU's";
    EXPECT_EQ(sent[ThermalEntry(0) + 8] & 1, 1);
    const auto& policies = card.Gpu().state.Get<SimPolicies>().thermal;
    EXPECT_EQ(policies[1].target, 80 * 256) << "the user's target was overwritten";
    EXPECT_EQ(policies[1].flags & 1, 1);
    EXPECT_EQ(policies[0].target, 25600) << "the other controller is left alone";
}

TEST(TempPriority, AFlagOtherThan0Or1Returns1WithoutAWrite) {
    SimCard card("");
    for (int flag : {2, -1}) {
        EXPECT_EQ(card.gpu.WriteTempPriority(kSelectedGpu, flag), 1) << flag;
    }
    EXPECT_EQ(card.sim.CallCount(QueryId::SetThermalPolicyStatus), 0u);

    SimCard failing("", "fail = ThermalPolicyStatusRead -1\n");
    EXPECT_EQ(failing.gpu.WriteTempPriority(kSelectedGpu, 1), 1);
    EXPECT_EQ(failing.sim.CallCount(QueryId::SetThermalPolicyStatus), 0u);
}

TEST(SimPolicies, ScenarioLinesAreChecked) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"power_policy = 0 3 2 1",
         "line 3: power_policy: expected '<id> <minimum> <default> <maximum>' with minimum <= default <= "
         "maximum"},
        {"thermal_policy = 1 2 3",
         "line 3: thermal_policy: expected '<id> <minimum> <default> <maximum>' with minimum <= default <= "
         "maximum"},
        {"thermal_policy = 1 0 1 2\nthermal_policy = 1 0 1 2",
         "line 4: thermal_policy: controller 1 given twice"},
        {"power_policy_valid = perhaps", "line 3: power_policy_valid: bad yes/no value 'perhaps'"},
    };
    for (const Case& c : cases) {
        SimScenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(std::string("\n[gpu]\n") + c.line + "\n", scenario, error)) << c.line;
        EXPECT_EQ(error, c.error);
    }
}
