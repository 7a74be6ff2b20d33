#pragma once
#include <cstdint>
#include <unordered_map>

#include "gpu/CoolerRecords.h"
#include "gpu/DisplayRecords.h"
#include "gpu/I2cRecords.h"
#include "gpu/IdentityRecords.h"
#include "gpu/NvQueryIds.h"
#include "gpu/NvTypes.h"
#include "gpu/PolicyRecords.h"
#include "gpu/PstateRecords.h"
#include "gpu/SensorRecords.h"

// Typed access to the driver. Each function is fetched through the query-interface entry point on
// its first use and cached; a missing entry point answers LibraryNotFound, a function the driver
// does not offer NoImplementation, so callers only ever see driver statuses.
class NvApi {
public:
    explicit NvApi(NvQueryInterfaceFn queryInterface) : queryInterface_(queryInterface) {}

    bool HasDriver() const { return queryInterface_ != nullptr; }

    int32_t Initialize() { return Call(QueryId::Initialize); }
    int32_t GetErrorMessage(int32_t status, char* text) {
        return Call(QueryId::GetErrorMessage, status, text);
    }
    int32_t EnumTCCPhysicalGPUs(NvPhysicalGpuHandle* handles, uint32_t* count) {
        return Call(QueryId::EnumTCCPhysicalGPUs, handles, count);
    }
    int32_t EnumPhysicalGPUs(NvPhysicalGpuHandle* handles, uint32_t* count) {
        return Call(QueryId::EnumPhysicalGPUs, handles, count);
    }
    int32_t EnumNvidiaDisplayHandle(uint32_t index, NvDisplayHandle* handle) {
        return Call(QueryId::EnumNvidiaDisplayHandle, index, handle);
    }

    int32_t GetPCIIdentifiers(NvPhysicalGpuHandle gpu, uint32_t* deviceId, uint32_t* subSystemId,
                              uint32_t* revisionId, uint32_t* extDeviceId) {
        return Call(QueryId::GetPCIIdentifiers, gpu, deviceId, subSystemId, revisionId, extDeviceId);
    }
    int32_t GetPhysicalFrameBufferSize(NvPhysicalGpuHandle gpu, uint32_t* kilobytes) {
        return Call(QueryId::GetPhysicalFrameBufferSize, gpu, kilobytes);
    }
    int32_t GetMemoryType(NvPhysicalGpuHandle gpu, uint32_t* code) {
        return Call(QueryId::GetMemoryType, gpu, code);
    }
    int32_t GetMemoryMaker(NvPhysicalGpuHandle gpu, uint32_t* code) {
        return Call(QueryId::GetMemoryMaker, gpu, code);
    }
    int32_t GetFullName(NvPhysicalGpuHandle gpu, char* name) { return Call(QueryId::GetFullName, gpu, name); }
    int32_t GetVbiosVersionString(NvPhysicalGpuHandle gpu, char* text) {
        return Call(QueryId::GetVbiosVersionString, gpu, text);
    }
    int32_t GetDisplayDriverVersion(NvDisplayHandle display, NV_DISPLAY_DRIVER_VERSION* version) {
        return Call(QueryId::GetDisplayDriverVersion, display, version);
    }
    int32_t GetGpuCoreCount(NvPhysicalGpuHandle gpu, uint32_t* count) {
        return Call(QueryId::GetGpuCoreCount, gpu, count);
    }
    int32_t GetMemoryBusWidth(NvPhysicalGpuHandle gpu, uint32_t* bits, uint32_t* unused) {
        return Call(QueryId::GetMemoryBusWidth, gpu, bits, unused);
    }

    int32_t GetCurrentPstate(NvPhysicalGpuHandle gpu, uint32_t* pstate) {
        return Call(QueryId::GetCurrentPstate, gpu, pstate);
    }
    int32_t GetPstates20(NvPhysicalGpuHandle gpu, NV_GPU_PERF_PSTATES20_INFO* info) {
        return Call(QueryId::GetPstates20, gpu, info);
    }
    int32_t SetPstates20(NvPhysicalGpuHandle gpu, NV_GPU_PERF_PSTATES20_INFO* info) {
        return Call(QueryId::SetPstates20, gpu, info);
    }
    int32_t GetVfDomainInfo(NvPhysicalGpuHandle gpu, NvVfDomainInfo* info) {
        return Call(QueryId::GetVfDomainInfo, gpu, info);
    }
    int32_t GetVfPointInfo(NvPhysicalGpuHandle gpu, NvVfPointInfo* info) {
        return Call(QueryId::GetVfPointInfo, gpu, info);
    }
    int32_t GetVfPointControl(NvPhysicalGpuHandle gpu, NvVfPointControl* control) {
        return Call(QueryId::GetVfPointControl, gpu, control);
    }
    int32_t SetVfPointControl(NvPhysicalGpuHandle gpu, NvVfPointControl* control) {
        return Call(QueryId::SetVfPointControl, gpu, control);
    }
    int32_t GetVoltBoost(NvPhysicalGpuHandle gpu, NvVoltBoost* boost) {
        return Call(QueryId::GetVoltBoost, gpu, boost);
    }
    int32_t SetVoltBoost(NvPhysicalGpuHandle gpu, NvVoltBoost* boost) {
        return Call(QueryId::SetVoltBoost, gpu, boost);
    }

    int32_t GetPowerPolicyInfo(NvPhysicalGpuHandle gpu, NvPowerPolicyInfo* info) {
        return Call(QueryId::GetPowerPolicyInfo, gpu, info);
    }
    int32_t GetPowerPolicyStatus(NvPhysicalGpuHandle gpu, NvPowerPolicyStatus* status) {
        return Call(QueryId::GetPowerPolicyStatus, gpu, status);
    }
    int32_t SetPowerPolicyStatus(NvPhysicalGpuHandle gpu, NvPowerPolicyStatus* status) {
        return Call(QueryId::SetPowerPolicyStatus, gpu, status);
    }
    int32_t GetThermalPolicyInfo(NvPhysicalGpuHandle gpu, NvThermalPolicyInfo* info) {
        return Call(QueryId::GetThermalPolicyInfo, gpu, info);
    }
    int32_t GetThermalPolicyStatus(NvPhysicalGpuHandle gpu, NvThermalPolicyStatus* status) {
        return Call(QueryId::GetThermalPolicyStatus, gpu, status);
    }
    int32_t SetThermalPolicyStatus(NvPhysicalGpuHandle gpu, NvThermalPolicyStatus* status) {
        return Call(QueryId::SetThermalPolicyStatus, gpu, status);
    }

    int32_t GetCoolerSettings(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerSettings* settings) {
        return Call(QueryId::GetCoolerSettings, gpu, cooler, settings);
    }
    int32_t SetCoolerLevels(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerLevels* levels) {
        return Call(QueryId::SetCoolerLevels, gpu, cooler, levels);
    }

    int32_t GetThermalSettings(NvPhysicalGpuHandle gpu, uint32_t sensor, NV_GPU_THERMAL_SETTINGS* settings) {
        return Call(QueryId::GetThermalSettings, gpu, sensor, settings);
    }
    int32_t GetAllClockFrequencies(NvPhysicalGpuHandle gpu, NV_GPU_CLOCK_FREQUENCIES* clocks) {
        return Call(QueryId::GetAllClockFrequencies, gpu, clocks);
    }
    int32_t GetDynamicPstatesInfoEx(NvPhysicalGpuHandle gpu, NV_GPU_DYNAMIC_PSTATES_INFO_EX* info) {
        return Call(QueryId::GetDynamicPstatesInfoEx, gpu, info);
    }
    int32_t GetVoltageStatus(NvPhysicalGpuHandle gpu, NvVoltageStatus* status) {
        return Call(QueryId::GetVoltageStatus, gpu, status);
    }

    // The record is declared as version 3; older versions are its prefix with their own version word.
    int32_t I2CRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info) { return Call(QueryId::I2CRead, gpu, info); }
    int32_t I2CWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info) {
        return Call(QueryId::I2CWrite, gpu, info);
    }

    int32_t GetConnectedDisplayIds(NvPhysicalGpuHandle gpu, NV_GPU_DISPLAYIDS* ids, uint32_t* count,
                                   uint32_t flags) {
        return Call(QueryId::GetConnectedDisplayIds, gpu, ids, count, flags);
    }
    int32_t GetTiming(uint32_t displayId, NV_TIMING_INPUT* input, NV_TIMING* timing) {
        return Call(QueryId::GetTiming, displayId, input, timing);
    }
    int32_t TryCustomDisplay(uint32_t* displayIds, uint32_t count, NV_CUSTOM_DISPLAY* displays) {
        return Call(QueryId::TryCustomDisplay, displayIds, count, displays);
    }
    int32_t SaveCustomDisplay(uint32_t* displayIds, uint32_t count, uint32_t thisOutputOnly,
                              uint32_t thisMonitorOnly) {
        return Call(QueryId::SaveCustomDisplay, displayIds, count, thisOutputOnly, thisMonitorOnly);
    }
    int32_t GetDisplayConfig(uint32_t* pathCount, NV_DISPLAYCONFIG_PATH_INFO* paths) {
        return Call(QueryId::GetDisplayConfig, pathCount, paths);
    }
    int32_t SetDisplayConfig(uint32_t pathCount, NV_DISPLAYCONFIG_PATH_INFO* paths, uint32_t flags) {
        return Call(QueryId::SetDisplayConfig, pathCount, paths, flags);
    }

private:
    void* Lookup(uint32_t queryId);

    template <class... Args>
    int32_t Call(uint32_t queryId, Args... args) {
        using Function = int32_t(NVAPI_CALL*)(Args...);
        void* function = Lookup(queryId);
        if (!function) return queryInterface_ ? NvStatus::NoImplementation : NvStatus::LibraryNotFound;
        return reinterpret_cast<Function>(function)(args...);
    }

    NvQueryInterfaceFn queryInterface_;
    std::unordered_map<uint32_t, void*> functions_;
};
