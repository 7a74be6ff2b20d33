#pragma once
#include <cstdint>

// The GPU's current tuning as the p-state, V/F and boost calls leave it, kept in the GPU's state
// bag (`gpu.state.Get<SimTuning>()`) so other areas, such as the sensors, can make the reported
// clocks and voltages follow what the program wrote.
struct SimTuning {
    // The effective offsets: the P0 deltas, or the V/F curve's offsets when those were written
    // last (the driver applies whichever mechanism the program used most recently).
    int32_t graphicsOffsetKhz = 0;
    int32_t memoryOffsetKhz = 0;
    // The P0 core base-voltage delta, in microvolts.
    int32_t baseVoltOffsetUv = 0;
    // The over-voltage of the first editable over-voltage entry, in microvolts.
    int32_t overVoltUv = 0;
    // The voltage boost, in percent (0..100).
    uint32_t voltBoostPercent = 0;
};
