#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/SimRecordBytes.h"

// The caller's record after SimCall::Record accepted its version word: as long as that word says.
inline SimRecordBytes AcceptedRecord(void* record) {
    return SimRecordBytes(record, SimRecordBytes(record, 4).U32(0) & 0xFFFF);
}

// The same record cleared after its version word, as the driver fills an output record from scratch.
inline SimRecordBytes FreshRecord(void* record) {
    SimRecordBytes bytes = AcceptedRecord(record);
    for (size_t offset = 4; offset < bytes.Size(); ++offset) bytes.Set<uint8_t>(offset, 0);
    return bytes;
}
