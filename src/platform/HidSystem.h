#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// System error numbers the HID system reports when an interface cannot be opened (the system's
// own values, so the Windows implementation passes its errors through unchanged).
inline constexpr uint32_t kHidErrorNone = 0;
inline constexpr uint32_t kHidErrorFileNotFound = 2;
inline constexpr uint32_t kHidErrorAccessDenied = 5;
inline constexpr uint32_t kHidErrorSharingViolation = 32;
inline constexpr uint32_t kHidErrorDeviceGone = 1167;

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// Report sizes in bytes, the report id included.
struct HidCaps {
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
};

enum class HidIoResult {
    Ok,
    TimedOut,   // nothing finished within the time-out; the transfer was cancelled
    Failed,     // the transfer or the wait failed (also: the device went away)
    Cancelled,  // CancelRead was called
};

// One open HID interface. Closing is destruction. One read and one write may run at the same time
// on different threads; two reads (or two writes) never overlap.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual bool GetAttributes(HidAttributes& attributes) = 0;
    // The USB serial-number string, at most 40 UTF-16 units.
    virtual bool GetSerialNumber(std::u16string& serial) = 0;
    virtual bool GetCaps(HidCaps& caps) = 0;
    // Reads one input report into `buffer`, waiting at most `timeoutMs`. `received` is the number
    // of bytes really transferred (0 unless the result is Ok). Returns only once the transfer has
    // finished or its cancellation has completed, so the buffer may be reused at once.
    virtual HidIoResult ReadReport(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t& received) = 0;
    // Writes one whole output report, waiting at most `timeoutMs`; the same completion rule.
    virtual HidIoResult WriteReport(std::span<const uint8_t> report, uint32_t timeoutMs) = 0;
    // From any thread: a read in progress returns Cancelled at once, and so does every later read on
    // this device (a cancelled device is only waiting to be closed).
    virtual void CancelRead() = 0;
};

// The system's HID interfaces: the Windows implementation (device setup and HID library), the
// simulated accessories of tests and `make run`.
class HidSystem {
public:
    virtual ~HidSystem() = default;
    // Device paths of the HID interfaces present now, in enumeration order; empty when there are none
    // or the enumeration failed.
    virtual std::vector<std::string> ListInterfacePaths() = 0;
    // Opens an interface for reading and writing; `exclusive` forbids sharing it. On failure the
    // result is null and `error` holds the system error (kHidErrorSharingViolation when another holder
    // stands in the way); on success `error` is kHidErrorNone.
    virtual std::unique_ptr<HidDevice> OpenDevice(const std::string& path, bool exclusive,
                                                  uint32_t& error) = 0;
};
