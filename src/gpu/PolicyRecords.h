#pragma once
#include <cstddef>
#include <cstdint>

#include "gpu/NvByteRecord.h"
#include "gpu/NvTypes.h"

// Power policy information: limits per p-state, in 1/1000 percent of the rated power.
struct NvPowerPolicyInfo : NvByteRecord<184> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    static constexpr size_t kMaxEntries = (kSize - 8) / 44;
    static constexpr size_t EntryOffset(size_t i) { return 8 + 44 * i; }

    bool Valid() const { return U8(4) != 0; }
    uint8_t Count() const { return U8(5); }
    uint32_t PstateId(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i)) : 0; }
    int32_t MinTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 12) : 0; }
    int32_t DefaultTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 24) : 0; }
    int32_t MaxTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 36) : 0; }
};
static_assert(NvPowerPolicyInfo::kVersion == 0x000100B8);

// Power policy status: the target per p-state; read and written with the same layout.
struct NvPowerPolicyStatus : NvByteRecord<72> {
    static constexpr uint32_t kVersion = MakeNvVersion(1, kSize);
    static constexpr size_t kMaxEntries = (kSize - 8) / 16;
    static constexpr size_t EntryOffset(size_t i) { return 8 + 16 * i; }

    uint8_t Count() const { return U8(4); }
    void SetCount(uint8_t count) { SetU8(4, count); }
    uint32_t PstateId(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i)) : 0; }
    void SetPstateId(size_t i, uint32_t id) {
        if (i < kMaxEntries) SetU32(EntryOffset(i), id);
    }
    uint32_t Flags(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i) + 4) : 0; }
    void SetFlags(size_t i, uint32_t flags) {
        if (i < kMaxEntries) SetU32(EntryOffset(i) + 4, flags);
    }
    int32_t Target(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 8) : 0; }
    void SetTarget(size_t i, int32_t target) {
        if (i < kMaxEntries) SetS32(EntryOffset(i) + 8, target);
    }
};
static_assert(NvPowerPolicyStatus::kVersion == 0x00010048);

// The thermal controller whose target the program reads and sets.
constexpr uint32_t kThermalControllerGpu = 1;

// Thermal policy information: limits per controller, in 1/256 °C.
struct NvThermalPolicyInfo : NvByteRecord<104> {
    static constexpr uint32_t kVersion = MakeNvVersion(2, kSize);
    static constexpr size_t kMaxEntries = (kSize - 8) / 24;
    static constexpr size_t EntryOffset(size_t i) { return 8 + 24 * i; }

    bool Valid() const { return (U8(4) & 1) != 0; }
    uint8_t Count() const { return U8(5); }
    uint32_t Controller(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i)) : 0; }
    int32_t MinTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 8) : 0; }
    int32_t DefaultTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 12) : 0; }
    int32_t MaxTarget(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 16) : 0; }
};
static_assert(NvThermalPolicyInfo::kVersion == 0x00020068);

// Thermal policy status: target and priority flag per controller.
struct NvThermalPolicyStatus : NvByteRecord<56> {
    static constexpr uint32_t kVersion = MakeNvVersion(2, kSize);
    static constexpr size_t kMaxEntries = (kSize - 8) / 12;
    static constexpr size_t EntryOffset(size_t i) { return 8 + 12 * i; }

    uint8_t Count() const { return U8(4); }
    void SetCount(uint8_t count) { SetU8(4, count); }
    uint32_t Controller(size_t i) const { return i < kMaxEntries ? U32(EntryOffset(i)) : 0; }
    void SetController(size_t i, uint32_t id) {
        if (i < kMaxEntries) SetU32(EntryOffset(i), id);
    }
    int32_t Target(size_t i) const { return i < kMaxEntries ? S32(EntryOffset(i) + 4) : 0; }
    void SetTarget(size_t i, int32_t target) {
        if (i < kMaxEntries) SetS32(EntryOffset(i) + 4, target);
    }
    uint8_t Flags(size_t i) const { return i < kMaxEntries ? U8(EntryOffset(i) + 8) : 0; }
    void SetFlags(size_t i, uint8_t flags) {
        if (i < kMaxEntries) SetU8(EntryOffset(i) + 8, flags);
    }
};
static_assert(NvThermalPolicyStatus::kVersion == 0x00020038);
