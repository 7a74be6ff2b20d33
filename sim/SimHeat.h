#pragma once
#include <cstdint>
#include <set>

#include "sim/SimScenario.h"

// How busy the GPU is, from the scenario. The GPU load may swing around its level as a sine wave.
struct SimLoad {
    uint32_t gpuPercent = 10;
    uint32_t frameBufferPercent = 5;
    uint32_t swingPercent = 0;   // amplitude of the GPU load's swing
    uint32_t swingPeriodMs = 0;  // 0: no swing
    bool gpuPresent = true;      // whether the driver reports each load at all
    bool frameBufferPresent = true;
};

// Cooler policies the simulated driver understands.
constexpr int32_t kSimFanManual = 1;
constexpr int32_t kSimFanAuto = 32;

// The GPU's one cooler: which record layouts the card's driver takes, its range, its policy, and
// the automatic curve the driver follows when the fan is left to it.
struct SimFan {
    std::set<uint32_t> settingsVersions;  // empty: every layout
    std::set<uint32_t> levelVersions;     // empty: every layout
    int32_t minLevel = 30;
    int32_t maxLevel = 100;
    int32_t policy = kSimFanAuto;
    int32_t heldLevel = 0;  // the level a manual policy holds
    uint32_t fullSpeedRpm = 3800;
    bool rpmPresent = true;
    // Automatic curve: autoLowLevel up to autoLowC, autoHighLevel from autoHighC, linear between.
    int32_t autoLowC = 40;
    int32_t autoLowLevel = 30;
    int32_t autoHighC = 85;
    int32_t autoHighLevel = 100;
};

// The temperature model. Without a fan, a GPU settles `idleRiseC` above ambient when idle and a
// further `loadRiseC` at full load; a fan at 100 % removes `fanCoolingPercent` of that rise. The
// temperature approaches where it would settle exponentially, with `timeConstantMs`.
struct SimHeat {
    double ambientC = 30.0;
    double idleRiseC = 10.0;
    double loadRiseC = 60.0;
    double fanCoolingPercent = 50.0;
    uint32_t timeConstantMs = 20000;
    bool startGiven = false;  // otherwise the GPU starts where it would settle
    double startC = 0.0;

    bool running = false;
    double temperatureC = 0.0;
    uint64_t lastMs = 0;
};

// The GPU load at a moment, swing included.
uint32_t SimGpuLoadAt(const SimLoad& load, uint64_t nowMs);
// The level the fan runs at for a temperature, under its current policy.
int32_t SimFanLevelAt(const SimFan& fan, double temperatureC);
// Brings the temperature up to `nowMs` under the load and fan as they were since the last update.
// Call it before changing anything the temperature depends on.
void AdvanceSimHeat(SimGpu& gpu, uint64_t nowMs);
// The temperature and the fan level now, after advancing the model.
double SimTemperatureNow(SimGpu& gpu, uint64_t nowMs);
int32_t SimFanLevelNow(SimGpu& gpu, uint64_t nowMs);
