#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <iterator>
#include <string_view>
#include <utility>

#include "gpu/NvQueryIds.h"
#include "gpu/NvTypes.h"
#include "sim/SimDriver.h"

namespace {

// The driver's query ids as the driver documents them, written out here rather than taken from the
// program's table: the simulated driver registers its functions under that same table, so a wrong
// or swapped entry there would otherwise go unnoticed by every other test.
struct PinnedId {
    uint32_t literal;
    uint32_t used;
    std::string_view name;
};
const PinnedId kPinnedIds[] = {
    {0x0150E828, QueryId::Initialize, "NvAPI_Initialize"},
    {0x6C2D048C, QueryId::GetErrorMessage, "NvAPI_GetErrorMessage"},
    {0xD9930B07, QueryId::EnumTCCPhysicalGPUs, "NvAPI_EnumTCCPhysicalGPUs"},
    {0xE5AC921F, QueryId::EnumPhysicalGPUs, "NvAPI_EnumPhysicalGPUs"},
    {0x9ABDD40D, QueryId::EnumNvidiaDisplayHandle, "NvAPI_EnumNvidiaDisplayHandle"},
    {0x2DDFB66E, QueryId::GetPCIIdentifiers, "NvAPI_GPU_GetPCIIdentifiers"},
    {0x46FBEB03, QueryId::GetPhysicalFrameBufferSize, "NvAPI_GPU_GetPhysicalFrameBufferSize"},
    {0x57F7CAAC, QueryId::GetMemoryType, "GpuMemoryTypeRead"},
    {0x42AEA16A, QueryId::GetMemoryMaker, "GpuMemoryMakerRead"},
    {0xCEEE8E9F, QueryId::GetFullName, "NvAPI_GPU_GetFullName"},
    {0xA561FD7D, QueryId::GetVbiosVersionString, "NvAPI_GPU_GetVbiosVersionString"},
    {0xF951A4D1, QueryId::GetDisplayDriverVersion, "NvAPI_GetDisplayDriverVersion"},
    {0xC7026A87, QueryId::GetGpuCoreCount, "NvAPI_GPU_GetGpuCoreCount"},
    {0x11104158, QueryId::GetMemoryBusWidth, "GpuMemoryBusWidthRead"},
    {0x927DA4F6, QueryId::GetCurrentPstate, "NvAPI_GPU_GetCurrentPstate"},
    {0x6FF81213, QueryId::GetPstates20, "NvAPI_GPU_GetPstates20"},
    {0x0F4DAE6B, QueryId::SetPstates20, "PstateTableWrite"},
    {0x64B43A6A, QueryId::GetVfDomainInfo, "VfDomainInfoRead"},
    {0x507B4B59, QueryId::GetVfPointInfo, "VfPointInfoRead"},
    {0x23F1B133, QueryId::GetVfPointControl, "VfPointControlRead"},
    {0x0733E009, QueryId::SetVfPointControl, "VfPointControlWrite"},
    {0x9DF23CA1, QueryId::GetVoltBoost, "VoltBoostRead"},
    {0xB9306D9B, QueryId::SetVoltBoost, "VoltBoostWrite"},
    {0x34206D86, QueryId::GetPowerPolicyInfo, "PowerPolicyInfoRead"},
    {0x70916171, QueryId::GetPowerPolicyStatus, "PowerPolicyStatusRead"},
    {0xAD95F5ED, QueryId::SetPowerPolicyStatus, "PowerPolicyStatusWrite"},
    {0x0D258BB5, QueryId::GetThermalPolicyInfo, "ThermalPolicyInfoRead"},
    {0xE9C425A1, QueryId::GetThermalPolicyStatus, "ThermalPolicyStatusRead"},
    {0x34C0B13D, QueryId::SetThermalPolicyStatus, "ThermalPolicyStatusWrite"},
    {0xDA141340, QueryId::GetCoolerSettings, "CoolerSettingsRead"},
    {0x891FA0AE, QueryId::SetCoolerLevels, "CoolerLevelsWrite"},
    {0xE3640A56, QueryId::GetThermalSettings, "NvAPI_GPU_GetThermalSettings"},
    {0xDCB616C3, QueryId::GetAllClockFrequencies, "NvAPI_GPU_GetAllClockFrequencies"},
    {0x60DED2ED, QueryId::GetDynamicPstatesInfoEx, "NvAPI_GPU_GetDynamicPstatesInfoEx"},
    {0xC16C7E2C, QueryId::GetVoltageStatus, "VoltageStatusRead"},
    {0x2FDE12C5, QueryId::I2CRead, "NvAPI_I2CRead"},
    {0xE812EB07, QueryId::I2CWrite, "NvAPI_I2CWrite"},
    {0x0078DBA2, QueryId::GetConnectedDisplayIds, "NvAPI_GPU_GetConnectedDisplayIds"},
    {0x175167E9, QueryId::GetTiming, "NvAPI_DISP_GetTiming"},
    {0x1F7DB630, QueryId::TryCustomDisplay, "NvAPI_DISP_TryCustomDisplay"},
    {0x49882876, QueryId::SaveCustomDisplay, "NvAPI_DISP_SaveCustomDisplay"},
    {0x11ABCCF8, QueryId::GetDisplayConfig, "NvAPI_DISP_GetDisplayConfig"},
    {0x5D8CF8DE, QueryId::SetDisplayConfig, "NvAPI_DISP_SetDisplayConfig"},
};

TEST(QueryIds, EveryIdTheProgramFetchesIsTheDriversOwnAndTheSimulatorAnswersIt) {
    EXPECT_EQ(std::size(kPinnedIds), 43u);
    EXPECT_EQ(std::size(kQueryIdNames), std::size(kPinnedIds)) << "an id without its pinned value";
    SimDriver sim;
    std::set<uint32_t> seen;
    for (const PinnedId& pin : kPinnedIds) {
        SCOPED_TRACE(pin.name);
        EXPECT_EQ(pin.used, pin.literal);
        EXPECT_EQ(QueryIdToName(pin.literal), pin.name);
        EXPECT_EQ(QueryIdFromName(pin.name), pin.literal);
        EXPECT_TRUE(seen.insert(pin.literal).second) << "listed twice";
        EXPECT_NE(sim.QueryInterface()(pin.literal), nullptr) << "the simulator does not answer it";
    }
}

TEST(QueryIds, StatusValuesAreTheDriversOwn) {
    const std::pair<int32_t, int32_t> statuses[] = {
        {NvStatus::Ok, 0},
        {NvStatus::Error, -1},
        {NvStatus::LibraryNotFound, -2},
        {NvStatus::NoImplementation, -3},
        {NvStatus::ApiNotInitialized, -4},
        {NvStatus::InvalidArgument, -5},
        {NvStatus::NvidiaDeviceNotFound, -6},
        {NvStatus::EndEnumeration, -7},
        {NvStatus::InvalidHandle, -8},
        {NvStatus::IncompatibleStructVersion, -9},
        {NvStatus::HandleInvalidated, -10},
        {NvStatus::InvalidPointer, -14},
        {NvStatus::ExpectedPhysicalGpuHandle, -101},
        {NvStatus::ExpectedDisplayHandle, -102},
        {NvStatus::NotSupported, -104},
        {NvStatus::OutOfMemory, -130},
    };
    for (auto [used, literal] : statuses) EXPECT_EQ(used, literal);
}

}  // namespace
