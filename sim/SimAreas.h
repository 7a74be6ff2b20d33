#pragma once

class SimRegistry;

// Each area of the simulator is one file with one registration function that adds its driver
// functions and its scenario keys. A new area adds its function here and to kSimAreas.
void RegisterSimCore(SimRegistry& registry);
void RegisterSimIdentity(SimRegistry& registry);
void RegisterSimPstates(SimRegistry& registry);
void RegisterSimVf(SimRegistry& registry);
void RegisterSimDisplays(SimRegistry& registry);
void RegisterSimPolicies(SimRegistry& registry);
void RegisterSimCoolers(SimRegistry& registry);
void RegisterSimSensors(SimRegistry& registry);
void RegisterSimI2c(SimRegistry& registry);
void RegisterSimLighting(SimRegistry& registry);

// One area per line, so adding an area is adding a line.
// clang-format off
inline constexpr void (*kSimAreas[])(SimRegistry&) = {
    RegisterSimCore,
    RegisterSimIdentity,
    RegisterSimPstates,
    RegisterSimVf,
    RegisterSimDisplays,
    RegisterSimPolicies,
    RegisterSimCoolers,
    RegisterSimSensors,
    RegisterSimI2c,
    RegisterSimLighting,
};
// clang-format on
