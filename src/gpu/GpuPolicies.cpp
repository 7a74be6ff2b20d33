#include <algorithm>
#include <cstdint>
#include <limits>

#include "gpu/CGpuControl.h"

namespace {

// A cleared record carrying its version word, as every policy call starts.
template <class Record>
Record Blank() {
    Record record;
    record.Clear();
    record.SetVersion(Record::kVersion);
    return record;
}

// A count from the driver can never make the program look past the entries its record holds.
size_t EntryCount(uint8_t reported, size_t capacity) {
    return std::min<size_t>(reported, capacity);
}

bool HasGpuController(const NvThermalPolicyInfo& info) {
    size_t count = EntryCount(info.Count(), NvThermalPolicyInfo::kMaxEntries);
    for (size_t i = 0; i < count; ++i) {
        if (info.Controller(i) == kThermalControllerGpu) return true;
    }
    return false;
}

// The driver keeps targets in 1/256 °C in a 32-bit word; a target beyond it cannot be meant.
int32_t ToDriverTemperature(int32_t celsius) {
    int64_t scaled = static_cast<int64_t>(celsius) * 256;
    scaled =
        std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(scaled);
}

}  // namespace

int CGpuControl::ReadPowerTarget(int gpuIndex, GpuPerfInfo& info) {
    auto policy = Blank<NvPowerPolicyInfo>();
    status = nvapi.GetPowerPolicyInfo(GpuHandle(gpuIndex), &policy);
    if (status != NvStatus::Ok || !policy.Valid()) return 1;
    size_t count = std::min(EntryCount(policy.Count(), NvPowerPolicyInfo::kMaxEntries),
                            NvPowerPolicyStatus::kMaxEntries);
    // Without an entry there is no last one to take the limits from.
    if (count == 0) return 1;

    auto current = Blank<NvPowerPolicyStatus>();
    current.SetCount(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) current.SetPstateId(i, policy.PstateId(i));
    status = nvapi.GetPowerPolicyStatus(GpuHandle(gpuIndex), &current);
    if (status != NvStatus::Ok) return 1;

    size_t last = count - 1;
    info.powerTargetMin = policy.MinTarget(last);
    info.powerTargetDefault = policy.DefaultTarget(last);
    info.powerTargetMax = policy.MaxTarget(last);
    info.powerTarget = current.Target(last);
    return 0;
}

int CGpuControl::WritePowerTarget(int gpuIndex, GpuPerfInfo info) {
    auto policy = Blank<NvPowerPolicyInfo>();
    status = nvapi.GetPowerPolicyInfo(GpuHandle(gpuIndex), &policy);
    if (status != NvStatus::Ok || !policy.Valid()) return 1;

    auto target = Blank<NvPowerPolicyStatus>();
    target.SetCount(1);
    target.SetPstateId(0, 0);
    target.SetFlags(0, 0);
    target.SetTarget(0, info.powerTarget);
    status = nvapi.SetPowerPolicyStatus(GpuHandle(gpuIndex), &target);
    return status == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::ReadTempTarget(int gpuIndex, GpuPerfInfo& info) {
    auto policy = Blank<NvThermalPolicyInfo>();
    status = nvapi.GetThermalPolicyInfo(GpuHandle(gpuIndex), &policy);
    if (status != NvStatus::Ok || !policy.Valid()) return 1;
    size_t count = std::min(EntryCount(policy.Count(), NvThermalPolicyInfo::kMaxEntries),
                            NvThermalPolicyStatus::kMaxEntries);
    for (size_t i = 0; i < count; ++i) {
        if (policy.Controller(i) != kThermalControllerGpu) continue;
        info.tempTargetMin = policy.MinTarget(i) / 256;
        info.tempTargetDefault = policy.DefaultTarget(i) / 256;
        info.tempTargetMax = policy.MaxTarget(i) / 256;
    }

    auto current = Blank<NvThermalPolicyStatus>();
    current.SetCount(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) current.SetController(i, policy.Controller(i));
    status = nvapi.GetThermalPolicyStatus(GpuHandle(gpuIndex), &current);
    if (status == NvStatus::Ok) {
        for (size_t i = 0; i < count; ++i) {
            if (current.Controller(i) == kThermalControllerGpu) info.tempTarget = current.Target(i) / 256;
        }
    }
    // The limits are worth having even when the target itself could not be read.
    return 0;
}

int CGpuControl::WriteTempTarget(int gpuIndex, GpuPerfInfo info) {
    auto policy = Blank<NvThermalPolicyInfo>();
    status = nvapi.GetThermalPolicyInfo(GpuHandle(gpuIndex), &policy);
    if (status != NvStatus::Ok || !policy.Valid() || !HasGpuController(policy)) return 1;

    auto target = Blank<NvThermalPolicyStatus>();
    target.SetCount(1);
    target.SetController(0, kThermalControllerGpu);
    target.SetTarget(0, ToDriverTemperature(info.tempTarget));
    target.SetFlags(0, 0);
    status = nvapi.SetThermalPolicyStatus(GpuHandle(gpuIndex), &target);
    return status == NvStatus::Ok ? 0 : 1;
}

int CGpuControl::WriteTempPriority(int gpuIndex, int flag) {
    auto policy = Blank<NvThermalPolicyInfo>();
    status = nvapi.GetThermalPolicyInfo(GpuHandle(gpuIndex), &policy);
    if (status != NvStatus::Ok || !policy.Valid() || !HasGpuController(policy)) return 1;
    if (flag != 0 && flag != 1) return 1;

    size_t count = std::min(EntryCount(policy.Count(), NvThermalPolicyInfo::kMaxEntries),
                            NvThermalPolicyStatus::kMaxEntries);
    auto current = Blank<NvThermalPolicyStatus>();
    current.SetCount(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) current.SetController(i, policy.Controller(i));
    status = nvapi.GetThermalPolicyStatus(GpuHandle(gpuIndex), &current);
    if (status != NvStatus::Ok) return 1;

    // The one entry sent is the GPU controller's: when the driver lists another controller first,
    // that entry's target would otherwise land on the GPU's. Only the priority bit changes; the
    // target goes back to the driver exactly as it was read.
    size_t gpuEntry = 0;
    while (gpuEntry < count && current.Controller(gpuEntry) != kThermalControllerGpu) ++gpuEntry;
    // A driver that dropped the GPU's entry from its answer gets no guess written back.
    if (gpuEntry == count) return 1;
    if (gpuEntry != 0) {
        current.SetTarget(0, current.Target(gpuEntry));
        current.SetFlags(0, current.Flags(gpuEntry));
    }
    uint8_t flags = static_cast<uint8_t>((current.Flags(0) & ~1u) | static_cast<unsigned>(flag));
    current.SetFlags(0, flags);
    current.SetCount(1);
    current.SetController(0, kThermalControllerGpu);
    status = nvapi.SetThermalPolicyStatus(GpuHandle(gpuIndex), &current);
    return status == NvStatus::Ok ? 0 : 1;
}
