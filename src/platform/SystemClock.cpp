#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Clock.h"

uint64_t SystemClock::NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
std::atomic<uint64_t> sleptMs{0};
}

void SystemClock::SleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    sleptMs += ms;
}

uint64_t SystemClock::TotalSleptMs() {
    return sleptMs;
}
