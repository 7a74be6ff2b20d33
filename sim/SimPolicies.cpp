#include "sim/SimPolicies.h"

#include <limits>
#include <string>

#include "sim/SimAcceptedRecord.h"
#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"
#include "sim/SimVersions.h"

// Power and thermal policies: their limits, and the targets and priority flag the program sets.
namespace {

constexpr size_t PowerInfoEntry(size_t i) {
    return 8 + 44 * i;
}
constexpr size_t PowerStatusEntry(size_t i) {
    return 8 + 16 * i;
}
constexpr size_t ThermalInfoEntry(size_t i) {
    return 8 + 24 * i;
}
constexpr size_t ThermalStatusEntry(size_t i) {
    return 8 + 12 * i;
}

SimPolicies& Policies(SimGpu& gpu) {
    return gpu.state.Get<SimPolicies>();
}

int32_t NVAPI_CALL SimGetPowerPolicyInfo(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetPowerPolicyInfo);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::PowerPolicyInfo})) return call.Status();
    const SimPolicies& policies = Policies(*gpu);
    SimRecordBytes bytes = FreshRecord(record);
    bytes.Set<uint8_t>(4, policies.powerValid ? 1 : 0);
    bytes.Set<uint8_t>(5, static_cast<uint8_t>(policies.power.size()));
    for (size_t i = 0; i < policies.power.size(); ++i) {
        const SimPowerPolicy& policy = policies.power[i];
        bytes.SetU32(PowerInfoEntry(i), policy.pstateId);
        bytes.SetS32(PowerInfoEntry(i) + 12, policy.minTarget);
        bytes.SetS32(PowerInfoEntry(i) + 24, policy.defaultTarget);
        bytes.SetS32(PowerInfoEntry(i) + 36, policy.maxTarget);
    }
    return call.Succeed();
}

// The request names, entry by entry, the p-state of each policy in the information's order.
int32_t NVAPI_CALL SimGetPowerPolicyStatus(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetPowerPolicyStatus);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::PowerPolicyStatus})) return call.Status();
    const auto& power = Policies(*gpu).power;
    SimRecordBytes bytes = AcceptedRecord(record);
    size_t count = bytes.Get<uint8_t>(4);
    if (count > power.size()) return call.Fail(NvStatus::InvalidArgument);
    for (size_t i = 0; i < count; ++i) {
        if (bytes.U32(PowerStatusEntry(i)) != power[i].pstateId) return call.Fail(NvStatus::InvalidArgument);
    }
    for (size_t i = 0; i < count; ++i) {
        bytes.SetU32(PowerStatusEntry(i) + 4, power[i].flags);
        bytes.SetS32(PowerStatusEntry(i) + 8, power[i].target);
    }
    return call.Succeed();
}

// A written entry sets the target of every policy of its p-state, within each policy's limits.
int32_t NVAPI_CALL SimSetPowerPolicyStatus(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::SetPowerPolicyStatus);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::PowerPolicyStatus})) return call.Status();
    auto& power = Policies(*gpu).power;
    SimRecordBytes bytes = AcceptedRecord(record);
    size_t count = bytes.Get<uint8_t>(4);
    if (count == 0 || count > kSimMaxPolicyEntries) return call.Fail(NvStatus::InvalidArgument);
    for (size_t i = 0; i < count; ++i) {
        uint32_t pstateId = bytes.U32(PowerStatusEntry(i));
        int32_t target = bytes.S32(PowerStatusEntry(i) + 8);
        bool known = false;
        for (const SimPowerPolicy& policy : power) {
            if (policy.pstateId != pstateId) continue;
            known = true;
            if (target < policy.minTarget || target > policy.maxTarget)
                return call.Fail(NvStatus::InvalidArgument);
        }
        if (!known) return call.Fail(NvStatus::InvalidArgument);
    }
    for (size_t i = 0; i < count; ++i) {
        for (SimPowerPolicy& policy : power) {
            if (policy.pstateId != bytes.U32(PowerStatusEntry(i))) continue;
            policy.flags = bytes.U32(PowerStatusEntry(i) + 4);
            policy.target = bytes.S32(PowerStatusEntry(i) + 8);
        }
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetThermalPolicyInfo(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetThermalPolicyInfo);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::ThermalPolicyInfo})) return call.Status();
    const SimPolicies& policies = Policies(*gpu);
    SimRecordBytes bytes = FreshRecord(record);
    bytes.Set<uint8_t>(4, policies.thermalValid ? 1 : 0);
    bytes.Set<uint8_t>(5, static_cast<uint8_t>(policies.thermal.size()));
    for (size_t i = 0; i < policies.thermal.size(); ++i) {
        const SimThermalPolicy& policy = policies.thermal[i];
        bytes.SetU32(ThermalInfoEntry(i), policy.controller);
        bytes.SetS32(ThermalInfoEntry(i) + 8, policy.minTarget);
        bytes.SetS32(ThermalInfoEntry(i) + 12, policy.defaultTarget);
        bytes.SetS32(ThermalInfoEntry(i) + 16, policy.maxTarget);
    }
    return call.Succeed();
}

const SimThermalPolicy* FindController(const std::vector<SimThermalPolicy>& thermal, uint32_t controller) {
    for (const SimThermalPolicy& policy : thermal) {
        if (policy.controller == controller) return &policy;
    }
    return nullptr;
}

int32_t NVAPI_CALL SimGetThermalPolicyStatus(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetThermalPolicyStatus);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::ThermalPolicyStatus})) return call.Status();
    const auto& thermal = Policies(*gpu).thermal;
    SimRecordBytes bytes = AcceptedRecord(record);
    size_t count = bytes.Get<uint8_t>(4);
    if (count > kSimMaxPolicyEntries) return call.Fail(NvStatus::InvalidArgument);
    for (size_t i = 0; i < count; ++i) {
        if (!FindController(thermal, bytes.U32(ThermalStatusEntry(i))))
            return call.Fail(NvStatus::InvalidArgument);
    }
    for (size_t i = 0; i < count; ++i) {
        const SimThermalPolicy* policy = FindController(thermal, bytes.U32(ThermalStatusEntry(i)));
        bytes.SetS32(ThermalStatusEntry(i) + 4, policy->target);
        bytes.Set<uint8_t>(ThermalStatusEntry(i) + 8, policy->flags);
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimSetThermalPolicyStatus(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::SetThermalPolicyStatus);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::ThermalPolicyStatus})) return call.Status();
    auto& thermal = Policies(*gpu).thermal;
    SimRecordBytes bytes = AcceptedRecord(record);
    size_t count = bytes.Get<uint8_t>(4);
    if (count == 0 || count > kSimMaxPolicyEntries) return call.Fail(NvStatus::InvalidArgument);
    for (size_t i = 0; i < count; ++i) {
        const SimThermalPolicy* policy = FindController(thermal, bytes.U32(ThermalStatusEntry(i)));
        int32_t target = bytes.S32(ThermalStatusEntry(i) + 4);
        if (!policy || target < policy->minTarget || target > policy->maxTarget) {
            return call.Fail(NvStatus::InvalidArgument);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        for (SimThermalPolicy& policy : thermal) {
            if (policy.controller != bytes.U32(ThermalStatusEntry(i))) continue;
            policy.target = bytes.S32(ThermalStatusEntry(i) + 4);
            policy.flags = bytes.Get<uint8_t>(ThermalStatusEntry(i) + 8);
        }
    }
    return call.Succeed();
}

// "<id> <minimum> <default> <maximum>": a p-state or controller id and three limits in driver units.
bool ReadPolicyLine(SimKeyArgs& args, uint32_t& id, int32_t (&limits)[3]) {
    auto words = SplitWords(args.value);
    int64_t numbers[4] = {};
    bool ok = words.size() == 4;
    for (size_t i = 0; ok && i < 4; ++i) {
        ok = ParseInteger(words[i], numbers[i]) && numbers[i] >= std::numeric_limits<int32_t>::min() &&
             numbers[i] <= std::numeric_limits<int32_t>::max();
    }
    ok = ok && numbers[0] >= 0 && numbers[1] <= numbers[2] && numbers[2] <= numbers[3];
    if (!ok) {
        args.error = "expected '<id> <minimum> <default> <maximum>' with minimum <= default <= maximum";
        return false;
    }
    id = static_cast<uint32_t>(numbers[0]);
    for (size_t i = 0; i < 3; ++i) limits[i] = static_cast<int32_t>(numbers[i + 1]);
    return true;
}

bool ReadPowerPolicy(SimKeyArgs& args) {
    SimPolicies& policies = Policies(args.Gpu());
    uint32_t pstateId = 0;
    int32_t limits[3] = {};
    if (!ReadPolicyLine(args, pstateId, limits)) return false;
    if (!policies.powerFromScenario) policies.power.clear();
    policies.powerFromScenario = true;
    if (policies.power.size() >= kSimMaxPolicyEntries) {
        args.error = "more than 4 power policies";
        return false;
    }
    policies.power.push_back({pstateId, limits[0], limits[1], limits[2], limits[1], 0});
    return true;
}

bool ReadThermalPolicy(SimKeyArgs& args) {
    SimPolicies& policies = Policies(args.Gpu());
    uint32_t controller = 0;
    int32_t limits[3] = {};
    if (!ReadPolicyLine(args, controller, limits)) return false;
    if (!policies.thermalFromScenario) policies.thermal.clear();
    policies.thermalFromScenario = true;
    if (policies.thermal.size() >= kSimMaxPolicyEntries) {
        args.error = "more than 4 thermal policies";
        return false;
    }
    if (FindController(policies.thermal, controller)) {
        args.error = "controller " + std::to_string(controller) + " given twice";
        return false;
    }
    policies.thermal.push_back({controller, limits[0], limits[1], limits[2], limits[1], 0});
    return true;
}

}  // namespace

void RegisterSimPolicies(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetPowerPolicyInfo, SimEntry(&SimGetPowerPolicyInfo));
    registry.AddFunction(QueryId::GetPowerPolicyStatus, SimEntry(&SimGetPowerPolicyStatus));
    registry.AddFunction(QueryId::SetPowerPolicyStatus, SimEntry(&SimSetPowerPolicyStatus));
    registry.AddFunction(QueryId::GetThermalPolicyInfo, SimEntry(&SimGetThermalPolicyInfo));
    registry.AddFunction(QueryId::GetThermalPolicyStatus, SimEntry(&SimGetThermalPolicyStatus));
    registry.AddFunction(QueryId::SetThermalPolicyStatus, SimEntry(&SimSetThermalPolicyStatus));

    registry.AddKey("gpu", "power_policy", ReadPowerPolicy);
    registry.AddKey("gpu", "power_policy_valid",
                    [](SimKeyArgs& a) { return ReadYesNo(a, Policies(a.Gpu()).powerValid); });
    registry.AddKey("gpu", "thermal_policy", ReadThermalPolicy);
    registry.AddKey("gpu", "thermal_policy_valid",
                    [](SimKeyArgs& a) { return ReadYesNo(a, Policies(a.Gpu()).thermalValid); });
}
