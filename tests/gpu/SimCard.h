#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ScenarioText.h"
#include "gpu/CGpuControl.h"
#include "sim/SimDriver.h"
#include "sim/SimTime.h"
#include "sim/SimTuning.h"

// One simulated card from its [gpu] keys, enumerated by a GPU control object, with the journal
// cleared and simulated time frozen so nothing drifts unless a test moves the clock.
struct SimCard {
    explicit SimCard(const std::string& gpuKeys, const std::string& driverKeys = "")
        : sim(ScenarioFromText("[driver]\n" + driverKeys + "[gpu]\n" + gpuKeys)) {
        FreezeSimTime(sim.Model(), 0);
        EXPECT_EQ(gpu.EnumGpus(), 0);
        sim.ClearJournal();
    }
    SimGpu& Gpu() { return sim.Model().gpus[0]; }
    SimTuning& Tuning() { return Gpu().state.Get<SimTuning>(); }
    void Advance(uint64_t ms) { AdvanceSimTime(sim.Model(), ms); }

    SimDriver sim;
    CGpuControl gpu{sim.QueryInterface()};
};

constexpr int32_t kUntouched = 0x5A5A5A5A;

// A record whose every field shows whether a reader touched it.
inline GpuPerfInfo UntouchedInfo() {
    GpuPerfInfo info;
    std::memset(&info, 0x5A, sizeof info);
    return info;
}
