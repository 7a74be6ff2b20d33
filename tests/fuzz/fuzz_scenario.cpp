#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"
#include "sim/SimTime.h"
#include "support/FakeClock.h"

// The driver library reads its scenario from a file named in the environment, so any text must be
// refused with a line number or give a machine the simulator can run. An accepted machine is then
// driven through every operation of the GPU control object, so strange but legal values (no
// p-states, empty V/F domains, a display on a missing GPU) reach the simulator's answers and the
// program's readers of them.

namespace {

constexpr uint32_t kMarkerVersion = 0x5EED;

void DriveEveryOperation(CGpuControl& gpu, int gpuIndex) {
    gpu.currentGpu = gpuIndex;
    GpuPerfInfo info{};
    std::string text;
    int number = 0;
    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    gpu.ReadPciIds(gpuIndex, vendor, device, subVendor, subsystem);
    gpu.ReadMemorySize(gpuIndex, number);
    gpu.ReadMemoryType(gpuIndex, text);
    gpu.ReadMemoryMaker(gpuIndex, text);
    gpu.GetFullName(gpuIndex, text);
    gpu.GetVbiosVersion(gpuIndex, text);
    gpu.GetCoreCount(gpuIndex, number);
    gpu.GetMemoryBusWidth(gpuIndex, number);

    gpu.ReadPstateTable(gpuIndex, info, 0);
    gpu.WriteClockOffsets(gpuIndex, info);
    gpu.WriteOverVolt(gpuIndex, info);
    gpu.ReadVfDomains(gpuIndex, info);
    gpu.ReadVfOffsets(info);
    gpu.WriteVfOffsets(gpuIndex, info);
    uint8_t percent = 0;
    gpu.ReadVoltBoost(percent);
    gpu.WriteVoltBoost(gpuIndex, percent);

    gpu.ReadPowerTarget(gpuIndex, info);
    gpu.WritePowerTarget(gpuIndex, info);
    gpu.ReadTempTarget(gpuIndex, info);
    gpu.WriteTempTarget(gpuIndex, info);
    gpu.WriteTempPriority(gpuIndex, 1);

    NvCoolerSettings settings;
    settings.Clear();
    gpu.ReadCoolerSettings(settings, gpuIndex);
    gpu.SetCoolerLevel(kCoolerPolicyManual, 55, gpuIndex);
    gpu.ReadFanLevel();
    gpu.SetCoolerLevel(kCoolerPolicyAuto, 0, gpuIndex);

    int temperature = 0;
    gpu.ReadTemperature(temperature, gpuIndex);
    gpu.ReadCurrentClocks(gpuIndex, info);
    gpu.ReadBaseBoostClocks(gpuIndex, info);
    gpu.ReadCoreVoltage(gpuIndex, info);
    gpu.ReadUtilization(gpuIndex, info);

    uint8_t bytes[16] = {};
    gpu.ReadI2C(bytes, sizeof bytes, gpuIndex);
    gpu.WriteI2C(0x20, bytes, 4, gpuIndex);
}

void DriveDisplays(CGpuControl& gpu) {
    GpuPerfInfo info{};
    uint32_t version = 0;
    gpu.GetDriverVersion(version);
    uint32_t ids[kMaxDisplayIds] = {};
    uint32_t count = 0;
    gpu.ListConnectedDisplays(ids, count);
    FuzzCheck(count <= kMaxDisplayIds, "the display list stays within its array");
    if (gpu.ReadPixelClock(info) == 0) {
        info.pixelClock += 100;
        gpu.WritePixelClock(info);
    }
    uint32_t pathCount = 0;
    DisplayPathSet paths;
    if (gpu.ReadDisplayPaths(pathCount, paths) == 0)
        FuzzCheck(pathCount == paths.paths.size(), "the path count is the number of paths read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    SimScenario scenario;
    scenario.driverVersion = kMarkerVersion;
    std::string error;
    if (!ParseScenario(text, scenario, error)) {
        // A refused text names its line (or the whole file) and leaves the caller's scenario alone.
        FuzzCheck(!error.empty(), "a refused scenario says why");
        FuzzCheck(scenario.driverVersion == kMarkerVersion && scenario.gpus.empty(),
                  "a refused scenario leaves the caller's alone");
        return 0;
    }

    SimDriver sim(scenario);
    FreezeSimTime(sim.Model(), 0);
    sim.KeepJournal(false);
    FakeClock clock;
    CGpuControl gpu(sim.QueryInterface(), &clock);
    if (gpu.EnumGpus() != 0) return 0;
    FuzzCheck(gpu.gpuCount >= 0 && gpu.gpuCount <= kMaxGpuHandles, "the GPU table stays within its array");
    for (int index = 0; index < std::min(gpu.gpuCount, 4); ++index) DriveEveryOperation(gpu, index);
    DriveDisplays(gpu);
    return 0;
}
