#pragma once
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "sim/SimParse.h"

// One word of a scenario value as a signed 32-bit number.
inline bool ParseInt32Word(std::string_view word, int32_t& value) {
    int64_t number = 0;
    if (!ParseInteger(word, number) || number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

// The words of a scenario value as signed 32-bit numbers; false on a word that is not one.
inline bool ParseInt32Words(const std::vector<std::string_view>& words, std::vector<int32_t>& values) {
    values.assign(words.size(), 0);
    for (size_t i = 0; i < words.size(); ++i) {
        if (!ParseInt32Word(words[i], values[i])) return false;
    }
    return true;
}

inline bool ParseInt32Words(std::string_view text, std::vector<int32_t>& values) {
    return ParseInt32Words(SplitWords(text), values);
}
