#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "HostileDriver.h"
#include "gpu/CGpuControl.h"
#include "support/FakeClock.h"

// Every CGpuControl operation, with arguments from the input, against the hostile driver.

namespace {

// What must hold after any answer: the tables stay within their arrays, texts stay terminated.
void CheckControl(const CGpuControl& gpu) {
    FuzzCheck(gpu.gpuCount >= 0 && gpu.gpuCount <= kMaxGpuHandles, "the GPU table stays within its array");
    FuzzCheck(gpu.displayCount >= 0 && gpu.displayCount <= kMaxDisplayHandles,
              "the display table stays within its array");
    FuzzCheck(std::memchr(gpu.errorText, 0, sizeof gpu.errorText) != nullptr, "the error text is terminated");
}

// A path set hands the driver pointers into its own arrays, and its counts never exceed them.
void CheckPaths(uint32_t count, const DisplayPathSet& set) {
    FuzzCheck(count == set.paths.size() && set.sourceModes.size() >= count && set.targets.size() >= count &&
                  set.details.size() >= count,
              "every path read has its arrays");
    for (uint32_t p = 0; p < count; ++p) {
        const NV_DISPLAYCONFIG_PATH_INFO& path = set.paths[p];
        FuzzCheck(path.sourceModeInfo == &set.sourceModes[p], "a path points at its own source mode");
        FuzzCheck(path.targetInfoCount <= set.targets[p].size(), "a target count stays within its array");
        FuzzCheck(!path.targetInfoCount || path.targetInfo == set.targets[p].data(),
                  "a path points at its own targets");
        for (uint32_t t = 0; t < path.targetInfoCount; ++t) {
            FuzzCheck(set.targets[p][t].details == &set.details[p][t], "a target points at its own details");
        }
    }
}

void RunOperation(CGpuControl& gpu, int operation) {
    FuzzedDataProvider& in = *hostile::gDriver;
    int index = in.ConsumeIntegralInRange<int>(-2, kMaxGpuHandles + 1);
    GpuPerfInfo info{};
    switch (operation) {
        case 0:
            gpu.currentGpu = index;
            break;
        case 1: {
            std::string text;
            int number = 0;
            uint16_t a, b, c, d;
            uint32_t version = 0;
            gpu.ReadPciIds(index, a, b, c, d);
            gpu.ReadMemorySize(index, number);
            gpu.ReadMemoryType(index, text);
            gpu.ReadMemoryMaker(index, text);
            gpu.GetFullName(index, text);
            FuzzCheck(text.size() <= kNvShortStringMax, "a driver text is read within its buffer");
            gpu.GetVbiosVersion(index, text);
            FuzzCheck(text.size() <= kNvShortStringMax, "a driver text is read within its buffer");
            gpu.GetDriverVersion(version);
            gpu.GetCoreCount(index, number);
            gpu.GetMemoryBusWidth(index, number);
            break;
        }
        case 2:
            gpu.ReadPstateTable(index, info, in.ConsumeIntegralInRange<int>(-1, 17));
            break;
        case 3:
            info.graphicsOffset = in.ConsumeIntegral<int32_t>();
            info.memoryOffset = in.ConsumeIntegral<int32_t>();
            info.overVolt = in.ConsumeIntegral<int32_t>();
            gpu.WriteClockOffsets(index, info);
            gpu.WriteOverVolt(index, info);
            break;
        case 4:
            gpu.ReadVfDomains(index, info);
            gpu.ReadVfOffsets(info);
            break;
        case 5:
            info.graphicsOffset = in.ConsumeIntegral<int32_t>();
            gpu.WriteVfOffsets(index, info);
            gpu.SetVfPointOffset(in.ConsumeIntegralInRange<int>(-1, 300), in.ConsumeIntegral<int32_t>());
            break;
        case 6: {
            uint8_t percent = 0;
            gpu.ReadVoltBoost(percent);
            gpu.WriteVoltBoost(index, in.ConsumeIntegral<uint8_t>());
            break;
        }
        case 7:
            gpu.ReadPowerTarget(index, info);
            info.powerTarget = in.ConsumeIntegral<int32_t>();
            gpu.WritePowerTarget(index, info);
            break;
        case 8:
            gpu.ReadTempTarget(index, info);
            info.tempTarget = in.ConsumeIntegral<int32_t>();
            gpu.WriteTempTarget(index, info);
            gpu.WriteTempPriority(index, in.ConsumeIntegralInRange<int>(-1, 2));
            break;
        case 9: {
            NvCoolerSettings settings;
            settings.Clear();
            if (gpu.ReadCoolerSettings(settings, index) != 0) {
                FuzzCheck(
                    settings.CurrentLevel() == 0 && settings.MinLevel() == 0 && settings.MaxLevel() == 100,
                    "a failed cooler read describes a stopped fan with the full range");
            }
            gpu.ReadFanLevel();
            gpu.SetCoolerLevel(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), index);
            break;
        }
        case 10: {
            int temperature = 0;
            gpu.ReadTemperature(temperature, index);
            gpu.ReadCurrentClocks(index, info);
            gpu.ReadBaseBoostClocks(index, info);
            gpu.ReadCoreVoltage(index, info);
            gpu.ReadUtilization(index, info);
            break;
        }
        case 11: {
            std::vector<uint8_t> buffer(in.ConsumeIntegralInRange<size_t>(0, 64));
            gpu.ReadI2C(buffer.data(), static_cast<uint32_t>(buffer.size()), index);
            gpu.WriteI2C(in.ConsumeIntegral<uint8_t>(), buffer.data(), static_cast<uint32_t>(buffer.size()),
                         index);
            break;
        }
        case 12: {
            uint32_t ids[kMaxDisplayIds] = {};
            uint32_t count = 0;
            gpu.ListConnectedDisplays(ids, count);
            FuzzCheck(count <= kMaxDisplayIds, "the display list stays within its array");
            gpu.ReadPixelClock(info);
            break;
        }
        case 13:
            // Near real pixel clocks (10 kHz units), so that some timing the driver gives fits them.
            info.pixelClock = in.ConsumeIntegralInRange<int32_t>(-1, 200000);
            gpu.WritePixelClock(info);
            break;
        case 14: {
            uint32_t count = 0;
            DisplayPathSet set;
            if (gpu.ReadDisplayPaths(count, set) == 0) CheckPaths(count, set);
            break;
        }
    }
}

constexpr int kOperations = 15;
constexpr int kMaxOperations = 48;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    hostile::gDriver = &input;
    {
        FakeClock clock;
        CGpuControl gpu(&hostile::FakeQueryInterface, &clock);
        gpu.EnumGpus();
        CheckControl(gpu);
        for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i) {
            RunOperation(gpu, input.ConsumeIntegralInRange<int>(0, kOperations - 1));
            CheckControl(gpu);
        }
    }
    hostile::gDriver = nullptr;
    return 0;
}
