#pragma once
#include <cstdint>
#include <functional>

// Every pause and time reading goes through this, so tests run instantly and can assert pauses.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// The real clock: a monotonic millisecond counter and a plain sleep.
class SystemClock : public Clock {
public:
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
    // Milliseconds every SystemClock of the process has slept so far: the protocol's own pauses.
    static uint64_t TotalSleptMs();
    // Work for the calling thread's pauses (nullptr: none): run once at the start of each pause that
    // thread takes, which still lasts its full time from its start. The UI thread's start-up pauses
    // (lighting detection) decode pictures its windows will need.
    static void SetPauseWork(std::function<void()> work);
    // One job for the calling thread's next pause, run before that pause's work (it replaces a job
    // not run yet). TakePauseJob hands a job no pause has run yet to the caller (else nullptr), so
    // work that must be done by some point is done there at the latest.
    static void SetPauseJob(std::function<void()> job);
    static std::function<void()> TakePauseJob();
};
