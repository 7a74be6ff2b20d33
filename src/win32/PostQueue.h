#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <set>

// Work queued for the UI thread from any thread, per owner (a dialog). Work of an owner that has
// been closed is dropped, queued or not. `wake` is called (from the posting thread) when the queue
// turns non-empty, so the UI thread's message loop comes round to RunPending.
class PostQueue {
public:
    explicit PostQueue(std::function<void()> wake) : wake(std::move(wake)) {}

    void Open(const void* owner);
    // Drops everything the owner has queued; later posts for it are refused.
    void Close(const void* owner);
    bool IsOpen(const void* owner) const;
    // False when the owner is not open (the work is dropped).
    bool Post(const void* owner, std::function<void()> work);
    // Runs the work queued before the call, in order, on the calling (UI) thread; work queued while
    // it runs waits for the next round, so a handler that posts itself cannot starve the message loop.
    // Returns how many ran.
    int RunPending();
    size_t Pending() const;

private:
    struct Item {
        const void* owner;
        std::function<void()> work;
    };
    std::function<void()> wake;
    mutable std::mutex lock;
    std::deque<Item> items;
    std::set<const void*> open;
    bool wakePending = false;
};
