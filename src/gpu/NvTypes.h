#pragma once
#include <cstddef>
#include <cstdint>

// The driver's functions are __cdecl; on 64-bit there is only one convention and naming one is an error.
// The underscored attribute name is immune to the `cdecl` macro of the Windows headers.
#if defined(__i386__) || defined(_M_IX86)
#define NVAPI_CALL __attribute__((__cdecl__))
#else
#define NVAPI_CALL
#endif

// Handles are pointers to driver-private objects; only their value is ever used.
struct NvPhysicalGpuObject;
struct NvDisplayObject;
using NvPhysicalGpuHandle = NvPhysicalGpuObject*;
using NvDisplayHandle = NvDisplayObject*;

// The driver's fixed text buffer (error texts, names, version strings).
constexpr size_t kNvShortStringMax = 64;
using NvShortString = char[kNvShortStringMax];

constexpr uint32_t kNvMaxPhysicalGpus = 64;

// The loader's single entry point: every other function is fetched from it by query id.
using NvQueryInterfaceFn = void*(NVAPI_CALL*)(uint32_t queryId);

// Driver statuses as the driver reports them; 0 is the only success.
namespace NvStatus {
constexpr int32_t Ok = 0;
constexpr int32_t Error = -1;
constexpr int32_t LibraryNotFound = -2;
constexpr int32_t NoImplementation = -3;
constexpr int32_t ApiNotInitialized = -4;
constexpr int32_t InvalidArgument = -5;
constexpr int32_t NvidiaDeviceNotFound = -6;
constexpr int32_t EndEnumeration = -7;
constexpr int32_t InvalidHandle = -8;
constexpr int32_t IncompatibleStructVersion = -9;
constexpr int32_t HandleInvalidated = -10;
constexpr int32_t InvalidPointer = -14;
constexpr int32_t ExpectedPhysicalGpuHandle = -101;
constexpr int32_t ExpectedDisplayHandle = -102;
constexpr int32_t NotSupported = -104;
constexpr int32_t OutOfMemory = -130;
}  // namespace NvStatus

// A record's first word: its version in the high half, its size in bytes in the low half.
constexpr uint32_t MakeNvVersion(uint32_t version, size_t size) {
    return (version << 16) | static_cast<uint32_t>(size);
}

template <class Record>
constexpr uint32_t NvVersionOf(uint32_t version) {
    return MakeNvVersion(version, sizeof(Record));
}

constexpr bool kNv32Bit = sizeof(void*) == 4;
