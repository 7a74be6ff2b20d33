#include <algorithm>

#include "sim/SimAcceptedRecord.h"
#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimHeat.h"
#include "sim/SimKeyNumbers.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"
#include "sim/SimTime.h"
#include "sim/SimVersions.h"

// The GPU's cooler: its settings in three layouts, its level and policy in two.
namespace {

// The program addresses all coolers at once (7); the first cooler by itself is 0.
bool KnownCoolerSelector(uint32_t cooler) {
    return cooler == 7 || cooler == 0;
}

bool LayoutAccepted(const std::set<uint32_t>& accepted, uint32_t version) {
    return accepted.empty() || accepted.count(version) != 0;
}

int32_t NVAPI_CALL SimGetCoolerSettings(NvPhysicalGpuHandle handle, uint32_t cooler, void* record) {
    SimCall call(QueryId::GetCoolerSettings);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::CoolerSettingsV4, SimVersion::CoolerSettingsV2,
                                      SimVersion::CoolerSettingsV1})) {
        return call.Status();
    }
    const SimFan& fan = gpu->state.Get<SimFan>();
    SimRecordBytes bytes = AcceptedRecord(record);
    if (!LayoutAccepted(fan.settingsVersions, bytes.U32(0)))
        return call.Fail(NvStatus::IncompatibleStructVersion);
    if (!KnownCoolerSelector(cooler)) return call.Fail(NvStatus::InvalidArgument);

    int32_t level = SimFanLevelNow(*gpu, SimNowMs(call.Model()));
    bytes = FreshRecord(record);
    bytes.SetU32(4, 1);
    bytes.SetS32(16, fan.minLevel);
    bytes.SetS32(20, fan.maxLevel);
    bytes.SetS32(32, level);
    if (bytes.U32(0) == SimVersion::CoolerSettingsV4) {
        bytes.SetU32(56, static_cast<uint32_t>(level) * fan.fullSpeedRpm / 100);
        bytes.Set<uint8_t>(60, fan.rpmPresent ? 1 : 0);
        bytes.SetU32(64, fan.fullSpeedRpm);
    }
    return call.Succeed();
}

// Only the first cooler's pair is looked at: the simulated card has one fan.
int32_t NVAPI_CALL SimSetCoolerLevels(NvPhysicalGpuHandle handle, uint32_t cooler, void* record) {
    SimCall call(QueryId::SetCoolerLevels);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::CoolerLevelsLarge, SimVersion::CoolerLevelsSmall})) {
        return call.Status();
    }
    SimFan& fan = gpu->state.Get<SimFan>();
    SimRecordBytes bytes = AcceptedRecord(record);
    if (!LayoutAccepted(fan.levelVersions, bytes.U32(0)))
        return call.Fail(NvStatus::IncompatibleStructVersion);
    if (!KnownCoolerSelector(cooler)) return call.Fail(NvStatus::InvalidArgument);
    int32_t level = bytes.S32(4);
    int32_t policy = bytes.S32(8);
    if (level < 0 || level > 100 || (policy != kSimFanManual && policy != kSimFanAuto)) {
        return call.Fail(NvStatus::InvalidArgument);
    }

    // The temperature so far was made under the old policy; the new one counts from now.
    AdvanceSimHeat(*gpu, SimNowMs(call.Model()));
    fan.policy = policy;
    if (policy == kSimFanManual) fan.heldLevel = level;
    return call.Succeed();
}

bool ReadSettingsLayouts(SimKeyArgs& args) {
    std::set<uint32_t> versions;
    for (auto word : SplitWords(args.value)) {
        if (word == "4") {
            versions.insert(SimVersion::CoolerSettingsV4);
        } else if (word == "2") {
            versions.insert(SimVersion::CoolerSettingsV2);
        } else if (word == "1") {
            versions.insert(SimVersion::CoolerSettingsV1);
        } else {
            versions.clear();
            break;
        }
    }
    if (versions.empty()) {
        args.error = "expected layout versions out of '4 2 1'";
        return false;
    }
    args.Gpu().state.Get<SimFan>().settingsVersions = versions;
    return true;
}

bool ReadLevelLayouts(SimKeyArgs& args) {
    std::set<uint32_t> versions;
    for (auto word : SplitWords(args.value)) {
        if (word == "large") {
            versions.insert(SimVersion::CoolerLevelsLarge);
        } else if (word == "small") {
            versions.insert(SimVersion::CoolerLevelsSmall);
        } else {
            versions.clear();
            break;
        }
    }
    if (versions.empty()) {
        args.error = "expected layouts out of 'large small'";
        return false;
    }
    args.Gpu().state.Get<SimFan>().levelVersions = versions;
    return true;
}

bool ReadFanRange(SimKeyArgs& args) {
    std::vector<int64_t> range;
    if (!ReadNumberList(args, 2, 2, 0, 100, range)) return false;
    if (range[0] > range[1]) {
        args.error = "the lowest level is above the highest";
        return false;
    }
    SimFan& fan = args.Gpu().state.Get<SimFan>();
    fan.minLevel = static_cast<int32_t>(range[0]);
    fan.maxLevel = static_cast<int32_t>(range[1]);
    return true;
}

bool ReadFanAuto(SimKeyArgs& args) {
    std::vector<int64_t> curve;
    if (!ReadNumberList(args, 4, 4, 0, 200, curve)) return false;
    if (curve[0] >= curve[2] || curve[1] > 100 || curve[3] > 100) {
        args.error = "expected '<low °C> <level> <high °C> <level>' with low below high and levels up to 100";
        return false;
    }
    SimFan& fan = args.Gpu().state.Get<SimFan>();
    fan.autoLowC = static_cast<int32_t>(curve[0]);
    fan.autoLowLevel = static_cast<int32_t>(curve[1]);
    fan.autoHighC = static_cast<int32_t>(curve[2]);
    fan.autoHighLevel = static_cast<int32_t>(curve[3]);
    return true;
}

bool ReadFanManual(SimKeyArgs& args) {
    std::vector<int64_t> level;
    if (!ReadNumberList(args, 1, 1, 0, 100, level)) return false;
    SimFan& fan = args.Gpu().state.Get<SimFan>();
    fan.policy = kSimFanManual;
    fan.heldLevel = static_cast<int32_t>(level[0]);
    return true;
}

bool ReadFullSpeed(SimKeyArgs& args) {
    std::vector<int64_t> rpm;
    if (!ReadNumberList(args, 1, 1, 0, 100000, rpm)) return false;
    args.Gpu().state.Get<SimFan>().fullSpeedRpm = static_cast<uint32_t>(rpm[0]);
    return true;
}

}  // namespace

void RegisterSimCoolers(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetCoolerSettings, SimEntry(&SimGetCoolerSettings));
    registry.AddFunction(QueryId::SetCoolerLevels, SimEntry(&SimSetCoolerLevels));

    registry.AddKey("gpu", "cooler_settings", ReadSettingsLayouts);
    registry.AddKey("gpu", "cooler_levels", ReadLevelLayouts);
    registry.AddKey("gpu", "fan_range", ReadFanRange);
    registry.AddKey("gpu", "fan_auto", ReadFanAuto);
    registry.AddKey("gpu", "fan_manual", ReadFanManual);
    registry.AddKey("gpu", "fan_full_rpm", ReadFullSpeed);
    registry.AddKey("gpu", "fan_rpm_present",
                    [](SimKeyArgs& a) { return ReadYesNo(a, a.Gpu().state.Get<SimFan>().rpmPresent); });
}
