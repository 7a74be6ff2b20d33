#pragma once
#include <vector>

#include "platform/Clock.h"

// A clock that never waits: sleeps advance the time and are recorded for assertions.
class FakeClock : public Clock {
public:
    uint64_t NowMs() override { return now; }
    void SleepMs(uint32_t ms) override {
        now += ms;
        sleeps.push_back(ms);
    }
    uint64_t SleptMs() const {
        uint64_t total = 0;
        for (auto s : sleeps) total += s;
        return total;
    }
    uint64_t now = 0;
    std::vector<uint32_t> sleeps;
};
