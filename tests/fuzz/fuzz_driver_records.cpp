#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "gpu/CGpuControl.h"
#include "support/FakeClock.h"

// A hostile driver: every answer (statuses, counts, record bytes, which functions exist) comes from
// the fuzzer's input, while the memory it touches is exactly what a real driver would touch — the
// size each version word declares, the arrays the counts the program passed describe. So any
// read or write out of bounds, in the program or through the sizes and counts it hands over, is
// the program's fault and AddressSanitizer stops on it.

namespace {

FuzzedDataProvider* gDriver = nullptr;

constexpr int32_t kFailures[] = {
    NvStatus::Error,
    NvStatus::NoImplementation,
    NvStatus::ApiNotInitialized,
    NvStatus::InvalidArgument,
    NvStatus::InvalidHandle,
    NvStatus::IncompatibleStructVersion,
    NvStatus::HandleInvalidated,
    NvStatus::NotSupported,
    NvStatus::OutOfMemory,
};

// Mostly success, so the readers get as far as the records; an exhausted input answers success
// with zero counts and cleared records, which every loop over the driver's answers must survive.
int32_t NextStatus() {
    uint8_t pick = gDriver->ConsumeIntegral<uint8_t>();
    if (pick < 0xC0) return NvStatus::Ok;
    return kFailures[pick % std::size(kFailures)];
}

// Mostly a handful, the size a real machine has, sometimes any number at all.
uint32_t NextCount() {
    uint8_t pick = gDriver->ConsumeIntegral<uint8_t>();
    return pick < 0xF0 ? pick & 7u : gDriver->ConsumeIntegral<uint32_t>();
}

// A count the driver writes back: usually the one it was given, sometimes anything at all.
uint32_t MaybeLie(uint32_t honest) {
    return gDriver->ConsumeBool() ? honest : NextCount();
}

// Where read bytes go, so that the compiler keeps every read (and AddressSanitizer sees it).
volatile uint8_t gReadSink = 0;

// Reads `size` bytes the way the driver reads a record it was handed.
void ReadBytes(const void* memory, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(memory);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    gReadSink = sum;
}

// Answers into bytes [from, size): either dense bytes from the input, or a few words at chosen
// offsets over what the program put there (cheap for the fuzzer to aim at one count).
void Answer(void* memory, size_t size, size_t from) {
    std::vector<uint8_t> bytes(size);
    if (size) std::memcpy(bytes.data(), memory, size);
    if (size > from) {
        uint8_t mode = gDriver->ConsumeIntegral<uint8_t>();
        if (mode >= 0xF0) {
            std::vector<uint8_t> dense = gDriver->ConsumeBytes<uint8_t>(size - from);
            std::copy(dense.begin(), dense.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from));
        } else {
            for (int i = 0; i < mode % 8; ++i) {
                size_t at = from + gDriver->ConsumeIntegral<uint16_t>() % (size - from);
                uint32_t word = gDriver->ConsumeIntegral<uint32_t>();
                for (size_t b = 0; b < 4 && at + b < size; ++b)
                    bytes[at + b] = static_cast<uint8_t>(word >> (8 * b));
            }
        }
    }
    if (size) std::memcpy(memory, bytes.data(), size);
}

// The size a record's version word declares; the driver trusts it, as the real one does.
size_t DeclaredSize(const void* record) {
    uint32_t version = 0;
    std::memcpy(&version, record, sizeof version);
    return std::max<size_t>(version & 0xFFFF, sizeof version);
}

void AnswerRecord(void* record) {
    Answer(record, DeclaredSize(record), 4);
}

void ReadRecord(const void* record) {
    ReadBytes(record, DeclaredSize(record));
}

void AnswerWord(uint32_t* word) {
    if (word) *word = gDriver->ConsumeIntegral<uint32_t>();
}

void AnswerText(char* text) {
    if (text) Answer(text, kNvShortStringMax, 0);
}

NvPhysicalGpuHandle FakeGpuHandle(uint32_t i) {
    return reinterpret_cast<NvPhysicalGpuHandle>(static_cast<uintptr_t>(0x1000 + 0x10 * i));
}

int32_t NVAPI_CALL FakeInitialize() {
    return NextStatus();
}

int32_t NVAPI_CALL FakeGetErrorMessage(int32_t, char* text) {
    AnswerText(text);
    return NextStatus();
}

int32_t NVAPI_CALL FakeEnumGpus(NvPhysicalGpuHandle* handles, uint32_t* count) {
    if (!handles || !count) return NvStatus::InvalidPointer;
    for (uint32_t i = 0; i < kNvMaxPhysicalGpus; ++i) handles[i] = FakeGpuHandle(i);
    *count = NextCount();
    return NextStatus();
}

// The list goes on while the input says so; an exhausted input ends it.
int32_t NVAPI_CALL FakeEnumDisplay(uint32_t index, NvDisplayHandle* handle) {
    if (!handle) return NvStatus::InvalidPointer;
    *handle = reinterpret_cast<NvDisplayHandle>(static_cast<uintptr_t>(0x8000 + 0x10 * (index & 0xFFF)));
    return gDriver->ConsumeBool() ? NvStatus::Ok : NvStatus::EndEnumeration;
}

int32_t NVAPI_CALL FakePciIds(NvPhysicalGpuHandle, uint32_t* device, uint32_t* subSystem, uint32_t* revision,
                              uint32_t* extDevice) {
    AnswerWord(device);
    AnswerWord(subSystem);
    AnswerWord(revision);
    AnswerWord(extDevice);
    return NextStatus();
}

int32_t NVAPI_CALL FakeGpuWord(NvPhysicalGpuHandle, uint32_t* word) {
    AnswerWord(word);
    return NextStatus();
}

int32_t NVAPI_CALL FakeGpuTwoWords(NvPhysicalGpuHandle, uint32_t* first, uint32_t* second) {
    AnswerWord(first);
    AnswerWord(second);
    return NextStatus();
}

int32_t NVAPI_CALL FakeGpuText(NvPhysicalGpuHandle, char* text) {
    AnswerText(text);
    return NextStatus();
}

int32_t NVAPI_CALL FakeDisplayRecord(NvDisplayHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

int32_t NVAPI_CALL FakeGetGpuRecord(NvPhysicalGpuHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

int32_t NVAPI_CALL FakeSetGpuRecord(NvPhysicalGpuHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    ReadRecord(record);
    return NextStatus();
}

int32_t NVAPI_CALL FakeGetSelectedRecord(NvPhysicalGpuHandle, uint32_t, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

int32_t NVAPI_CALL FakeSetSelectedRecord(NvPhysicalGpuHandle, uint32_t, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    ReadRecord(record);
    return NextStatus();
}

// Versions 1 to 3 share their leading fields, so version 1's layout reaches the pointers of all.
int32_t I2c(NV_I2C_INFO_V1* info, bool read) {
    if (!info) return NvStatus::InvalidPointer;
    ReadRecord(info);
    if (info->regAddrSize) ReadBytes(info->pbI2cRegAddress, info->regAddrSize);
    if (read) {
        Answer(info->pbData, info->cbSize, 0);
    } else {
        ReadBytes(info->pbData, info->cbSize);
    }
    return NextStatus();
}

int32_t NVAPI_CALL FakeI2cRead(NvPhysicalGpuHandle, NV_I2C_INFO_V1* info) {
    return I2c(info, true);
}

int32_t NVAPI_CALL FakeI2cWrite(NvPhysicalGpuHandle, NV_I2C_INFO_V1* info) {
    return I2c(info, false);
}

int32_t NVAPI_CALL FakeConnectedDisplayIds(NvPhysicalGpuHandle, NV_GPU_DISPLAYIDS* ids, uint32_t* count,
                                           uint32_t) {
    if (!count) return NvStatus::InvalidPointer;
    if (!ids) {
        *count = NextCount();
        return NextStatus();
    }
    if (*count) {
        // Entries are as large as the first one's version says.
        size_t stride = DeclaredSize(ids);
        auto* bytes = reinterpret_cast<uint8_t*>(ids);
        for (uint32_t i = 0; i < *count; ++i) Answer(bytes + stride * i, stride, 4);
    }
    *count = MaybeLie(*count);
    return NextStatus();
}

// A real 1080p timing with the input's changes over it, so the fuzzer need not build a whole mode
// before the program goes on to set one.
int32_t NVAPI_CALL FakeGetTiming(uint32_t, NV_TIMING_INPUT* input, NV_TIMING* timing) {
    if (!input || !timing) return NvStatus::InvalidPointer;
    ReadRecord(input);
    std::memset(timing, 0, sizeof *timing);
    timing->HVisible = 1920;
    timing->HTotal = 2200;
    timing->VVisible = 1080;
    timing->VTotal = 1125;
    timing->pclk = 14850;
    timing->etc.rr = 60;
    timing->etc.rrx1k = 60000;
    Answer(timing, sizeof(NV_TIMING), 0);
    return NextStatus();
}

int32_t NVAPI_CALL FakeTryCustomDisplay(uint32_t* ids, uint32_t count, NV_CUSTOM_DISPLAY* displays) {
    if (!ids || !displays) return NvStatus::InvalidPointer;
    ReadBytes(ids, sizeof(uint32_t) * count);
    if (count) ReadBytes(displays, DeclaredSize(displays) * count);
    return NextStatus();
}

int32_t NVAPI_CALL FakeSaveCustomDisplay(uint32_t* ids, uint32_t count, uint32_t, uint32_t) {
    if (!ids) return NvStatus::InvalidPointer;
    ReadBytes(ids, sizeof(uint32_t) * count);
    return NextStatus();
}

// The driver fills what the program's arrays hold — a target list as long as the count the
// program left in the path, one source mode, each target's details — and may then report counts
// that disagree with them.
int32_t NVAPI_CALL FakeGetDisplayConfig(uint32_t* count, NV_DISPLAYCONFIG_PATH_INFO* paths) {
    if (!count) return NvStatus::InvalidPointer;
    if (!paths) {
        *count = NextCount();
        return NextStatus();
    }
    for (uint32_t p = 0; p < *count; ++p) {
        NV_DISPLAYCONFIG_PATH_INFO& path = paths[p];
        ReadRecord(&path);
        path.sourceId = gDriver->ConsumeIntegral<uint32_t>();
        path.flags = gDriver->ConsumeIntegral<uint32_t>();
        if (path.sourceModeInfo) Answer(path.sourceModeInfo, sizeof(NV_DISPLAYCONFIG_SOURCE_MODE_INFO), 0);
        if (!path.targetInfo) {
            path.targetInfoCount = NextCount();
            continue;
        }
        for (uint32_t t = 0; t < path.targetInfoCount; ++t) {
            NV_DISPLAYCONFIG_PATH_TARGET_INFO& target = path.targetInfo[t];
            target.displayId = gDriver->ConsumeIntegral<uint32_t>();
            target.targetId = gDriver->ConsumeIntegral<uint32_t>();
            if (target.details) AnswerRecord(target.details);
        }
        path.targetInfoCount = MaybeLie(path.targetInfoCount);
    }
    *count = MaybeLie(*count);
    return NextStatus();
}

int32_t NVAPI_CALL FakeSetDisplayConfig(uint32_t count, NV_DISPLAYCONFIG_PATH_INFO* paths, uint32_t) {
    if (!paths) return NvStatus::InvalidPointer;
    for (uint32_t p = 0; p < count; ++p) {
        const NV_DISPLAYCONFIG_PATH_INFO& path = paths[p];
        ReadRecord(&path);
        if (path.sourceModeInfo) ReadBytes(path.sourceModeInfo, sizeof(NV_DISPLAYCONFIG_SOURCE_MODE_INFO));
        if (!path.targetInfo) continue;
        for (uint32_t t = 0; t < path.targetInfoCount; ++t) {
            ReadBytes(&path.targetInfo[t], sizeof(NV_DISPLAYCONFIG_PATH_TARGET_INFO));
            if (path.targetInfo[t].details) ReadRecord(path.targetInfo[t].details);
        }
    }
    return NextStatus();
}

template <class Function>
void* Entry(Function* function) {
    return reinterpret_cast<void*>(function);
}

void* FunctionFor(uint32_t queryId) {
    switch (queryId) {
        case QueryId::Initialize:
            return Entry(&FakeInitialize);
        case QueryId::GetErrorMessage:
            return Entry(&FakeGetErrorMessage);
        case QueryId::EnumTCCPhysicalGPUs:
        case QueryId::EnumPhysicalGPUs:
            return Entry(&FakeEnumGpus);
        case QueryId::EnumNvidiaDisplayHandle:
            return Entry(&FakeEnumDisplay);
        case QueryId::GetPCIIdentifiers:
            return Entry(&FakePciIds);
        case QueryId::GetPhysicalFrameBufferSize:
        case QueryId::GetMemoryType:
        case QueryId::GetMemoryMaker:
        case QueryId::GetGpuCoreCount:
        case QueryId::GetCurrentPstate:
            return Entry(&FakeGpuWord);
        case QueryId::GetMemoryBusWidth:
            return Entry(&FakeGpuTwoWords);
        case QueryId::GetFullName:
        case QueryId::GetVbiosVersionString:
            return Entry(&FakeGpuText);
        case QueryId::GetDisplayDriverVersion:
            return Entry(&FakeDisplayRecord);
        case QueryId::GetPstates20:
        case QueryId::GetVfDomainInfo:
        case QueryId::GetVfPointInfo:
        case QueryId::GetVfPointControl:
        case QueryId::GetVoltBoost:
        case QueryId::GetPowerPolicyInfo:
        case QueryId::GetPowerPolicyStatus:
        case QueryId::GetThermalPolicyInfo:
        case QueryId::GetThermalPolicyStatus:
        case QueryId::GetAllClockFrequencies:
        case QueryId::GetDynamicPstatesInfoEx:
        case QueryId::GetVoltageStatus:
            return Entry(&FakeGetGpuRecord);
        case QueryId::SetPstates20:
        case QueryId::SetVfPointControl:
        case QueryId::SetVoltBoost:
        case QueryId::SetPowerPolicyStatus:
        case QueryId::SetThermalPolicyStatus:
            return Entry(&FakeSetGpuRecord);
        case QueryId::GetCoolerSettings:
        case QueryId::GetThermalSettings:
            return Entry(&FakeGetSelectedRecord);
        case QueryId::SetCoolerLevels:
            return Entry(&FakeSetSelectedRecord);
        case QueryId::I2CRead:
            return Entry(&FakeI2cRead);
        case QueryId::I2CWrite:
            return Entry(&FakeI2cWrite);
        case QueryId::GetConnectedDisplayIds:
            return Entry(&FakeConnectedDisplayIds);
        case QueryId::GetTiming:
            return Entry(&FakeGetTiming);
        case QueryId::TryCustomDisplay:
            return Entry(&FakeTryCustomDisplay);
        case QueryId::SaveCustomDisplay:
            return Entry(&FakeSaveCustomDisplay);
        case QueryId::GetDisplayConfig:
            return Entry(&FakeGetDisplayConfig);
        case QueryId::SetDisplayConfig:
            return Entry(&FakeSetDisplayConfig);
    }
    return nullptr;
}

// Some drivers lack some functions; the input decides which, once per function and run.
void* NVAPI_CALL FakeQueryInterface(uint32_t queryId) {
    if (gDriver->remaining_bytes() && gDriver->ConsumeIntegral<uint8_t>() == 0xFF) return nullptr;
    return FunctionFor(queryId);
}

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
    FuzzedDataProvider& in = *gDriver;
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
    gDriver = &input;
    {
        FakeClock clock;
        CGpuControl gpu(&FakeQueryInterface, &clock);
        gpu.EnumGpus();
        CheckControl(gpu);
        for (int i = 0; i < kMaxOperations && input.remaining_bytes() > 0; ++i) {
            RunOperation(gpu, input.ConsumeIntegralInRange<int>(0, kOperations - 1));
            CheckControl(gpu);
        }
    }
    gDriver = nullptr;
    return 0;
}
