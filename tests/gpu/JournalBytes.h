#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

// A little-endian word of bytes the simulator journaled; reading past the end fails the test.
inline uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) {
        ADD_FAILURE() << "offset " << offset << " is past the " << bytes.size() << " journaled bytes";
        return 0;
    }
    uint32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, sizeof word);
    return word;
}

inline int32_t SignedAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<int32_t>(WordAt(bytes, offset));
}
