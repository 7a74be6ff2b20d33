#include "win32/PostQueue.h"

#include <algorithm>
#include <iterator>

void PostQueue::Open(const void* owner) {
    std::lock_guard<std::mutex> guard(lock);
    open.insert(owner);
}

void PostQueue::Close(const void* owner) {
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> guard(lock);
        open.erase(owner);
        auto firstDropped = std::stable_partition(items.begin(), items.end(),
                                                  [owner](const Item& item) { return item.owner != owner; });
        std::move(firstDropped, items.end(), std::back_inserter(dropped));
        items.erase(firstDropped, items.end());
    }
    // The dropped work's captures are destroyed outside the lock: they may post or close in turn.
}

bool PostQueue::IsOpen(const void* owner) const {
    std::lock_guard<std::mutex> guard(lock);
    return open.count(owner) != 0;
}

bool PostQueue::Post(const void* owner, std::function<void()> work) {
    bool wakeNow = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (open.count(owner) == 0 || !work) return false;
        items.push_back({owner, std::move(work)});
        wakeNow = !wakePending;
        wakePending = true;
    }
    if (wakeNow && wake) wake();
    return true;
}

int PostQueue::RunPending() {
    size_t budget = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        wakePending = false;
        budget = items.size();
    }
    int ran = 0;
    for (; budget > 0; --budget) {
        Item next;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (items.empty()) break;
            next = std::move(items.front());
            items.pop_front();
            if (open.count(next.owner) == 0) continue;
        }
        next.work();
        ++ran;
    }
    bool wakeNow = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!items.empty() && !wakePending) {
            wakePending = true;
            wakeNow = true;
        }
    }
    if (wakeNow && wake) wake();
    return ran;
}

size_t PostQueue::Pending() const {
    std::lock_guard<std::mutex> guard(lock);
    return items.size();
}
