#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvByteRecord.h"
#include "gpu/NvTypes.h"

// Sensor selector of NvAPI_GPU_GetThermalSettings: all sensors.
constexpr uint32_t kThermalTargetAll = 15;
constexpr uint32_t kMaxThermalSensorsPerGpu = 3;

// Versions 1 and 2 share this layout (version 1 reads the temperatures as unsigned).
struct NV_GPU_THERMAL_SETTINGS {
    uint32_t version;
    uint32_t count;
    struct {
        int32_t controller;
        int32_t defaultMinTemp;
        int32_t defaultMaxTemp;
        int32_t currentTemp;  // °C
        int32_t target;
    } sensor[kMaxThermalSensorsPerGpu];
};
static_assert(sizeof(NV_GPU_THERMAL_SETTINGS) == 68);
static_assert(offsetof(NV_GPU_THERMAL_SETTINGS, sensor) == 8);
static_assert(offsetof(NV_GPU_THERMAL_SETTINGS, sensor[0].currentTemp) == 20);
static_assert(offsetof(NV_GPU_THERMAL_SETTINGS, sensor[1]) == 28);

constexpr uint32_t kThermalSettingsVer1 = NvVersionOf<NV_GPU_THERMAL_SETTINGS>(1);
constexpr uint32_t kThermalSettingsVer2 = NvVersionOf<NV_GPU_THERMAL_SETTINGS>(2);
static_assert(kThermalSettingsVer1 == 0x00010044);
static_assert(kThermalSettingsVer2 == 0x00020044);

constexpr uint32_t kMaxGpuPublicClocks = 32;
constexpr uint32_t kClockTypeCurrent = 0;
constexpr uint32_t kClockTypeBase = 1;
constexpr uint32_t kClockTypeBoost = 2;

// One layout for versions 1 to 3; version 1 ignores the clock type (bits 0-3 of clockType).
struct NV_GPU_CLOCK_FREQUENCIES {
    uint32_t version;
    uint32_t clockType;
    struct {
        uint32_t flags;      // bit 0: domain present
        uint32_t frequency;  // kHz
    } domain[kMaxGpuPublicClocks];
};
static_assert(sizeof(NV_GPU_CLOCK_FREQUENCIES) == 264);
static_assert(offsetof(NV_GPU_CLOCK_FREQUENCIES, domain) == 8);
static_assert(offsetof(NV_GPU_CLOCK_FREQUENCIES, domain[4].frequency) == 44);

constexpr uint32_t kClockFrequenciesVer1 = NvVersionOf<NV_GPU_CLOCK_FREQUENCIES>(1);
constexpr uint32_t kClockFrequenciesVer2 = NvVersionOf<NV_GPU_CLOCK_FREQUENCIES>(2);
constexpr uint32_t kClockFrequenciesVer3 = NvVersionOf<NV_GPU_CLOCK_FREQUENCIES>(3);
static_assert(kClockFrequenciesVer3 == 0x00030108);
static_assert(kClockFrequenciesVer2 == 0x00020108);
static_assert(kClockFrequenciesVer1 == 0x00010108);

constexpr uint32_t kMaxGpuUtilizations = 8;
constexpr uint32_t kUtilizationGpu = 0;
constexpr uint32_t kUtilizationFrameBuffer = 1;

struct NV_GPU_DYNAMIC_PSTATES_INFO_EX {
    uint32_t version;
    uint32_t flags;  // bit 0: dynamic p-states enabled
    struct {
        uint32_t flags;  // bit 0: domain present
        uint32_t percentage;
    } utilization[kMaxGpuUtilizations];
};
static_assert(sizeof(NV_GPU_DYNAMIC_PSTATES_INFO_EX) == 72);
static_assert(offsetof(NV_GPU_DYNAMIC_PSTATES_INFO_EX, utilization[1].percentage) == 20);

constexpr uint32_t kDynamicPstatesInfoExVer = NvVersionOf<NV_GPU_DYNAMIC_PSTATES_INFO_EX>(1);
static_assert(kDynamicPstatesInfoExVer == 0x00010048);

// Voltage status: a count and 8-byte entries whose second word is a voltage in µV.
struct NvVoltageStatus : NvByteRecord<140> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    static constexpr size_t kMaxEntries = (kSize - 12) / 8;

    uint32_t Count() const { return U32(8); }
    uint32_t VoltageUv(size_t i) const { return i < kMaxEntries ? U32(12 + 8 * i + 4) : 0; }
};
static_assert(NvVoltageStatus::kVersion == 0x0001008C);
