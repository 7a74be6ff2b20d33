#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvByteRecord.h"
#include "gpu/NvTypes.h"

// Clock domains, voltage domain and clock entry types of the p-state table.
constexpr uint32_t kClockDomainGraphics = 0;
constexpr uint32_t kClockDomainMemory = 4;
constexpr uint32_t kVoltageDomainCore = 0;
constexpr uint32_t kClockTypeSingle = 0;
constexpr uint32_t kClockTypeRange = 1;
constexpr uint32_t kPstateEditableBit = 1;  // bit 0 of every entry's flags word

constexpr uint32_t kMaxPstates20Pstates = 16;
constexpr uint32_t kMaxPstates20Clocks = 8;
constexpr uint32_t kMaxPstates20BaseVoltages = 4;

// A delta with the range the driver allows for it (kHz or µV).
struct NV_GPU_PERF_PSTATES20_PARAM_DELTA {
    int32_t value;
    int32_t min;
    int32_t max;
};
static_assert(sizeof(NV_GPU_PERF_PSTATES20_PARAM_DELTA) == 12);

struct NV_GPU_PSTATE20_CLOCK_ENTRY_V1 {
    uint32_t domainId;  // kClockDomainGraphics or kClockDomainMemory
    uint32_t typeId;    // kClockTypeSingle or kClockTypeRange
    uint32_t flags;     // bit 0: editable
    NV_GPU_PERF_PSTATES20_PARAM_DELTA freqDeltaKhz;
    union {
        struct {
            uint32_t freqKhz;
        } single;
        struct {
            uint32_t minFreqKhz;
            uint32_t maxFreqKhz;
            uint32_t voltDomainId;
            uint32_t minVoltageUv;
            uint32_t maxVoltageUv;
        } range;
    } data;
};
static_assert(sizeof(NV_GPU_PSTATE20_CLOCK_ENTRY_V1) == 44);
static_assert(offsetof(NV_GPU_PSTATE20_CLOCK_ENTRY_V1, flags) == 8);
static_assert(offsetof(NV_GPU_PSTATE20_CLOCK_ENTRY_V1, freqDeltaKhz) == 12);
static_assert(offsetof(NV_GPU_PSTATE20_CLOCK_ENTRY_V1, data) == 24);

struct NV_GPU_PSTATE20_BASE_VOLTAGE_ENTRY_V1 {
    uint32_t domainId;  // kVoltageDomainCore
    uint32_t flags;     // bit 0: editable
    uint32_t voltUv;
    NV_GPU_PERF_PSTATES20_PARAM_DELTA voltDeltaUv;
};
static_assert(sizeof(NV_GPU_PSTATE20_BASE_VOLTAGE_ENTRY_V1) == 24);
static_assert(offsetof(NV_GPU_PSTATE20_BASE_VOLTAGE_ENTRY_V1, voltDeltaUv) == 12);

struct NV_GPU_PERF_PSTATES20_PSTATE {
    uint32_t pstateId;  // 0 = P0 ... 15 = P15
    uint32_t flags;     // bit 0: editable
    NV_GPU_PSTATE20_CLOCK_ENTRY_V1 clocks[kMaxPstates20Clocks];
    NV_GPU_PSTATE20_BASE_VOLTAGE_ENTRY_V1 baseVoltages[kMaxPstates20BaseVoltages];
};
static_assert(sizeof(NV_GPU_PERF_PSTATES20_PSTATE) == 456);
static_assert(offsetof(NV_GPU_PERF_PSTATES20_PSTATE, clocks) == 8);
static_assert(offsetof(NV_GPU_PERF_PSTATES20_PSTATE, baseVoltages) == 360);

// Version 1: the p-state table alone.
struct NV_GPU_PERF_PSTATES20_INFO_V1 {
    uint32_t version;
    uint32_t flags;  // bit 0: editable
    uint32_t numPstates;
    uint32_t numClocks;
    uint32_t numBaseVoltages;
    NV_GPU_PERF_PSTATES20_PSTATE pstates[kMaxPstates20Pstates];
};
static_assert(sizeof(NV_GPU_PERF_PSTATES20_INFO_V1) == 7316);
static_assert(offsetof(NV_GPU_PERF_PSTATES20_INFO_V1, pstates) == 20);

// Versions 2 and 3 share this layout: the table followed by the over-voltage list.
struct NV_GPU_PERF_PSTATES20_INFO_V2 {
    uint32_t version;
    uint32_t flags;
    uint32_t numPstates;
    uint32_t numClocks;
    uint32_t numBaseVoltages;
    NV_GPU_PERF_PSTATES20_PSTATE pstates[kMaxPstates20Pstates];
    struct {
        uint32_t numVoltages;
        NV_GPU_PSTATE20_BASE_VOLTAGE_ENTRY_V1 voltages[kMaxPstates20BaseVoltages];
    } ov;
};
static_assert(sizeof(NV_GPU_PERF_PSTATES20_INFO_V2) == 7416);
static_assert(offsetof(NV_GPU_PERF_PSTATES20_INFO_V2, pstates) == 20);
static_assert(offsetof(NV_GPU_PERF_PSTATES20_INFO_V2, ov) == 7316);

using NV_GPU_PERF_PSTATES20_INFO = NV_GPU_PERF_PSTATES20_INFO_V2;

constexpr uint32_t kPstates20InfoVer1 = NvVersionOf<NV_GPU_PERF_PSTATES20_INFO_V1>(1);
constexpr uint32_t kPstates20InfoVer2 = NvVersionOf<NV_GPU_PERF_PSTATES20_INFO_V2>(2);
constexpr uint32_t kPstates20InfoVer3 = NvVersionOf<NV_GPU_PERF_PSTATES20_INFO_V2>(3);
static_assert(kPstates20InfoVer1 == 0x00011C94);
static_assert(kPstates20InfoVer2 == 0x00021CF8);
static_assert(kPstates20InfoVer3 == 0x00031CF8);

// Clock-domain V/F information: one 72-byte entry per clock domain.
struct NvVfDomainInfo : NvByteRecord<2344> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    static constexpr size_t kMaxEntries = (kSize - 40) / 72;
    static constexpr size_t EntryOffset(size_t i) { return 40 + 72 * i; }

    uint32_t Count() const { return U32(4); }
    uint32_t EntryFlags(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i)) : 1; }
    uint32_t Domain(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i) + 4) : 0; }
    int32_t UpperLimit(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 40) : 0; }
    int32_t LowerLimit(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 44) : 0; }
    uint8_t FirstPoint(size_t i) const { return i < kMaxEntries ? U8(EntryOffset(i) + 48) : 0; }
    uint8_t LastPoint(size_t i) const { return i < kMaxEntries ? U8(EntryOffset(i) + 49) : 0; }
};
static_assert(NvVfDomainInfo::kVersion == 0x00010928);
static_assert(sizeof(NvVfDomainInfo) == 2344);

constexpr size_t kVfMaskWords = 8;

// V/F point information: only its point mask (bit k of word k/32 for point k) is used.
struct NvVfPointInfo : NvByteRecord<6188> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    uint32_t MaskWord(size_t word) const { return word < kVfMaskWords ? U32(4 + 4 * word) : 0; }
    void SetMaskWord(size_t word, uint32_t value) {
        if (word < kVfMaskWords) SetU32(4 + 4 * word, value);
    }
};
static_assert(NvVfPointInfo::kVersion == 0x0001182C);

// V/F point control: a point mask and one 36-byte entry per point.
struct NvVfPointControl : NvByteRecord<9248> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    static constexpr size_t kMaxPoints = (kSize - 68) / 36;
    static constexpr size_t EntryOffset(size_t k) { return 68 + 36 * k; }

    uint32_t MaskWord(size_t word) const { return word < kVfMaskWords ? U32(4 + 4 * word) : 0; }
    void SetMaskWord(size_t word, uint32_t value) {
        if (word < kVfMaskWords) SetU32(4 + 4 * word, value);
    }
    uint32_t PointFlags(size_t k) const { return k < kMaxPoints ? U32(EntryOffset(k)) : 1; }
    int32_t PointOffset(size_t k) const { return k < kMaxPoints ? S32(EntryOffset(k) + 20) : 0; }
    void SetPointOffset(size_t k, int32_t offsetKhz) {
        if (k < kMaxPoints) SetS32(EntryOffset(k) + 20, offsetKhz);
    }
};
static_assert(NvVfPointControl::kVersion == 0x00012420);

// Voltage boost in percent, read and written with the same record.
struct NvVoltBoost : NvByteRecord<40> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    uint8_t Percent() const { return U8(4); }
    void SetPercent(uint8_t percent) { SetU8(4, percent); }
};
static_assert(NvVoltBoost::kVersion == 0x00010028);
