#pragma once
#include <cstdint>

// The record versions the simulated driver accepts, written from the driver's documented facts
// rather than from the program's record declarations, so a layout mistake in the program shows up
// as a rejected call. Records holding pointers are larger on 64-bit, and so are their versions.
namespace SimVersion {

constexpr bool k64Bit = sizeof(void*) == 8;

constexpr uint32_t DisplayDriverVersion = 0x0001008C;

constexpr uint32_t Pstates20V1 = 0x00011C94;
constexpr uint32_t Pstates20V2 = 0x00021CF8;
constexpr uint32_t Pstates20V3 = 0x00031CF8;
constexpr uint32_t VfDomainInfo = 0x00010928;
constexpr uint32_t VfPointInfo = 0x0001182C;
constexpr uint32_t VfPointControl = 0x00012420;
constexpr uint32_t VoltBoost = 0x00010028;

constexpr uint32_t PowerPolicyInfo = 0x000100B8;
constexpr uint32_t PowerPolicyStatus = 0x00010048;
constexpr uint32_t ThermalPolicyInfo = 0x00020068;
constexpr uint32_t ThermalPolicyStatus = 0x00020038;

constexpr uint32_t CoolerSettingsV4 = 0x00040558;
constexpr uint32_t CoolerSettingsV2 = 0x000203C8;
constexpr uint32_t CoolerSettingsV1 = 0x000103C8;
constexpr uint32_t CoolerLevelsLarge = 0x000100A4;
constexpr uint32_t CoolerLevelsSmall = 0x0001001C;

constexpr uint32_t ThermalSettingsV1 = 0x00010044;
constexpr uint32_t ThermalSettingsV2 = 0x00020044;
constexpr uint32_t ClockFrequenciesV1 = 0x00010108;
constexpr uint32_t ClockFrequenciesV2 = 0x00020108;
constexpr uint32_t ClockFrequenciesV3 = 0x00030108;
constexpr uint32_t DynamicPstatesInfoEx = 0x00010048;
constexpr uint32_t VoltageStatus = 0x0001008C;

// I2C: two pointers; 64-bit sizes 48, 56 and 64 bytes.
constexpr uint32_t I2cInfoV1 = k64Bit ? 0x00010030 : 0x00010020;
constexpr uint32_t I2cInfoV2 = k64Bit ? 0x00020038 : 0x00020024;
constexpr uint32_t I2cInfoV3 = k64Bit ? 0x00030040 : 0x0003002C;

constexpr uint32_t GpuDisplayIds = 0x00030010;
constexpr uint32_t TimingInput = 0x00010020;
constexpr uint32_t CustomDisplay = 0x00010090;
// Path info: three pointers; 48 bytes on 64-bit. Target details hold no pointer.
constexpr uint32_t PathInfoV2 = k64Bit ? 0x00020030 : 0x0002001C;
constexpr uint32_t PathAdvancedTargetInfo = 0x00010080;

}  // namespace SimVersion
