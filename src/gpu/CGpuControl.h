#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gpu/NvApi.h"
#include "platform/Clock.h"

// The exchange record of tuning values: readers fill their fields, writers take a copy.
// Clocks and offsets in kHz, voltages in µV, power in 1/1000 percent, temperatures in °C,
// pixel clock in 10 kHz.
struct GpuPerfInfo {
    int32_t coreVoltage;
    int32_t memoryClock;
    int32_t memoryBaseClock;
    int32_t memoryBoostClock;
    int32_t memoryRangeMin;
    int32_t memoryRangeMax;
    int32_t memorySingleClock;
    int32_t graphicsClock;
    int32_t graphicsBaseClock;
    int32_t graphicsBoostClock;
    int32_t graphicsRangeMin;
    int32_t graphicsRangeMax;
    int32_t coreVoltOffset;
    int32_t coreVoltOffsetMin;
    int32_t coreVoltOffsetMax;
    int32_t graphicsOffset;
    int32_t graphicsOffsetMin;
    int32_t graphicsOffsetMax;
    int32_t memoryOffset;
    int32_t memoryOffsetMin;
    int32_t memoryOffsetMax;
    int32_t tempTarget;
    int32_t tempTargetMin;
    int32_t tempTargetMax;
    int32_t tempTargetDefault;
    int32_t overVolt;
    int32_t overVoltMin;
    int32_t overVoltMax;
    int32_t pixelClock;
    int32_t powerTarget;
    int32_t powerTargetMin;
    int32_t powerTargetMax;
    int32_t powerTargetDefault;
    int32_t gpuLoad;
    int32_t memoryLoad;
    int32_t vfGraphicsUpper;
    int32_t vfGraphicsLower;
    int32_t vfGraphicsFirst;
    int32_t vfGraphicsLast;
    int32_t vfMemoryUpper;
    int32_t vfMemoryLower;
    int32_t vfMemoryFirst;
    int32_t vfMemoryLast;
};
static_assert(sizeof(GpuPerfInfo) == 43 * 4);

// The display configuration read by ReadDisplayPaths: the paths and the arrays they point into,
// owned together so nothing the driver was handed outlives or leaks from it. A copy would point
// into the original's arrays, so the set can only be moved.
struct DisplayPathSet {
    DisplayPathSet() = default;
    DisplayPathSet(const DisplayPathSet&) = delete;
    DisplayPathSet& operator=(const DisplayPathSet&) = delete;
    DisplayPathSet(DisplayPathSet&&) = default;
    DisplayPathSet& operator=(DisplayPathSet&&) = default;

    std::vector<NV_DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<NV_DISPLAYCONFIG_SOURCE_MODE_INFO> sourceModes;                    // one per path
    std::vector<std::vector<NV_DISPLAYCONFIG_PATH_TARGET_INFO>> targets;           // per path
    std::vector<std::vector<NV_DISPLAYCONFIG_PATH_ADVANCED_TARGET_INFO>> details;  // per path, per target
};

constexpr int kMaxGpuHandles = 64;
constexpr int kMaxDisplayHandles = 128;
constexpr int kPstateNone = 16;  // no p-state chosen; as an argument: the current one
constexpr int kSelectedGpu = -1;
constexpr int kPixelClockUnchanged = 1;
constexpr int kPixelClockNotReapplied = 2;

// The one object that enumerates the GPUs and wraps every driver call. Every operation takes a GPU
// index, -1 meaning the selected GPU; results are 0 for success and 1 for failure unless noted.
class CGpuControl {
public:
    // The query-interface entry point may be null (driver missing): EnumGpus then returns 1.
    // The clock paces the waits of the display operations; null means the system clock.
    explicit CGpuControl(NvQueryInterfaceFn queryInterface, Clock* clock = nullptr);

    int32_t status;
    char errorText[kNvShortStringMax];
    int32_t currentGpu;
    int32_t gpuCount;
    int32_t displayCount;
    NvDisplayHandle displayHandles[kMaxDisplayHandles];
    NvPhysicalGpuHandle gpuHandles[kMaxGpuHandles];
    uint16_t pciVendorId;
    uint16_t pciDeviceId;
    uint16_t pciSubVendorId;
    uint16_t pciSubsystemId;
    NvCoolerSettings coolerSettings;
    GpuPerfInfo perf;
    int32_t lastTemperature;
    int32_t fanLevel;
    int32_t pstate;

    // Discovery and identity.
    // 0 success; 1 driver interface initialisation failed; 2 physical-GPU enumeration failed.
    int EnumGpus();
    int ReadPciIds(int gpuIndex, uint16_t& vendorId, uint16_t& deviceId, uint16_t& subVendorId,
                   uint16_t& subsystemId);
    int ReadMemorySize(int gpuIndex, int& megabytes);
    int ReadMemoryType(int gpuIndex, std::string& text);
    int ReadMemoryMaker(int gpuIndex, std::string& text);
    int GetFullName(int gpuIndex, std::string& name);
    int GetVbiosVersion(int gpuIndex, std::string& version);
    // The driver's version number of the first display (41130 for 411.30); 0 when it gave none.
    int GetDriverVersion(uint32_t& driverVersion);
    int GetCoreCount(int gpuIndex, int& cores);
    int GetMemoryBusWidth(int gpuIndex, int& bits);

    // Clock and voltage offsets (GpuClocks.cpp).
    int ReadCurrentPstate(int gpuIndex);  // sets pstate on success
    int ReadPstateTable(int gpuIndex, GpuPerfInfo& info, int pstateId = kPstateNone);
    int WriteClockOffsets(int gpuIndex, GpuPerfInfo info);
    int WriteOverVolt(int gpuIndex, GpuPerfInfo info);
    void ReadVfDomains(int gpuIndex, GpuPerfInfo& info);
    void ReadVfOffsets(GpuPerfInfo& info);
    void WriteVfOffsets(int gpuIndex, GpuPerfInfo info);
    int SetVfPointOffset(int point, int offsetKhz);  // 1 success, 0 failure
    int ReadVoltBoost(uint8_t& percent);             // the driver status
    int WriteVoltBoost(int gpuIndex, uint8_t percent);

    // Power and temperature targets (GpuPolicies.cpp).
    int ReadPowerTarget(int gpuIndex, GpuPerfInfo& info);
    int WritePowerTarget(int gpuIndex, GpuPerfInfo info);
    int ReadTempTarget(int gpuIndex, GpuPerfInfo& info);
    int WriteTempTarget(int gpuIndex, GpuPerfInfo info);
    int WriteTempPriority(int gpuIndex, int flag);

    // Cooler control (GpuCooler.cpp).
    int ReadCoolerSettings(NvCoolerSettings& settings, int gpuIndex);
    // The first layout only, where the speed readings live; no older layout is tried.
    int ReadCoolerSpeedSettings(NvCoolerSettings& settings, int gpuIndex);
    int ReadFanLevel();
    void SetCoolerLevel(int policy, int level, int gpuIndex);

    // Sensor readings (GpuSensors.cpp).
    int ReadTemperature(int& temperature, int gpuIndex);
    int ReadCurrentClocks(int gpuIndex, GpuPerfInfo& info);
    int ReadBaseBoostClocks(int gpuIndex, GpuPerfInfo& info);
    int ReadCoreVoltage(int gpuIndex, GpuPerfInfo& info);
    int ReadUtilization(int gpuIndex, GpuPerfInfo& info);

    // I2C access to the device at 0x90 (GpuI2c.cpp).
    int ReadI2C(uint8_t* buffer, uint32_t length, int gpuIndex);
    int WriteI2C(uint8_t reg, const uint8_t* data, uint32_t length, int gpuIndex);

    // Display pixel-clock override (GpuDisplay.cpp).
    int ListConnectedDisplays(uint32_t (&displayIds)[kMaxDisplayIds], uint32_t& count);
    int ReadPixelClock(GpuPerfInfo& info);
    // 0 applied; kPixelClockUnchanged when nothing was changed (no display, a failed query or a
    // refused mode); kPixelClockNotReapplied when the mode was saved but the display
    // configuration could not be read or re-applied, leaving the display as the driver has it.
    int WritePixelClock(GpuPerfInfo info);
    // 0, NvStatus::OutOfMemory when the arrays cannot be allocated, or the failing status.
    int ReadDisplayPaths(uint32_t& count, DisplayPathSet& paths);

    // The handle of a GPU index (-1: the selected GPU); null for an index outside the table.
    NvPhysicalGpuHandle GpuHandle(int gpuIndex) const;
    // Puts the driver's text for a status into errorText, always terminated.
    void FetchErrorText(int32_t failedStatus);
    // Prints "Get current state  %s\n" with errorText to standard output.
    void PrintStateError() const;
    // The clock that paces the waits around driver calls; the lighting protocols pause with it too.
    Clock& WaitClock() const { return clock; }

protected:
    NvApi nvapi;
    Clock& clock;
};
