#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/Clock.h"

uint64_t SystemClock::NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
std::atomic<uint64_t> sleptMs{0};

// Set and run on one thread only; other threads just see that it is not theirs.
std::atomic<std::thread::id> pauseWorkThread;
std::function<void()>& PauseWork() {
    static std::function<void()> work;
    return work;
}
std::atomic<std::thread::id> pauseJobThread;
std::function<void()>& PauseJob() {
    static std::function<void()> job;
    return job;
}
}  // namespace

void SystemClock::SleepMs(uint32_t ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    if (pauseJobThread.load() == std::this_thread::get_id()) {
        if (std::function<void()> job = SystemClock::TakePauseJob()) job();
    }
    if (pauseWorkThread.load() == std::this_thread::get_id() && PauseWork()) PauseWork()();
    // One wait can end a little early (the system's timer ticks in whole milliseconds, and
    // the library waits on a steady clock only once); a protocol pause is a minimum.
    while (std::chrono::steady_clock::now() < until) std::this_thread::sleep_until(until);
    sleptMs += ms;
}

void SystemClock::SetPauseWork(std::function<void()> work) {
    pauseWorkThread = work ? std::this_thread::get_id() : std::thread::id{};
    PauseWork() = std::move(work);
}

void SystemClock::SetPauseJob(std::function<void()> job) {
    pauseJobThread = job ? std::this_thread::get_id() : std::thread::id{};
    PauseJob() = std::move(job);
}

std::function<void()> SystemClock::TakePauseJob() {
    if (pauseJobThread.load() != std::this_thread::get_id()) return nullptr;
    pauseJobThread = std::thread::id{};
    return std::exchange(PauseJob(), nullptr);
}

uint64_t SystemClock::TotalSleptMs() {
    return sleptMs;
}
