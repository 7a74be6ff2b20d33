#include "win32/GdiTally.h"

#include <array>
#include <atomic>

namespace {
std::array<std::atomic<long>, size_t(GdiKind::Count)> counts{};
}

namespace GdiTally {

void Add(GdiKind kind) {
    counts[size_t(kind)].fetch_add(1, std::memory_order_relaxed);
}

void Remove(GdiKind kind) {
    counts[size_t(kind)].fetch_sub(1, std::memory_order_relaxed);
}

long Live(GdiKind kind) {
    return counts[size_t(kind)].load(std::memory_order_relaxed);
}

long LiveTotal() {
    long total = 0;
    for (const auto& c : counts) total += c.load(std::memory_order_relaxed);
    return total;
}

}  // namespace GdiTally
