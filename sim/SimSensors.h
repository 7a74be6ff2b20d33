#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The card's clocks and voltages as the sensors report them, kept in the GPU's state bag. The
// reported values also carry the tuning (sim/SimTuning.h) and, for the current clocks, the load.

// The card's clocks in kHz before any tuning.
struct SimClocks {
    uint32_t baseGraphicsKhz = 1607000;
    uint32_t baseMemoryKhz = 5005000;
    uint32_t boostGraphicsKhz = 1733000;
    uint32_t boostMemoryKhz = 5005000;
    bool baseReported = true;  // some cards answer base-clock requests with NotSupported
};

// The voltage status record has room for this many entries.
constexpr size_t kMaxVoltageEntries = (140 - 12) / 8;

// The voltage status entries in microvolts; the last is the core voltage the tuning raises.
struct SimVoltages {
    std::vector<uint32_t> entriesUv{1043000};
};
