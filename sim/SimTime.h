#pragma once
#include <chrono>
#include <cstdint>

#include "sim/SimScenario.h"

// The simulator's time, in milliseconds, for everything that changes by itself (temperature drift,
// a varying load). It runs with the steady clock, as the driver library needs; a test freezes it
// and moves it by hand so that what drifts does so deterministically:
//
//   FreezeSimTime(sim.Model());
//   AdvanceSimTime(sim.Model(), 60000);  // one simulated minute, instantly
struct SimTime {
    bool frozen = false;
    uint64_t nowMs = 0;
};

inline uint64_t SimNowMs(SimScenario& model) {
    const SimTime& time = model.state.Get<SimTime>();
    if (time.frozen) return time.nowMs;
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Stops the clock at `nowMs`. Setting it back in time is allowed: the models then restart their
// drift from the new time instead of running backwards.
inline void FreezeSimTime(SimScenario& model, uint64_t nowMs) {
    SimTime& time = model.state.Get<SimTime>();
    time.frozen = true;
    time.nowMs = nowMs;
}

// Stops the clock where it is.
inline void FreezeSimTime(SimScenario& model) {
    FreezeSimTime(model, SimNowMs(model));
}

// Moves the clock on, freezing it first where it is if it was running.
inline void AdvanceSimTime(SimScenario& model, uint64_t ms) {
    SimTime& time = model.state.Get<SimTime>();
    if (!time.frozen) FreezeSimTime(model);
    time.nowMs += ms;
}
