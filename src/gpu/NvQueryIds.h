#pragma once
#include <cstdint>
#include <string_view>

// Query ids of every driver function the program fetches through nvapi_QueryInterface.
// Functions without a public name carry a name that says what they do.
namespace QueryId {
constexpr uint32_t Initialize = 0x0150E828;
constexpr uint32_t GetErrorMessage = 0x6C2D048C;
constexpr uint32_t EnumTCCPhysicalGPUs = 0xD9930B07;
constexpr uint32_t EnumPhysicalGPUs = 0xE5AC921F;
constexpr uint32_t EnumNvidiaDisplayHandle = 0x9ABDD40D;
constexpr uint32_t GetPCIIdentifiers = 0x2DDFB66E;
constexpr uint32_t GetPhysicalFrameBufferSize = 0x46FBEB03;
constexpr uint32_t GetMemoryType = 0x57F7CAAC;
constexpr uint32_t GetMemoryMaker = 0x42AEA16A;
constexpr uint32_t GetFullName = 0xCEEE8E9F;
constexpr uint32_t GetVbiosVersionString = 0xA561FD7D;
constexpr uint32_t GetDisplayDriverVersion = 0xF951A4D1;
constexpr uint32_t GetGpuCoreCount = 0xC7026A87;
constexpr uint32_t GetMemoryBusWidth = 0x11104158;
constexpr uint32_t GetCurrentPstate = 0x927DA4F6;
constexpr uint32_t GetPstates20 = 0x6FF81213;
constexpr uint32_t SetPstates20 = 0x0F4DAE6B;
constexpr uint32_t GetVfDomainInfo = 0x64B43A6A;
constexpr uint32_t GetVfPointInfo = 0x507B4B59;
constexpr uint32_t GetVfPointControl = 0x23F1B133;
constexpr uint32_t SetVfPointControl = 0x0733E009;
constexpr uint32_t GetVoltBoost = 0x9DF23CA1;
constexpr uint32_t SetVoltBoost = 0xB9306D9B;
constexpr uint32_t GetPowerPolicyInfo = 0x34206D86;
constexpr uint32_t GetPowerPolicyStatus = 0x70916171;
constexpr uint32_t SetPowerPolicyStatus = 0xAD95F5ED;
constexpr uint32_t GetThermalPolicyInfo = 0x0D258BB5;
constexpr uint32_t GetThermalPolicyStatus = 0xE9C425A1;
constexpr uint32_t SetThermalPolicyStatus = 0x34C0B13D;
constexpr uint32_t GetCoolerSettings = 0xDA141340;
constexpr uint32_t SetCoolerLevels = 0x891FA0AE;
constexpr uint32_t GetThermalSettings = 0xE3640A56;
constexpr uint32_t GetAllClockFrequencies = 0xDCB616C3;
constexpr uint32_t GetDynamicPstatesInfoEx = 0x60DED2ED;
constexpr uint32_t GetVoltageStatus = 0xC16C7E2C;
constexpr uint32_t I2CRead = 0x2FDE12C5;
constexpr uint32_t I2CWrite = 0xE812EB07;
constexpr uint32_t GetConnectedDisplayIds = 0x0078DBA2;
constexpr uint32_t GetTiming = 0x175167E9;
constexpr uint32_t TryCustomDisplay = 0x1F7DB630;
constexpr uint32_t SaveCustomDisplay = 0x49882876;
constexpr uint32_t GetDisplayConfig = 0x11ABCCF8;
constexpr uint32_t SetDisplayConfig = 0x5D8CF8DE;
}  // namespace QueryId

struct QueryIdName {
    uint32_t id;
    std::string_view name;
};

// One name per query id, for journals, diagnostics and scenario files.
inline constexpr QueryIdName kQueryIdNames[] = {
    {QueryId::Initialize, "NvAPI_Initialize"},
    {QueryId::GetErrorMessage, "NvAPI_GetErrorMessage"},
    {QueryId::EnumTCCPhysicalGPUs, "NvAPI_EnumTCCPhysicalGPUs"},
    {QueryId::EnumPhysicalGPUs, "NvAPI_EnumPhysicalGPUs"},
    {QueryId::EnumNvidiaDisplayHandle, "NvAPI_EnumNvidiaDisplayHandle"},
    {QueryId::GetPCIIdentifiers, "NvAPI_GPU_GetPCIIdentifiers"},
    {QueryId::GetPhysicalFrameBufferSize, "NvAPI_GPU_GetPhysicalFrameBufferSize"},
    {QueryId::GetMemoryType, "GpuMemoryTypeRead"},
    {QueryId::GetMemoryMaker, "GpuMemoryMakerRead"},
    {QueryId::GetFullName, "NvAPI_GPU_GetFullName"},
    {QueryId::GetVbiosVersionString, "NvAPI_GPU_GetVbiosVersionString"},
    {QueryId::GetDisplayDriverVersion, "NvAPI_GetDisplayDriverVersion"},
    {QueryId::GetGpuCoreCount, "NvAPI_GPU_GetGpuCoreCount"},
    {QueryId::GetMemoryBusWidth, "GpuMemoryBusWidthRead"},
    {QueryId::GetCurrentPstate, "NvAPI_GPU_GetCurrentPstate"},
    {QueryId::GetPstates20, "NvAPI_GPU_GetPstates20"},
    {QueryId::SetPstates20, "PstateTableWrite"},
    {QueryId::GetVfDomainInfo, "VfDomainInfoRead"},
    {QueryId::GetVfPointInfo, "VfPointInfoRead"},
    {QueryId::GetVfPointControl, "VfPointControlRead"},
    {QueryId::SetVfPointControl, "VfPointControlWrite"},
    {QueryId::GetVoltBoost, "VoltBoostRead"},
    {QueryId::SetVoltBoost, "VoltBoostWrite"},
    {QueryId::GetPowerPolicyInfo, "PowerPolicyInfoRead"},
    {QueryId::GetPowerPolicyStatus, "PowerPolicyStatusRead"},
    {QueryId::SetPowerPolicyStatus, "PowerPolicyStatusWrite"},
    {QueryId::GetThermalPolicyInfo, "ThermalPolicyInfoRead"},
    {QueryId::GetThermalPolicyStatus, "ThermalPolicyStatusRead"},
    {QueryId::SetThermalPolicyStatus, "ThermalPolicyStatusWrite"},
    {QueryId::GetCoolerSettings, "CoolerSettingsRead"},
    {QueryId::SetCoolerLevels, "CoolerLevelsWrite"},
    {QueryId::GetThermalSettings, "NvAPI_GPU_GetThermalSettings"},
    {QueryId::GetAllClockFrequencies, "NvAPI_GPU_GetAllClockFrequencies"},
    {QueryId::GetDynamicPstatesInfoEx, "NvAPI_GPU_GetDynamicPstatesInfoEx"},
    {QueryId::GetVoltageStatus, "VoltageStatusRead"},
    {QueryId::I2CRead, "NvAPI_I2CRead"},
    {QueryId::I2CWrite, "NvAPI_I2CWrite"},
    {QueryId::GetConnectedDisplayIds, "NvAPI_GPU_GetConnectedDisplayIds"},
    {QueryId::GetTiming, "NvAPI_DISP_GetTiming"},
    {QueryId::TryCustomDisplay, "NvAPI_DISP_TryCustomDisplay"},
    {QueryId::SaveCustomDisplay, "NvAPI_DISP_SaveCustomDisplay"},
    {QueryId::GetDisplayConfig, "NvAPI_DISP_GetDisplayConfig"},
    {QueryId::SetDisplayConfig, "NvAPI_DISP_SetDisplayConfig"},
};

// The name of a query id, or an empty view for an id the program never asks for.
constexpr std::string_view QueryIdToName(uint32_t id) {
    for (const auto& entry : kQueryIdNames) {
        if (entry.id == id) return entry.name;
    }
    return {};
}

// The id of a name from kQueryIdNames (exact spelling), or 0 when unknown.
constexpr uint32_t QueryIdFromName(std::string_view name) {
    for (const auto& entry : kQueryIdNames) {
        if (entry.name == name) return entry.id;
    }
    return 0;
}
