#include <algorithm>
#include <cstring>

#include "gpu/CGpuControl.h"
#include "gpu/VersionFallback.h"

namespace {

constexpr size_t kVfMaskPoints = kVfMaskWords * 32;

// Counts come from the driver; a table never holds more entries than its arrays.
uint32_t Bounded(uint32_t count, uint32_t limit) {
    return std::min(count, limit);
}

bool IsEditable(uint32_t flags) {
    return (flags & kPstateEditableBit) != 0;
}

void TakeClockEntry(const NV_GPU_PSTATE20_CLOCK_ENTRY_V1& clock, GpuPerfInfo& info) {
    const auto& delta = clock.freqDeltaKhz;
    bool single = clock.typeId == kClockTypeSingle;
    bool range = clock.typeId == kClockTypeRange;
    if (clock.domainId == kClockDomainGraphics) {
        info.graphicsOffset = delta.value;
        info.graphicsOffsetMin = delta.min;
        info.graphicsOffsetMax = delta.max;
        if (single) info.graphicsClock = static_cast<int32_t>(clock.data.single.freqKhz);
        if (range) {
            info.graphicsRangeMin = static_cast<int32_t>(clock.data.range.minFreqKhz);
            info.graphicsRangeMax = static_cast<int32_t>(clock.data.range.maxFreqKhz);
        }
    } else if (clock.domainId == kClockDomainMemory) {
        info.memoryOffset = delta.value;
        info.memoryOffsetMin = delta.min;
        info.memoryOffsetMax = delta.max;
        if (single) {
            info.memoryClock = static_cast<int32_t>(clock.data.single.freqKhz);
            info.memorySingleClock = info.memoryClock;
        }
        if (range) {
            info.memoryRangeMin = static_cast<int32_t>(clock.data.range.minFreqKhz);
            info.memoryRangeMax = static_cast<int32_t>(clock.data.range.maxFreqKhz);
        }
    }
}

void TakeOverVolt(const NV_GPU_PERF_PSTATES20_INFO& table, GpuPerfInfo& info) {
    uint32_t count = Bounded(table.ov.numVoltages, kMaxPstates20BaseVoltages);
    for (uint32_t i = 0; i < count; ++i) {
        const auto& entry = table.ov.voltages[i];
        if (!IsEditable(entry.flags)) continue;
        info.overVolt = entry.voltDeltaUv.value;
        info.overVoltMin = entry.voltDeltaUv.min;
        info.overVoltMax = entry.voltDeltaUv.max;
    }
}

NV_GPU_PERF_PSTATES20_INFO ClearedTable(uint32_t version) {
    NV_GPU_PERF_PSTATES20_INFO table;
    std::memset(&table, 0, sizeof table);
    table.version = version;
    return table;
}

template <class Record>
void ClearWithVersion(Record& record) {
    record.Clear();
    record.SetVersion(Record::kVersion);
}

// Reads the clock-domain and V/F point information; a failed read leaves both cleared.
int32_t ReadVfRecords(NvApi& nvapi, NvPhysicalGpuHandle handle, NvVfDomainInfo& domains,
                      NvVfPointInfo& points) {
    ClearWithVersion(domains);
    ClearWithVersion(points);
    int32_t result = nvapi.GetVfDomainInfo(handle, &domains);
    if (result == NvStatus::Ok) result = nvapi.GetVfPointInfo(handle, &points);
    if (result != NvStatus::Ok) {
        domains.Clear();
        points.Clear();
    }
    return result;
}

// The eight V/F fields, by position: the first domain entry is taken as graphics and the second as
// memory. Returns false, filling nothing, when either read fails.
bool FillVfDomains(NvApi& nvapi, NvPhysicalGpuHandle handle, GpuPerfInfo& info, int32_t& status) {
    NvVfDomainInfo domains;
    NvVfPointInfo points;
    status = ReadVfRecords(nvapi, handle, domains, points);
    if (status != NvStatus::Ok) return false;
    info.vfGraphicsUpper = domains.UpperLimit(0);
    info.vfGraphicsLower = domains.LowerLimit(0);
    info.vfGraphicsFirst = domains.FirstPoint(0);
    info.vfGraphicsLast = domains.LastPoint(0);
    info.vfMemoryUpper = domains.UpperLimit(1);
    info.vfMemoryLower = domains.LowerLimit(1);
    info.vfMemoryFirst = domains.FirstPoint(1);
    info.vfMemoryLast = domains.LastPoint(1);
    return true;
}

}  // namespace

int CGpuControl::ReadCurrentPstate(int gpuIndex) {
    uint32_t current = 0;
    status = nvapi.GetCurrentPstate(GpuHandle(gpuIndex), &current);
    if (status != NvStatus::Ok) return 1;
    pstate = static_cast<int32_t>(current);
    return 0;
}

int CGpuControl::ReadPstateTable(int gpuIndex, GpuPerfInfo& info, int pstateId) {
    NvPhysicalGpuHandle handle = GpuHandle(gpuIndex);
    ReadCurrentPstate(gpuIndex);
    if (pstateId != kPstateNone) pstate = pstateId;

    NV_GPU_PERF_PSTATES20_INFO table = ClearedTable(0);
    status =
        CallWithVersions({kPstates20InfoVer3, kPstates20InfoVer2, kPstates20InfoVer1}, [&](uint32_t version) {
            table = ClearedTable(version);
            return nvapi.GetPstates20(handle, &table);
        });
    if (status != NvStatus::Ok) return 1;

    uint32_t pstateCount = Bounded(table.numPstates, kMaxPstates20Pstates);
    uint32_t clockCount = Bounded(table.numClocks, kMaxPstates20Clocks);
    uint32_t voltageCount = Bounded(table.numBaseVoltages, kMaxPstates20BaseVoltages);
    for (uint32_t p = 0; p < pstateCount; ++p) {
        const auto& entry = table.pstates[p];
        // Without a chosen p-state (16) no entry matches, whatever id a driver reports.
        if (pstate != kPstateNone && static_cast<int64_t>(entry.pstateId) == pstate) {
            for (uint32_t c = 0; c < clockCount; ++c) TakeClockEntry(entry.clocks[c], info);
            for (uint32_t v = 0; v < voltageCount; ++v) {
                const auto& voltage = entry.baseVoltages[v];
                if (voltage.domainId != kVoltageDomainCore) continue;
                info.coreVoltOffset = voltage.voltDeltaUv.value;
                info.coreVoltOffsetMin = voltage.voltDeltaUv.min;
                info.coreVoltOffsetMax = voltage.voltDeltaUv.max;
            }
        }
        // The over-voltage list belongs to the table, but is taken once per p-state entry, so a
        // table without p-states gives no over-voltage.
        TakeOverVolt(table, info);
    }
    return 0;
}

int CGpuControl::WriteClockOffsets(int gpuIndex, GpuPerfInfo info) {
    // Version 1 is a prefix of the larger layout; only its bytes travel.
    NV_GPU_PERF_PSTATES20_INFO table = ClearedTable(kPstates20InfoVer1);
    table.numPstates = 1;
    table.numClocks = 2;
    table.numBaseVoltages = 1;
    auto& p0 = table.pstates[0];
    p0.pstateId = 0;
    p0.clocks[0].domainId = kClockDomainGraphics;
    p0.clocks[0].freqDeltaKhz.value = info.graphicsOffset;
    p0.clocks[1].domainId = kClockDomainMemory;
    p0.clocks[1].freqDeltaKhz.value = info.memoryOffset;
    p0.baseVoltages[0].domainId = kVoltageDomainCore;
    p0.baseVoltages[0].voltDeltaUv.value = info.coreVoltOffset;
    status = nvapi.SetPstates20(GpuHandle(gpuIndex), &table);
    return status == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::WriteOverVolt(int gpuIndex, GpuPerfInfo info) {
    NvPhysicalGpuHandle handle = GpuHandle(gpuIndex);
    uint32_t accepted = 0;
    status =
        CallWithVersions({kPstates20InfoVer3, kPstates20InfoVer2, kPstates20InfoVer1}, [&](uint32_t version) {
            NV_GPU_PERF_PSTATES20_INFO table = ClearedTable(version);
            table.ov.numVoltages = 1;
            table.ov.voltages[0].domainId = kVoltageDomainCore;
            table.ov.voltages[0].voltDeltaUv.value = info.overVolt;
            accepted = version;
            return nvapi.SetPstates20(handle, &table);
        });
    // The version-1 record ends before the over-voltage list, so a driver taking only that one
    // received an empty table: the over-voltage did not arrive.
    return status == NvStatus::Ok && accepted != kPstates20InfoVer1 ? 0 : 1;
}

void CGpuControl::ReadVfDomains(int gpuIndex, GpuPerfInfo& info) {
    FillVfDomains(nvapi, GpuHandle(gpuIndex), info, status);
}

void CGpuControl::ReadVfOffsets(GpuPerfInfo& info) {
    NvVfDomainInfo domains;
    NvVfPointInfo points;
    status = ReadVfRecords(nvapi, GpuHandle(kSelectedGpu), domains, points);
    if (status != NvStatus::Ok) return;
    NvVfPointControl control;
    ClearWithVersion(control);
    for (size_t word = 0; word < kVfMaskWords; ++word) control.SetMaskWord(word, points.MaskWord(word));
    status = nvapi.GetVfPointControl(GpuHandle(kSelectedGpu), &control);
    // A cleared control record would read as offset 0 on every point; take nothing instead.
    if (status != NvStatus::Ok) return;

    size_t domainCount = std::min<size_t>(domains.Count(), NvVfDomainInfo::kMaxEntries);
    for (size_t i = 0; i < domainCount; ++i) {
        if (domains.EntryFlags(i) != 0) continue;
        int32_t* target = domains.Domain(i) == kClockDomainGraphics ? &info.graphicsOffset
                          : domains.Domain(i) == kClockDomainMemory ? &info.memoryOffset
                                                                    : nullptr;
        if (!target) continue;
        for (size_t k = domains.FirstPoint(i); k <= domains.LastPoint(i); ++k) {
            if (control.PointFlags(k) != 0) continue;
            *target = control.PointOffset(k);
            break;
        }
    }
}

int CGpuControl::SetVfPointOffset(int point, int offsetKhz) {
    if (point < 0 || static_cast<size_t>(point) >= std::min(kVfMaskPoints, NvVfPointControl::kMaxPoints))
        return 0;
    NvPhysicalGpuHandle handle = GpuHandle(kSelectedGpu);
    NvVfDomainInfo domains;
    NvVfPointInfo points;
    status = ReadVfRecords(nvapi, handle, domains, points);
    if (status != NvStatus::Ok) return 0;

    auto k = static_cast<size_t>(point);
    NvVfPointControl control;
    ClearWithVersion(control);
    control.SetMaskWord(k / 32, 1u << (k % 32));
    status = nvapi.GetVfPointControl(handle, &control);
    if (status != NvStatus::Ok) return 0;
    control.SetPointOffset(k, offsetKhz);
    status = nvapi.SetVfPointControl(handle, &control);
    return status == NvStatus::Ok ? 1 : 0;
}

void CGpuControl::WriteVfOffsets(int gpuIndex, GpuPerfInfo info) {
    // Without the domains the copy's point ranges are whatever the caller left in them, and
    // writing those would put offsets on points of the wrong domain.
    if (!FillVfDomains(nvapi, GpuHandle(gpuIndex), info, status)) return;
    for (int k = info.vfGraphicsFirst; k <= info.vfGraphicsLast; ++k)
        SetVfPointOffset(k, info.graphicsOffset);
    for (int k = info.vfMemoryFirst; k <= info.vfMemoryLast; ++k) SetVfPointOffset(k, info.memoryOffset);
}

int CGpuControl::ReadVoltBoost(uint8_t& percent) {
    NvVoltBoost boost;
    ClearWithVersion(boost);
    status = nvapi.GetVoltBoost(GpuHandle(kSelectedGpu), &boost);
    if (status == NvStatus::Ok) percent = boost.Percent();
    return status;
}

int CGpuControl::WriteVoltBoost(int gpuIndex, uint8_t percent) {
    NvVoltBoost boost;
    ClearWithVersion(boost);
    boost.SetPercent(percent);
    status = nvapi.SetVoltBoost(GpuHandle(gpuIndex), &boost);
    return status == NvStatus::Ok ? 0 : 1;
}
