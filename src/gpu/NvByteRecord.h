#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Little-endian words inside a byte array of `size` bytes; out-of-range offsets read 0 and write nothing.
inline uint32_t NvReadLe32(const uint8_t* bytes, size_t size, size_t offset) {
    if (offset > size || size - offset < 4) return 0;
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

inline void NvWriteLe32(uint8_t* bytes, size_t size, size_t offset, uint32_t value) {
    if (offset > size || size - offset < 4) return;
    for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// An undocumented driver record kept as raw bytes. Fields are read and written little-endian at
// named offsets; an offset past the end reads 0 and ignores writes, so a count byte from the driver
// that points beyond the record can never walk out of it.
template <size_t Size>
struct NvByteRecord {
    static constexpr size_t kSize = Size;
    uint8_t bytes[Size];

    void Clear() { std::memset(bytes, 0, Size); }

    uint32_t Version() const { return U32(0); }
    void SetVersion(uint32_t version) { SetU32(0, version); }

    uint8_t U8(size_t offset) const { return offset < Size ? bytes[offset] : 0; }
    void SetU8(size_t offset, uint8_t value) {
        if (offset < Size) bytes[offset] = value;
    }

    uint32_t U32(size_t offset) const { return NvReadLe32(bytes, Size, offset); }
    void SetU32(size_t offset, uint32_t value) { NvWriteLe32(bytes, Size, offset, value); }

    int32_t S32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
    void SetS32(size_t offset, int32_t value) { SetU32(offset, static_cast<uint32_t>(value)); }
};
