#pragma once
#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: says which one, then stops the run the way a sanitizer
// would, so libFuzzer keeps the input as a crash.
inline void FuzzCheck(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", promise);
    std::abort();
}
