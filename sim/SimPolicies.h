#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The board's power policies and the GPU's thermal policies, kept in the GPU's state bag
// (`gpu.state.Get<SimPolicies>()`). Targets persist from one call to the next until written.
struct SimPowerPolicy {
    uint32_t pstateId = 0;
    int32_t minTarget = 0;  // 1/1000 percent of the rated power
    int32_t defaultTarget = 0;
    int32_t maxTarget = 0;
    int32_t target = 0;
    uint32_t flags = 0;
};

struct SimThermalPolicy {
    uint32_t controller = 0;
    int32_t minTarget = 0;  // 1/256 °C
    int32_t defaultTarget = 0;
    int32_t maxTarget = 0;
    int32_t target = 0;
    uint8_t flags = 0;  // bit 0: the temperature target has priority
};

// The records hold at most four entries of each.
constexpr size_t kSimMaxPolicyEntries = 4;

struct SimPolicies {
    bool powerValid = true;
    bool powerFromScenario = false;  // the first scenario line replaces the built-in entry
    std::vector<SimPowerPolicy> power{{0, 50000, 100000, 120000, 100000, 0}};
    bool thermalValid = true;
    bool thermalFromScenario = false;
    std::vector<SimThermalPolicy> thermal{{1, 65 * 256, 83 * 256, 92 * 256, 83 * 256, 0}};
};
