#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// A caller's record seen as bytes at the driver's documented offsets. Nothing is read or written
// past `size`, the size the record's version word (or the function's contract) gives.
class SimRecordBytes {
public:
    SimRecordBytes(void* data, size_t size) : bytes_(static_cast<uint8_t*>(data)), size_(size) {}

    size_t Size() const { return size_; }

    template <class T>
    T Get(size_t offset) const {
        T value{};
        if (Fits(offset, sizeof(T))) std::memcpy(&value, bytes_ + offset, sizeof(T));
        return value;
    }
    template <class T>
    void Set(size_t offset, T value) {
        if (Fits(offset, sizeof(T))) std::memcpy(bytes_ + offset, &value, sizeof(T));
    }
    uint32_t U32(size_t offset) const { return Get<uint32_t>(offset); }
    int32_t S32(size_t offset) const { return Get<int32_t>(offset); }
    void SetU32(size_t offset, uint32_t value) { Set(offset, value); }
    void SetS32(size_t offset, int32_t value) { Set(offset, value); }
    // A pointer the caller placed in the record, or null when it would not fit.
    void* Pointer(size_t offset) const { return Get<void*>(offset); }

    void CopyIn(size_t offset, const void* data, size_t length) {
        if (Fits(offset, length)) std::memcpy(bytes_ + offset, data, length);
    }
    void CopyOut(size_t offset, void* data, size_t length) const {
        if (Fits(offset, length)) std::memcpy(data, bytes_ + offset, length);
    }

private:
    bool Fits(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }

    uint8_t* bytes_;
    size_t size_;
};
