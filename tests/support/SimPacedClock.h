#pragma once
#include <functional>

#include "sim/SimDriver.h"
#include "sim/SimTime.h"
#include "support/FakeClock.h"

// A clock that never waits but moves the simulator's time with every sleep, so simulated devices
// see the program's pauses (and notice a missing one).
class SimPacedClock : public FakeClock {
public:
    explicit SimPacedClock(SimDriver& driver) : sim(driver) {}
    void SleepMs(uint32_t ms) override {
        if (onSleep) onSleep();
        FakeClock::SleepMs(ms);
        AdvanceSimTime(sim.Model(), ms);
    }
    // Runs before each sleep, for tests that look at the program while it waits.
    std::function<void()> onSleep;

private:
    SimDriver& sim;
};
