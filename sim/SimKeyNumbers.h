#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimParse.h"
#include "sim/SimRegistry.h"

// A key value of `minCount` to `maxCount` whole numbers, each within [low, high]; on anything else
// the line is rejected with the expected form.
inline bool ReadNumberList(SimKeyArgs& args, size_t minCount, size_t maxCount, int64_t low, int64_t high,
                           std::vector<int64_t>& numbers) {
    auto words = SplitWords(args.value);
    bool ok = words.size() >= minCount && words.size() <= maxCount;
    numbers.assign(words.size(), 0);
    for (size_t i = 0; ok && i < words.size(); ++i) {
        ok = ParseInteger(words[i], numbers[i]) && numbers[i] >= low && numbers[i] <= high;
    }
    if (!ok) {
        args.error = "expected " + std::to_string(minCount) +
                     (maxCount > minCount ? " to " + std::to_string(maxCount) : std::string()) +
                     (maxCount == 1 ? " number from " : " numbers from ") + std::to_string(low) + " to " +
                     std::to_string(high);
    }
    return ok;
}
