#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimState.h"

// One simulated GPU. Areas keep their own state (p-states, V/F curve, policies, coolers, sensors,
// I2C devices) in `state`, so adding an area never changes this struct.
struct SimGpu {
    bool tcc = false;
    bool present = true;  // false once unplugged: its handle is then invalid
    uint16_t vendorId = 0x10DE;
    uint16_t deviceId = 0;
    uint16_t subVendorId = 0;
    uint16_t subsystemId = 0;
    uint8_t revision = 0;
    std::string name;
    uint32_t frameBufferKb = 0;
    uint32_t memoryType = 0;
    uint32_t memoryMaker = 0;
    std::string vbios;
    uint32_t coreCount = 0;
    uint32_t busWidth = 0;
    SimStateBag state;
};

// One display attached to a GPU; timings and custom modes live in `state`.
struct SimDisplay {
    int gpu = 0;
    uint32_t displayId = 0;
    bool connected = true;
    SimStateBag state;
};

// A function made to fail: `remaining` more calls, or every call when it is negative.
struct SimFailure {
    int32_t status = 0;
    int remaining = -1;
};

// The whole simulated machine as a scenario describes it; the simulator changes it as calls arrive.
struct SimScenario {
    std::vector<SimGpu> gpus;
    std::vector<SimDisplay> displays;
    uint32_t driverVersion = 0;  // 41130 for 411.30
    std::string driverBranch;
    std::map<int32_t, std::string> errorTexts;                // replace the built-in texts
    std::map<uint32_t, std::set<uint32_t>> rejectedVersions;  // query id -> version words
    std::map<uint32_t, SimFailure> failures;                  // query id -> failure
    uint32_t claimedGpuCount = 0;  // when not 0, EnumPhysicalGPUs reports this count (a lying driver)
    SimStateBag state;
};

// Parses a scenario text (format in sim/README.md). On a bad line returns false with
// "line N: reason" in `error` and leaves `scenario` as it was.
bool ParseScenario(std::string_view text, SimScenario& scenario, std::string& error);

// Reads and parses a scenario file; errors name the file.
bool LoadScenarioFile(const std::string& path, SimScenario& scenario, std::string& error);

// The built-in scenario, the text of sim/scenarios/default.scn.
std::string_view DefaultScenarioText();
SimScenario DefaultScenario();
