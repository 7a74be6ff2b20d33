#include "sim/SimSensors.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/SimAcceptedRecord.h"
#include "sim/SimAreas.h"
#include "sim/SimDriver.h"
#include "sim/SimHeat.h"
#include "sim/SimKeyNumbers.h"
#include "sim/SimParse.h"
#include "sim/SimRegistry.h"
#include "sim/SimTime.h"
#include "sim/SimTuning.h"
#include "sim/SimVersions.h"

// What the GPU reports about itself now: temperature, clocks, core voltage and load. The readings
// follow what was set: clocks carry the tuning offsets, the temperature follows load and fan.
namespace {

constexpr uint32_t kThermalTargetAll = 15;
constexpr uint32_t kThermalControllerGpuInternal = 1;
constexpr uint32_t kThermalTargetGpu = 1;
constexpr uint32_t kClockTypeCurrent = 0;
constexpr uint32_t kClockTypeBase = 1;
constexpr uint32_t kClockTypeBoost = 2;
constexpr size_t kGraphicsDomain = 0;
constexpr size_t kMemoryDomain = 4;

int32_t NVAPI_CALL SimGetThermalSettings(NvPhysicalGpuHandle handle, uint32_t sensor, void* record) {
    SimCall call(QueryId::GetThermalSettings);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::ThermalSettingsV2, SimVersion::ThermalSettingsV1})) {
        return call.Status();
    }
    // One sensor: asked for by its index 0 or among all of them.
    if (sensor != kThermalTargetAll && sensor != 0) return call.Fail(NvStatus::InvalidArgument);
    double temperature = SimTemperatureNow(*gpu, SimNowMs(call.Model()));
    SimRecordBytes bytes = FreshRecord(record);
    bytes.SetU32(4, 1);
    bytes.SetU32(8, kThermalControllerGpuInternal);
    bytes.SetS32(12, 0);
    bytes.SetS32(16, 127);
    bytes.SetS32(20, static_cast<int32_t>(std::lround(temperature)));
    bytes.SetU32(24, kThermalTargetGpu);
    return call.Succeed();
}

int32_t Tuned(uint32_t clockKhz, int32_t offsetKhz) {
    return std::max<int32_t>(0, static_cast<int32_t>(clockKhz) + offsetKhz);
}

// Version 1 has no clock type and always answers the current clocks. Under load the graphics clock
// climbs from base towards boost; every clock type carries the offsets the program wrote.
int32_t NVAPI_CALL SimGetAllClockFrequencies(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetAllClockFrequencies);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::ClockFrequenciesV3, SimVersion::ClockFrequenciesV2,
                                      SimVersion::ClockFrequenciesV1})) {
        return call.Status();
    }
    SimRecordBytes bytes = AcceptedRecord(record);
    uint32_t clockType =
        bytes.U32(0) == SimVersion::ClockFrequenciesV1 ? kClockTypeCurrent : bytes.U32(4) & 0xF;
    if (clockType > kClockTypeBoost) return call.Fail(NvStatus::InvalidArgument);
    const SimClocks& clocks = gpu->state.Get<SimClocks>();
    if (clockType == kClockTypeBase && !clocks.baseReported) return call.Fail(NvStatus::NotSupported);

    const SimTuning& tuning = gpu->state.Get<SimTuning>();
    uint32_t graphics = clocks.baseGraphicsKhz, memory = clocks.baseMemoryKhz;
    if (clockType == kClockTypeBoost) {
        graphics = clocks.boostGraphicsKhz;
        memory = clocks.boostMemoryKhz;
    } else if (clockType == kClockTypeCurrent) {
        uint32_t load = SimGpuLoadAt(gpu->state.Get<SimLoad>(), SimNowMs(call.Model()));
        auto between = [load](uint32_t low, uint32_t high) {
            return static_cast<uint32_t>(low + (static_cast<int64_t>(high) - low) * load / 100);
        };
        graphics = between(clocks.baseGraphicsKhz, clocks.boostGraphicsKhz);
        memory = between(clocks.baseMemoryKhz, clocks.boostMemoryKhz);
    }
    uint32_t typeWord = bytes.U32(4);
    bytes = FreshRecord(record);
    bytes.SetU32(4, typeWord);
    bytes.SetU32(8 + 8 * kGraphicsDomain, 1);
    bytes.SetS32(12 + 8 * kGraphicsDomain, Tuned(graphics, tuning.graphicsOffsetKhz));
    bytes.SetU32(8 + 8 * kMemoryDomain, 1);
    bytes.SetS32(12 + 8 * kMemoryDomain, Tuned(memory, tuning.memoryOffsetKhz));
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetVoltageStatus(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetVoltageStatus);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::VoltageStatus})) return call.Status();
    const auto& entries = gpu->state.Get<SimVoltages>().entriesUv;
    int32_t overVolt = gpu->state.Get<SimTuning>().overVoltUv;
    SimRecordBytes bytes = FreshRecord(record);
    bytes.SetU32(8, static_cast<uint32_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        int64_t voltage = entries[i];
        if (i + 1 == entries.size()) voltage = std::max<int64_t>(0, voltage + overVolt);
        bytes.SetU32(12 + 8 * i, static_cast<uint32_t>(i));
        bytes.SetU32(16 + 8 * i, static_cast<uint32_t>(voltage));
    }
    return call.Succeed();
}

int32_t NVAPI_CALL SimGetDynamicPstatesInfoEx(NvPhysicalGpuHandle handle, void* record) {
    SimCall call(QueryId::GetDynamicPstatesInfoEx);
    SimGpu* gpu = call.Gpu(handle);
    if (!gpu || !call.Record(record, {SimVersion::DynamicPstatesInfoEx})) return call.Status();
    const SimLoad& load = gpu->state.Get<SimLoad>();
    SimRecordBytes bytes = FreshRecord(record);
    bytes.SetU32(4, 1);  // dynamic p-states enabled
    if (load.gpuPresent) {
        bytes.SetU32(8, 1);
        bytes.SetU32(12, SimGpuLoadAt(load, SimNowMs(call.Model())));
    }
    if (load.frameBufferPresent) {
        bytes.SetU32(16, 1);
        bytes.SetU32(20, std::min<uint32_t>(load.frameBufferPercent, 100));
    }
    return call.Succeed();
}

bool ReadClockPair(SimKeyArgs& args, bool boost) {
    SimClocks& clocks = args.Gpu().state.Get<SimClocks>();
    if (!boost && args.value == "none") {
        clocks.baseReported = false;
        return true;
    }
    std::vector<int64_t> khz;
    if (!ReadNumberList(args, 2, 2, 0, 100000000, khz)) return false;
    (boost ? clocks.boostGraphicsKhz : clocks.baseGraphicsKhz) = static_cast<uint32_t>(khz[0]);
    (boost ? clocks.boostMemoryKhz : clocks.baseMemoryKhz) = static_cast<uint32_t>(khz[1]);
    return true;
}

bool ReadVoltages(SimKeyArgs& args) {
    auto& entries = args.Gpu().state.Get<SimVoltages>().entriesUv;
    if (args.value == "none") {
        entries.clear();
        return true;
    }
    std::vector<int64_t> microvolts;
    if (!ReadNumberList(args, 1, kMaxVoltageEntries, 0, 5000000, microvolts)) return false;
    entries.assign(microvolts.begin(), microvolts.end());
    return true;
}

bool ReadLoad(SimKeyArgs& args) {
    std::vector<int64_t> percent;
    if (!ReadNumberList(args, 2, 2, 0, 100, percent)) return false;
    SimLoad& load = args.Gpu().state.Get<SimLoad>();
    load.gpuPercent = static_cast<uint32_t>(percent[0]);
    load.frameBufferPercent = static_cast<uint32_t>(percent[1]);
    return true;
}

bool ReadLoadSwing(SimKeyArgs& args) {
    std::vector<int64_t> swing;
    if (!ReadNumberList(args, 2, 2, 0, 86400000, swing) || swing[0] > 100) {
        args.error = "expected '<amplitude percent up to 100> <period ms>'";
        return false;
    }
    SimLoad& load = args.Gpu().state.Get<SimLoad>();
    load.swingPercent = static_cast<uint32_t>(swing[0]);
    load.swingPeriodMs = static_cast<uint32_t>(swing[1]);
    return true;
}

bool ReadLoadReported(SimKeyArgs& args) {
    bool gpuLoad = false, frameBuffer = false;
    auto words = SplitWords(args.value);
    bool ok = !words.empty();
    for (auto word : words) {
        if (word == "gpu") {
            gpuLoad = true;
        } else if (word == "fb") {
            frameBuffer = true;
        } else if (!(word == "none" && words.size() == 1)) {
            ok = false;
        }
    }
    if (!ok) {
        args.error = "expected 'gpu', 'fb', both, or 'none'";
        return false;
    }
    SimLoad& load = args.Gpu().state.Get<SimLoad>();
    load.gpuPresent = gpuLoad;
    load.frameBufferPresent = frameBuffer;
    return true;
}

template <double SimHeat::*Field>
bool ReadDegrees(SimKeyArgs& args) {
    std::vector<int64_t> celsius;
    if (!ReadNumberList(args, 1, 1, -50, 200, celsius)) return false;
    args.Gpu().state.Get<SimHeat>().*Field = static_cast<double>(celsius[0]);
    return true;
}

bool ReadStartTemperature(SimKeyArgs& args) {
    if (!ReadDegrees<&SimHeat::startC>(args)) return false;
    args.Gpu().state.Get<SimHeat>().startGiven = true;
    return true;
}

bool ReadHeatRise(SimKeyArgs& args) {
    std::vector<int64_t> rise;
    if (!ReadNumberList(args, 2, 2, 0, 200, rise)) return false;
    SimHeat& heat = args.Gpu().state.Get<SimHeat>();
    heat.idleRiseC = static_cast<double>(rise[0]);
    heat.loadRiseC = static_cast<double>(rise[1]);
    return true;
}

bool ReadFanCooling(SimKeyArgs& args) {
    std::vector<int64_t> percent;
    if (!ReadNumberList(args, 1, 1, 0, 100, percent)) return false;
    args.Gpu().state.Get<SimHeat>().fanCoolingPercent = static_cast<double>(percent[0]);
    return true;
}

bool ReadThermalTime(SimKeyArgs& args) {
    std::vector<int64_t> ms;
    if (!ReadNumberList(args, 1, 1, 1, 86400000, ms)) return false;
    args.Gpu().state.Get<SimHeat>().timeConstantMs = static_cast<uint32_t>(ms[0]);
    return true;
}

bool ReadTimeMode(SimKeyArgs& args) {
    if (args.value == "steady") {
        args.scenario.state.Get<SimTime>().frozen = false;
    } else if (args.value == "frozen") {
        FreezeSimTime(args.scenario, 0);
    } else {
        args.error = "expected 'steady' or 'frozen'";
        return false;
    }
    return true;
}

}  // namespace

void RegisterSimSensors(SimRegistry& registry) {
    registry.AddFunction(QueryId::GetThermalSettings, SimEntry(&SimGetThermalSettings));
    registry.AddFunction(QueryId::GetAllClockFrequencies, SimEntry(&SimGetAllClockFrequencies));
    registry.AddFunction(QueryId::GetVoltageStatus, SimEntry(&SimGetVoltageStatus));
    registry.AddFunction(QueryId::GetDynamicPstatesInfoEx, SimEntry(&SimGetDynamicPstatesInfoEx));

    registry.AddKey("driver", "time", ReadTimeMode);
    registry.AddKey("gpu", "clocks_base", [](SimKeyArgs& a) { return ReadClockPair(a, false); });
    registry.AddKey("gpu", "clocks_boost", [](SimKeyArgs& a) { return ReadClockPair(a, true); });
    registry.AddKey("gpu", "core_voltage_uv", ReadVoltages);
    registry.AddKey("gpu", "load", ReadLoad);
    registry.AddKey("gpu", "load_swing", ReadLoadSwing);
    registry.AddKey("gpu", "load_reported", ReadLoadReported);
    registry.AddKey("gpu", "temperature_c", ReadStartTemperature);
    registry.AddKey("gpu", "ambient_c", ReadDegrees<&SimHeat::ambientC>);
    registry.AddKey("gpu", "heat_rise_c", ReadHeatRise);
    registry.AddKey("gpu", "fan_cooling_pct", ReadFanCooling);
    registry.AddKey("gpu", "thermal_time_ms", ReadThermalTime);
}
