#pragma once
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "gpu/CGpuControl.h"

// A hostile driver: every answer (statuses, counts, record bytes, which functions exist) comes from
// the fuzzer's input, while the memory it touches is exactly what a real driver would touch — the
// size each version word declares, the arrays the counts the program passed describe. So any
// read or write out of bounds, in the program or through the sizes and counts it hands over, is
// the program's fault and AddressSanitizer stops on it.
//
// Set `hostile::gDriver` to the input before the program first calls the driver, and clear it after.

namespace hostile {

inline FuzzedDataProvider* gDriver = nullptr;

inline constexpr int32_t kFailures[] = {
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
inline int32_t NextStatus() {
    uint8_t pick = gDriver->ConsumeIntegral<uint8_t>();
    if (pick < 0xC0) return NvStatus::Ok;
    return kFailures[pick % std::size(kFailures)];
}

// Mostly a handful, the size a real machine has, sometimes any number at all.
inline uint32_t NextCount() {
    uint8_t pick = gDriver->ConsumeIntegral<uint8_t>();
    return pick < 0xF0 ? pick & 7u : gDriver->ConsumeIntegral<uint32_t>();
}

// A count the driver writes back: usually the one it was given, sometimes anything at all.
inline uint32_t MaybeLie(uint32_t honest) {
    return gDriver->ConsumeBool() ? honest : NextCount();
}

// Where read bytes go, so that the compiler keeps every read (and AddressSanitizer sees it).
inline volatile uint8_t gReadSink = 0;

// Reads `size` bytes the way the driver reads a record it was handed.
inline void ReadBytes(const void* memory, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(memory);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    gReadSink = sum;
}

// Answers into bytes [from, size): either dense bytes from the input, or a few words at chosen
// offsets over what the program put there (cheap for the fuzzer to aim at one count).
inline void Answer(void* memory, size_t size, size_t from) {
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
inline size_t DeclaredSize(const void* record) {
    uint32_t version = 0;
    std::memcpy(&version, record, sizeof version);
    return std::max<size_t>(version & 0xFFFF, sizeof version);
}

inline void AnswerRecord(void* record) {
    Answer(record, DeclaredSize(record), 4);
}

inline void ReadRecord(const void* record) {
    ReadBytes(record, DeclaredSize(record));
}

inline void AnswerWord(uint32_t* word) {
    if (word) *word = gDriver->ConsumeIntegral<uint32_t>();
}

inline void AnswerText(char* text) {
    if (text) Answer(text, kNvShortStringMax, 0);
}

inline NvPhysicalGpuHandle FakeGpuHandle(uint32_t i) {
    return reinterpret_cast<NvPhysicalGpuHandle>(static_cast<uintptr_t>(0x1000 + 0x10 * i));
}

inline int32_t NVAPI_CALL FakeInitialize() {
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGetErrorMessage(int32_t, char* text) {
    AnswerText(text);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeEnumGpus(NvPhysicalGpuHandle* handles, uint32_t* count) {
    if (!handles || !count) return NvStatus::InvalidPointer;
    for (uint32_t i = 0; i < kNvMaxPhysicalGpus; ++i) handles[i] = FakeGpuHandle(i);
    *count = NextCount();
    return NextStatus();
}

// The list goes on while the input says so; an exhausted input ends it.
inline int32_t NVAPI_CALL FakeEnumDisplay(uint32_t index, NvDisplayHandle* handle) {
    if (!handle) return NvStatus::InvalidPointer;
    *handle = reinterpret_cast<NvDisplayHandle>(static_cast<uintptr_t>(0x8000 + 0x10 * (index & 0xFFF)));
    return gDriver->ConsumeBool() ? NvStatus::Ok : NvStatus::EndEnumeration;
}

// Set by a target whose program takes paths of its own for some cards: the identity read then
// sometimes names one of them, which the fuzzer would seldom put together from bytes.
inline bool gKnownCards = false;

inline constexpr uint16_t kKnownCards[] = {0x1B80, 0x1B82, 0x1B06, 0x1B00, 0x1D01};

inline int32_t NVAPI_CALL FakePciIds(NvPhysicalGpuHandle, uint32_t* device, uint32_t* subSystem,
                                     uint32_t* revision, uint32_t* extDevice) {
    if (gKnownCards && device && extDevice && gDriver->ConsumeBool()) {
        const uint16_t card =
            kKnownCards[gDriver->ConsumeIntegralInRange<size_t>(0, std::size(kKnownCards) - 1)];
        *device = uint32_t{card} << 16 | 0x10DE;
        *extDevice = card;
        AnswerWord(subSystem);
        AnswerWord(revision);
        return NextStatus();
    }
    AnswerWord(device);
    AnswerWord(subSystem);
    AnswerWord(revision);
    AnswerWord(extDevice);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGpuWord(NvPhysicalGpuHandle, uint32_t* word) {
    AnswerWord(word);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGpuTwoWords(NvPhysicalGpuHandle, uint32_t* first, uint32_t* second) {
    AnswerWord(first);
    AnswerWord(second);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGpuText(NvPhysicalGpuHandle, char* text) {
    AnswerText(text);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeDisplayRecord(NvDisplayHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGetGpuRecord(NvPhysicalGpuHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeSetGpuRecord(NvPhysicalGpuHandle, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    ReadRecord(record);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeGetSelectedRecord(NvPhysicalGpuHandle, uint32_t, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    AnswerRecord(record);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeSetSelectedRecord(NvPhysicalGpuHandle, uint32_t, void* record) {
    if (!record) return NvStatus::InvalidPointer;
    ReadRecord(record);
    return NextStatus();
}

// Versions 1 to 3 share their leading fields, so version 1's layout reaches the pointers of all.
inline int32_t I2c(NV_I2C_INFO_V1* info, bool read) {
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

inline int32_t NVAPI_CALL FakeI2cRead(NvPhysicalGpuHandle, NV_I2C_INFO_V1* info) {
    return I2c(info, true);
}

inline int32_t NVAPI_CALL FakeI2cWrite(NvPhysicalGpuHandle, NV_I2C_INFO_V1* info) {
    return I2c(info, false);
}

inline int32_t NVAPI_CALL FakeConnectedDisplayIds(NvPhysicalGpuHandle, NV_GPU_DISPLAYIDS* ids,
                                                  uint32_t* count, uint32_t) {
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
inline int32_t NVAPI_CALL FakeGetTiming(uint32_t, NV_TIMING_INPUT* input, NV_TIMING* timing) {
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

inline int32_t NVAPI_CALL FakeTryCustomDisplay(uint32_t* ids, uint32_t count, NV_CUSTOM_DISPLAY* displays) {
    if (!ids || !displays) return NvStatus::InvalidPointer;
    ReadBytes(ids, sizeof(uint32_t) * count);
    if (count) ReadBytes(displays, DeclaredSize(displays) * count);
    return NextStatus();
}

inline int32_t NVAPI_CALL FakeSaveCustomDisplay(uint32_t* ids, uint32_t count, uint32_t, uint32_t) {
    if (!ids) return NvStatus::InvalidPointer;
    ReadBytes(ids, sizeof(uint32_t) * count);
    return NextStatus();
}

// The driver fills what the program's arrays hold — a target list as long as the count the
// program left in the path, one source mode, each target's details — and may then report counts
// that disagree with them.
inline int32_t NVAPI_CALL FakeGetDisplayConfig(uint32_t* count, NV_DISPLAYCONFIG_PATH_INFO* paths) {
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

inline int32_t NVAPI_CALL FakeSetDisplayConfig(uint32_t count, NV_DISPLAYCONFIG_PATH_INFO* paths, uint32_t) {
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
inline void* Entry(Function* function) {
    return reinterpret_cast<void*>(function);
}

inline void* FunctionFor(uint32_t queryId) {
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
inline void* NVAPI_CALL FakeQueryInterface(uint32_t queryId) {
    if (gDriver->remaining_bytes() && gDriver->ConsumeIntegral<uint8_t>() == 0xFF) return nullptr;
    return FunctionFor(queryId);
}

}  // namespace hostile
