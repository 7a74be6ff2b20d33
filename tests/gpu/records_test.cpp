#include <gtest/gtest.h>

#include "gpu/NvApi.h"
#include "sim/SimVersions.h"

// The program's record declarations and the simulator's table of driver facts are written
// independently; a version word the two disagree on would be rejected by the driver.
TEST(Records, VersionWordsAgreeWithTheDriversFacts) {
    struct Case {
        const char* record;
        uint32_t program;
        uint32_t driver;
    } cases[] = {
        {"p-states v1", kPstates20InfoVer1, SimVersion::Pstates20V1},
        {"p-states v2", kPstates20InfoVer2, SimVersion::Pstates20V2},
        {"p-states v3", kPstates20InfoVer3, SimVersion::Pstates20V3},
        {"V/F domains", NvVfDomainInfo::kVersion, SimVersion::VfDomainInfo},
        {"V/F points", NvVfPointInfo::kVersion, SimVersion::VfPointInfo},
        {"V/F control", NvVfPointControl::kVersion, SimVersion::VfPointControl},
        {"volt boost", NvVoltBoost::kVersion, SimVersion::VoltBoost},
        {"power info", NvPowerPolicyInfo::kVersion, SimVersion::PowerPolicyInfo},
        {"power status", NvPowerPolicyStatus::kVersion, SimVersion::PowerPolicyStatus},
        {"thermal info", NvThermalPolicyInfo::kVersion, SimVersion::ThermalPolicyInfo},
        {"thermal status", NvThermalPolicyStatus::kVersion, SimVersion::ThermalPolicyStatus},
        {"cooler settings v4", NvCoolerSettings::kVersion4, SimVersion::CoolerSettingsV4},
        {"cooler settings v2", NvCoolerSettings::kVersion2, SimVersion::CoolerSettingsV2},
        {"cooler settings v1", NvCoolerSettings::kVersion1, SimVersion::CoolerSettingsV1},
        {"cooler levels large", NvCoolerLevels::kVersionLarge, SimVersion::CoolerLevelsLarge},
        {"cooler levels small", NvCoolerLevels::kVersionSmall, SimVersion::CoolerLevelsSmall},
        {"thermal settings v1", kThermalSettingsVer1, SimVersion::ThermalSettingsV1},
        {"thermal settings v2", kThermalSettingsVer2, SimVersion::ThermalSettingsV2},
        {"clocks v1", kClockFrequenciesVer1, SimVersion::ClockFrequenciesV1},
        {"clocks v2", kClockFrequenciesVer2, SimVersion::ClockFrequenciesV2},
        {"clocks v3", kClockFrequenciesVer3, SimVersion::ClockFrequenciesV3},
        {"dynamic p-states", kDynamicPstatesInfoExVer, SimVersion::DynamicPstatesInfoEx},
        {"voltage status", NvVoltageStatus::kVersion, SimVersion::VoltageStatus},
        {"I2C v1", kI2cInfoVer1, SimVersion::I2cInfoV1},
        {"I2C v2", kI2cInfoVer2, SimVersion::I2cInfoV2},
        {"I2C v3", kI2cInfoVer3, SimVersion::I2cInfoV3},
        {"display ids", kGpuDisplayIdsVer, SimVersion::GpuDisplayIds},
        {"timing input", kTimingInputVer, SimVersion::TimingInput},
        {"custom display", kCustomDisplayVer, SimVersion::CustomDisplay},
        {"path info", kPathInfoVer, SimVersion::PathInfoV2},
        {"target details", kPathAdvancedTargetInfoVer, SimVersion::PathAdvancedTargetInfo},
        {"driver version", kDisplayDriverVersionVer, SimVersion::DisplayDriverVersion},
    };
    for (const auto& c : cases) EXPECT_EQ(c.program, c.driver) << c.record;
}

TEST(Records, ByteRecordsIgnoreOffsetsPastTheirEnd) {
    NvPowerPolicyStatus status{};
    status.Clear();
    status.SetTarget(NvPowerPolicyStatus::kMaxEntries, 123);  // one past the last entry
    status.SetU32(70, 0xFFFFFFFF);                            // straddles the end
    EXPECT_EQ(status.Target(NvPowerPolicyStatus::kMaxEntries), 0);
    EXPECT_EQ(status.U32(70), 0u);
    for (uint8_t byte : status.bytes) EXPECT_EQ(byte, 0);
}
