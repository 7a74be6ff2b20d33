#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvByteRecord.h"
#include "gpu/NvTypes.h"

// Cooler selector passed with both cooler calls: all coolers of the GPU.
constexpr uint32_t kCoolerSelectorAll = 7;

// Cooler policies as the program uses them.
constexpr int kCoolerPolicyManual = 1;
constexpr int kCoolerPolicyAuto = 32;

// Cooler settings, sized for the largest of its three layouts; the fields used sit at the same
// offsets in all of them, the speed readings only in the first.
struct NvCoolerSettings : NvByteRecord<1368> {
    static constexpr uint32_t kVersion4 = MakeNvVersion(4, 1368);
    static constexpr uint32_t kVersion2 = MakeNvVersion(2, 968);
    static constexpr uint32_t kVersion1 = MakeNvVersion(1, 968);

    int32_t MinLevel() const { return S32(16); }
    void SetMinLevel(int32_t level) { SetS32(16, level); }
    int32_t MaxLevel() const { return S32(20); }
    void SetMaxLevel(int32_t level) { SetS32(20, level); }
    int32_t CurrentLevel() const { return S32(32); }
    void SetCurrentLevel(int32_t level) { SetS32(32, level); }
    uint32_t SpeedReading() const { return U32(56); }
    bool SpeedReadingPresent() const { return U8(60) == 1; }
    uint32_t FullSpeedReading() const { return U32(64); }
};
static_assert(NvCoolerSettings::kVersion4 == 0x00040558);
static_assert(NvCoolerSettings::kVersion2 == 0x000203C8);
static_assert(NvCoolerSettings::kVersion1 == 0x000103C8);

// Cooler levels: per cooler a level (percent) and a policy; sized for the larger layout.
struct NvCoolerLevels : NvByteRecord<164> {
    static constexpr uint32_t kVersionLarge = MakeNvVersion(1, 164);  // 20 coolers
    static constexpr uint32_t kVersionSmall = MakeNvVersion(1, 28);   // 3 coolers
    static constexpr size_t kMaxCoolers = (kSize - 4) / 8;

    int32_t Level(size_t cooler) const { return cooler < kMaxCoolers ? S32(4 + 8 * cooler) : 0; }
    int32_t Policy(size_t cooler) const { return cooler < kMaxCoolers ? S32(8 + 8 * cooler) : 0; }
    void SetCooler(size_t cooler, int32_t level, int32_t policy) {
        if (cooler >= kMaxCoolers) return;
        SetS32(4 + 8 * cooler, level);
        SetS32(8 + 8 * cooler, policy);
    }
};
static_assert(NvCoolerLevels::kVersionLarge == 0x000100A4);
static_assert(NvCoolerLevels::kVersionSmall == 0x0001001C);
