#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimNumbers.h"
#include "sim/SimParse.h"
#include "sim/SimRecordBytes.h"
#include "sim/SimRegistry.h"
#include "sim/SimTuning.h"
#include "sim/SimVersions.h"

// The performance-state table: the current p-state, and a P0 whose graphics, memory and core
// base-voltage deltas and over-voltage entries the table write changes and the read returns.
namespace {

// The table record's documented layout: a 20-byte header, 16 p-states of 456 bytes, then (from
// version 2) the over-voltage list.
constexpr size_t kPstateBase = 20;
constexpr size_t kPstateStride = 456;
constexpr size_t kClockBase = 8;
constexpr size_t kClockStride = 44;
constexpr size_t kBaseVoltageBase = 360;
constexpr size_t kVoltageStride = 24;
constexpr size_t kOverVoltCount = 7316;
constexpr size_t kOverVoltBase = 7320;
constexpr uint32_t kMaxPstates = 16;
constexpr uint32_t kMaxClocks = 8;
constexpr uint32_t kMaxVoltages = 4;
constexpr uint32_t kGraphics = 0;
constexpr uint32_t kMemory = 4;
constexpr uint32_t kCoreVoltage = 0;
constexpr uint32_t kEditable = 1;

struct SimDelta {
    int32_t value = 0;
    int32_t min = 0;
    int32_t max = 0;
    bool Allows(int32_t candidate) const { return candidate >= min && candidate <= max; }
};

struct SimClockEntry {
    bool range = false;
    uint32_t freqKhz = 0;  // a single entry
    uint32_t minKhz = 0;   // a range entry
    uint32_t maxKhz = 0;
    SimDelta delta;
};

struct SimOverVolt {
    bool editable = true;
    SimDelta delta;
};

// A desktop card's P0 unless the scenario says otherwise.
struct SimPstateTable {
    bool supported = true;
    uint32_t current = 0;
    SimClockEntry graphics{true, 0, 139000, 1911000, {0, -200000, 200000}};
    SimClockEntry memory{false, 5005000, 0, 0, {0, -500000, 1000000}};
    uint32_t baseVoltUv = 1062500;
    SimDelta baseVolt{0, 0, 0};
    std::vector<SimOverVolt> overVolts{{true, {0, 0, 100000}}};
    bool overVoltsFromScenario = false;  // the first over_volt line replaces the default entry
};

size_t PstateOffset(uint32_t p) {
    return kPstateBase + kPstateStride * p;
}

void WriteDelta(SimRecordBytes& record, size_t offset, const SimDelta& delta) {
    record.SetS32(offset, delta.value);
    record.SetS32(offset + 4, delta.min);
    record.SetS32(offset + 8, delta.max);
}

void WriteClock(SimRecordBytes& record, size_t offset, uint32_t domain, const SimClockEntry& clock) {
    record.SetU32(offset, domain);
    record.SetU32(offset + 4, clock.range ? 1 : 0);
    record.SetU32(offset + 8, kEditable);
    WriteDelta(record, offset + 12, clock.delta);
    if (clock.range) {
        record.SetU32(offset + 24, clock.minKhz);
        record.SetU32(offset + 28, clock.maxKhz);
        record.SetU32(offset + 32, kCoreVoltage);
    } else {
        record.SetU32(offset + 24, clock.freqKhz);
    }
}

void WriteVoltage(SimRecordBytes& record, size_t offset, bool editable, uint32_t voltUv,
                  const SimDelta& delta) {
    record.SetU32(offset, kCoreVoltage);
    record.SetU32(offset + 4, editable ? kEditable : 0);
    record.SetU32(offset + 8, voltUv);
    WriteDelta(record, offset + 12, delta);
}

void SyncTuning(SimGpu& gpu) {
    const auto& table = gpu.state.Get<SimPstateTable>();
    SimTuning& tuning = gpu.state.Get<SimTuning>();
    tuning.graphicsOffsetKhz = table.graphics.delta.value;
    tuning.memoryOffsetKhz = table.memory.delta.value;
    tuning.baseVoltOffsetUv = table.baseVolt.value;
    tuning.overVoltUv = 0;
    for (const auto& entry : table.overVolts) {
        if (!entry.editable) continue;
        tuning.overVoltUv = entry.delta.value;
        break;
    }
}

int32_t NVAPI_CALL SimGetCurrentPstate(NvPhysicalGpuHandle handle, uint32_t* pstate) {
    SimCall call(QueryId::GetCurrentPstate);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Pointer(pstate)) return call.Status();
    call.Watch(pstate, sizeof *pstate);
    *pstate = gpu->state.Get<SimPstateTable>().current;
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetPstates20(NvPhysicalGpuHandle handle, void* info) {
    SimCall call(QueryId::GetPstates20);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu ||
        !call.Record(info, {SimVersion::Pstates20V1, SimVersion::Pstates20V2, SimVersion::Pstates20V3}))
        return call.Status();
    const auto& table = gpu->state.Get<SimPstateTable>();
    if (!table.supported) return call.Fail(NvStatus::NotSupported);

    uint32_t version = *static_cast<uint32_t*>(info);
    SimRecordBytes record(info, version & 0xFFFF);
    record.SetU32(4, kEditable);
    record.SetU32(8, 1);
    record.SetU32(12, 2);
    record.SetU32(16, 1);
    size_t p0 = PstateOffset(0);
    record.SetU32(p0, 0);
    record.SetU32(p0 + 4, kEditable);
    WriteClock(record, p0 + kClockBase, kGraphics, table.graphics);
    WriteClock(record, p0 + kClockBase + kClockStride, kMemory, table.memory);
    WriteVoltage(record, p0 + kBaseVoltageBase, true, table.baseVoltUv, table.baseVolt);
    // Version 1 ends before the over-voltage list; the record's size keeps it out.
    record.SetU32(kOverVoltCount, static_cast<uint32_t>(table.overVolts.size()));
    for (size_t i = 0; i < table.overVolts.size(); ++i) {
        const auto& entry = table.overVolts[i];
        WriteVoltage(record, kOverVoltBase + kVoltageStride * i, entry.editable, 0, entry.delta);
    }
    return call.Succeed();
}

// Applies a table write to a copy, so a refused entry leaves the table as it was.
int32_t ApplyTableWrite(const SimRecordBytes& record, uint32_t version, SimPstateTable& table) {
    uint32_t pstates = record.U32(8), clocks = record.U32(12), voltages = record.U32(16);
    if (pstates > kMaxPstates || clocks > kMaxClocks || voltages > kMaxVoltages)
        return NvStatus::InvalidArgument;
    for (uint32_t p = 0; p < pstates; ++p) {
        size_t base = PstateOffset(p);
        if (record.U32(base) != 0) return NvStatus::InvalidArgument;  // only P0 is editable
        for (uint32_t c = 0; c < clocks; ++c) {
            size_t offset = base + kClockBase + kClockStride * c;
            uint32_t domain = record.U32(offset);
            SimClockEntry* clock = domain == kGraphics ? &table.graphics
                                   : domain == kMemory ? &table.memory
                                                       : nullptr;
            int32_t delta = record.S32(offset + 12);
            if (!clock || !clock->delta.Allows(delta)) return NvStatus::InvalidArgument;
            clock->delta.value = delta;
        }
        for (uint32_t v = 0; v < voltages; ++v) {
            size_t offset = base + kBaseVoltageBase + kVoltageStride * v;
            int32_t delta = record.S32(offset + 12);
            if (record.U32(offset) != kCoreVoltage || !table.baseVolt.Allows(delta))
                return NvStatus::InvalidArgument;
            table.baseVolt.value = delta;
        }
    }
    if (version == SimVersion::Pstates20V1) return NvStatus::Ok;
    uint32_t overVolts = record.U32(kOverVoltCount);
    if (overVolts > kMaxVoltages) return NvStatus::InvalidArgument;
    for (uint32_t v = 0; v < overVolts; ++v) {
        size_t offset = kOverVoltBase + kVoltageStride * v;
        if (record.U32(offset) != kCoreVoltage) return NvStatus::InvalidArgument;
        SimOverVolt* target = nullptr;
        for (auto& entry : table.overVolts) {
            if (entry.editable) {
                target = &entry;
                break;
            }
        }
        if (!target) return NvStatus::NotSupported;
        int32_t delta = record.S32(offset + 12);
        if (!target->delta.Allows(delta)) return NvStatus::InvalidArgument;
        target->delta.value = delta;
    }
    return NvStatus::Ok;
}

int32_t NVAPI_CALL SimSetPstates20(NvPhysicalGpuHandle handle, void* info) {
    SimCall call(QueryId::SetPstates20);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu ||
        !call.Record(info, {SimVersion::Pstates20V1, SimVersion::Pstates20V2, SimVersion::Pstates20V3}))
        return call.Status();
    auto& table = gpu->state.Get<SimPstateTable>();
    if (!table.supported) return call.Fail(NvStatus::NotSupported);
    uint32_t version = *static_cast<uint32_t*>(info);
    SimPstateTable changed = table;
    int32_t result = ApplyTableWrite(SimRecordBytes(info, version & 0xFFFF), version, changed);
    if (result != NvStatus::Ok) return call.Fail(result);
    table = changed;
    SyncTuning(*gpu);
    return call.Succeed();
}

bool ReadDeltaKey(SimKeyArgs& args, SimDelta& delta) {
    std::vector<int32_t> words;
    if (!ParseInt32Words(args.value, words) || words.size() != 3 || words[1] > words[2]) {
        args.error = "expected '<delta> <minimum> <maximum>'";
        return false;
    }
    delta = {words[0], words[1], words[2]};
    SyncTuning(args.Gpu());
    return true;
}

bool ReadClockKey(SimKeyArgs& args, SimClockEntry& clock) {
    auto words = SplitWords(args.value);
    int64_t first = 0, second = 0;
    if (words.size() == 2 && words[0] == "single" && ParseInteger(words[1], first) && first >= 0 &&
        first <= UINT32_MAX) {
        clock.range = false;
        clock.freqKhz = static_cast<uint32_t>(first);
        return true;
    }
    if (words.size() == 3 && words[0] == "range" && ParseInteger(words[1], first) &&
        ParseInteger(words[2], second) && first >= 0 && first <= second && second <= UINT32_MAX) {
        clock.range = true;
        clock.minKhz = static_cast<uint32_t>(first);
        clock.maxKhz = static_cast<uint32_t>(second);
        return true;
    }
    args.error = "expected 'single <kHz>' or 'range <minimum kHz> <maximum kHz>'";
    return false;
}

bool ReadBaseVoltageKey(SimKeyArgs& args) {
    std::vector<int32_t> words;
    if (!ParseInt32Words(args.value, words) || words.size() != 4 || words[0] < 0 || words[2] > words[3]) {
        args.error = "expected '<µV> <delta> <minimum> <maximum>'";
        return false;
    }
    auto& table = args.Gpu().state.Get<SimPstateTable>();
    table.baseVoltUv = static_cast<uint32_t>(words[0]);
    table.baseVolt = {words[1], words[2], words[3]};
    SyncTuning(args.Gpu());
    return true;
}

bool ReadOverVoltKey(SimKeyArgs& args) {
    auto words = SplitWords(args.value);
    bool editable = true;
    if (words.size() == 4 && (words[3] == "editable" || words[3] == "locked")) {
        editable = words[3] == "editable";
        words.pop_back();
    }
    std::vector<int32_t> numbers;
    if (words.size() != 3 || !ParseInt32Words(words, numbers) || numbers[1] > numbers[2]) {
        args.error = "expected '<delta> <minimum> <maximum> [editable|locked]'";
        return false;
    }
    auto& table = args.Gpu().state.Get<SimPstateTable>();
    if (!table.overVoltsFromScenario) table.overVolts.clear();
    table.overVoltsFromScenario = true;
    if (table.overVolts.size() >= kMaxVoltages) {
        args.error = "more than 4 over-voltage entries";
        return false;
    }
    table.overVolts.push_back({editable, {numbers[0], numbers[1], numbers[2]}});
    SyncTuning(args.Gpu());
    return true;
}

SimPstateTable& Table(SimKeyArgs& args) {
    return args.Gpu().state.Get<SimPstateTable>();
}

}  // namespace

void RegisterSimPstates(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetCurrentPstate, SimEntry(&SimGetCurrentPstate));
    registry.AddFunction(QueryId::GetPstates20, SimEntry(&SimGetPstates20));
    registry.AddFunction(QueryId::SetPstates20, SimEntry(&SimSetPstates20));

    registry.AddKey("gpu", "pstates20", [](SimKeyArgs& a) { return ReadYesNo(a, Table(a).supported); });
    registry.AddKey("gpu", "current_pstate", [](SimKeyArgs& a) { return ReadU32(a, Table(a).current); });
    registry.AddKey("gpu", "p0_graphics", [](SimKeyArgs& a) { return ReadClockKey(a, Table(a).graphics); });
    registry.AddKey("gpu", "p0_graphics_delta",
                    [](SimKeyArgs& a) { return ReadDeltaKey(a, Table(a).graphics.delta); });
    registry.AddKey("gpu", "p0_memory", [](SimKeyArgs& a) { return ReadClockKey(a, Table(a).memory); });
    registry.AddKey("gpu", "p0_memory_delta",
                    [](SimKeyArgs& a) { return ReadDeltaKey(a, Table(a).memory.delta); });
    registry.AddKey("gpu", "p0_base_voltage", ReadBaseVoltageKey);
    registry.AddKey("gpu", "over_volt", ReadOverVoltKey);
}
