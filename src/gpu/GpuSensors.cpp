#include <algorithm>
#include <cstring>

#include "gpu/CGpuControl.h"
#include "gpu/VersionFallback.h"

namespace {

constexpr size_t kGraphicsDomain = 0;
constexpr size_t kMemoryDomain = 4;

}  // namespace

int CGpuControl::ReadTemperature(int& temperature, int gpuIndex) {
    NV_GPU_THERMAL_SETTINGS settings;
    int32_t result = CallWithVersions({kThermalSettingsVer2, kThermalSettingsVer1}, [&](uint32_t version) {
        std::memset(&settings, 0, sizeof settings);
        settings.version = version;
        status = nvapi.GetThermalSettings(GpuHandle(gpuIndex), kThermalTargetAll, &settings);
        if (status != NvStatus::Ok) {
            temperature = 0;
            lastTemperature = 0;
            FetchErrorText(status);
            PrintStateError();
        }
        return status;
    });
    if (result != NvStatus::Ok) return 1;
    temperature = settings.sensor[0].currentTemp;
    lastTemperature = temperature;
    return 0;
}

namespace {

// One clock type through versions 3, 2 and 1; the record is cleared once, before the first try.
template <class CallDriver>
int32_t ReadClocks(NV_GPU_CLOCK_FREQUENCIES& clocks, uint32_t clockType, CallDriver&& callDriver) {
    std::memset(&clocks, 0, sizeof clocks);
    clocks.clockType = clockType;
    return CallWithVersions({kClockFrequenciesVer3, kClockFrequenciesVer2, kClockFrequenciesVer1},
                            [&](uint32_t version) {
                                clocks.version = version;
                                return callDriver(clocks);
                            });
}

int32_t ClockKhz(const NV_GPU_CLOCK_FREQUENCIES& clocks, size_t domain) {
    return static_cast<int32_t>(clocks.domain[domain].frequency);
}

}  // namespace

int CGpuControl::ReadCurrentClocks(int gpuIndex, GpuPerfInfo& info) {
    NV_GPU_CLOCK_FREQUENCIES clocks;
    auto callDriver = [&](NV_GPU_CLOCK_FREQUENCIES& record) {
        status = nvapi.GetAllClockFrequencies(GpuHandle(gpuIndex), &record);
        return status;
    };
    if (ReadClocks(clocks, kClockTypeCurrent, callDriver) != NvStatus::Ok) return 1;
    info.graphicsClock = ClockKhz(clocks, kGraphicsDomain);
    info.memoryClock = ClockKhz(clocks, kMemoryDomain);
    return 0;
}

int CGpuControl::ReadBaseBoostClocks(int gpuIndex, GpuPerfInfo& info) {
    info.graphicsBaseClock = 0;
    info.memoryBaseClock = 0;
    info.graphicsBoostClock = 0;
    info.memoryBoostClock = 0;
    NV_GPU_CLOCK_FREQUENCIES clocks;
    auto callDriver = [&](NV_GPU_CLOCK_FREQUENCIES& record) {
        status = nvapi.GetAllClockFrequencies(GpuHandle(gpuIndex), &record);
        return status;
    };
    if (ReadClocks(clocks, kClockTypeBase, callDriver) == NvStatus::Ok) {
        info.graphicsBaseClock = ClockKhz(clocks, kGraphicsDomain);
        info.memoryBaseClock = ClockKhz(clocks, kMemoryDomain);
    }
    if (ReadClocks(clocks, kClockTypeBoost, callDriver) != NvStatus::Ok) return 1;
    info.graphicsBoostClock = ClockKhz(clocks, kGraphicsDomain);
    info.memoryBoostClock = ClockKhz(clocks, kMemoryDomain);
    return 0;
}

int CGpuControl::ReadCoreVoltage(int gpuIndex, GpuPerfInfo& info) {
    NvVoltageStatus voltage;
    voltage.Clear();
    voltage.SetVersion(NvVoltageStatus::kVersion);
    status = nvapi.GetVoltageStatus(GpuHandle(gpuIndex), &voltage);
    if (status != NvStatus::Ok) return 1;
    // A count beyond the record's room is read as a full record, never past its end.
    size_t count = std::min<size_t>(voltage.Count(), NvVoltageStatus::kMaxEntries);
    if (count != 0) info.coreVoltage = static_cast<int32_t>(voltage.VoltageUv(count - 1));
    return 0;
}

int CGpuControl::ReadUtilization(int gpuIndex, GpuPerfInfo& info) {
    NV_GPU_DYNAMIC_PSTATES_INFO_EX pstates;
    std::memset(&pstates, 0, sizeof pstates);
    pstates.version = kDynamicPstatesInfoExVer;
    status = nvapi.GetDynamicPstatesInfoEx(GpuHandle(gpuIndex), &pstates);
    if (status != NvStatus::Ok) return 1;
    bool gpuPresent = (pstates.utilization[kUtilizationGpu].flags & 1) != 0;
    bool frameBufferPresent = (pstates.utilization[kUtilizationFrameBuffer].flags & 1) != 0;
    if (gpuPresent) info.gpuLoad = static_cast<int32_t>(pstates.utilization[kUtilizationGpu].percentage);
    if (frameBufferPresent) {
        info.memoryLoad = static_cast<int32_t>(pstates.utilization[kUtilizationFrameBuffer].percentage);
    }
    return gpuPresent || frameBufferPresent ? 0 : 1;
}
