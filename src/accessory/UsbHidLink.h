#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/HidSystem.h"

// The accessory's identity on the USB.
inline constexpr uint16_t kAccessoryVendorId = 0x2047;
inline constexpr uint16_t kAccessoryProductId = 0x0310;

// One-byte results of the transport.
enum LinkStatus : uint8_t {
    LinkOk = 0,
    LinkNotFound = 1,        // no interface with the wanted identity and serial number
    LinkNotOpen = 2,         // the link is not open
    LinkInUse = 3,           // already open, or the wanted interface is held by another program
    LinkTimedOut = 4,        // a pending transfer did not finish within its time-out
    LinkTransferFailed = 5,  // the transfer or the wait failed
    LinkBadHandle = 6,       // close of an open link without a device
    LinkNoMatch = 0xFF,      // interface search only: no interface at that index, or another device
};

// Every report, both ways: id 0x3F, a count byte n (1..62), n payload bytes, padding.
inline constexpr uint8_t kReportId = 0x3F;
inline constexpr size_t kMaxReportPayload = 62;
inline constexpr size_t kLinkBufferSize = 8192;
// Interfaces looked at by every walk.
inline constexpr int kMaxInterfaceIndex = 128;
inline constexpr size_t kSerialCapacity = 40;

// One entry of an owner's serial table.
struct AccessorySlot {
    uint32_t instance = 0;
    std::array<char, kSerialCapacity> serial{};  // zero-terminated 8-bit text
    std::string Serial() const;
};

// The link to one HID interface. Owned by value by its user; open and close run on one thread, and
// while open one reader thread and one writer thread may use it at the same time.
struct UsbHidLink {
    HidSystem* system = nullptr;
    std::unique_ptr<HidDevice> handle;
    std::atomic<int> open{0};
    uint32_t readTimeoutMs = 0;
    uint32_t writeTimeoutMs = 0;
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    // Receives one input report; between reads it holds the unconsumed payload at its start.
    std::array<uint8_t, kLinkBufferSize> inputBuffer{};
    uint16_t pendingCount = 0;
    // System error of the last open attempt; 0 when it succeeded.
    uint32_t lastError = 0;
};

// Prepares a closed link on `system`; zero time-outs become 600 ms (read) and 500 ms (write).
void InitLink(UsbHidLink& link, HidSystem& system, uint32_t readTimeoutMs, uint32_t writeTimeoutMs);

// The text "vid_%04x&pid_%04x" that an interface's device path must contain (case-sensitive).
std::string IdentityPattern(uint16_t vendorId, uint16_t productId);
// The interface at enumeration `index` (below 128) when its path carries the identity.
LinkStatus FindInterfacePath(HidSystem& system, int index, uint16_t vendorId, uint16_t productId,
                             std::string& path);
// Opens one interface and confirms its identity; null (device closed again) when it is another
// device or its attributes are unreadable. A sharing violation on the first, exclusive attempt gets
// one more, shared attempt. `lastError` is the system error of the last attempt.
std::unique_ptr<HidDevice> OpenInterface(HidSystem& system, const std::string& path, uint16_t vendorId,
                                         uint16_t productId, bool exclusiveFirst, uint32_t& lastError);
// Matching interfaces that open or are held by another program, divided by `divisor` (0 when the
// divisor is 0): with the number of accessories, the interfaces per accessory.
int CountInterfaces(HidSystem& system, uint16_t vendorId, uint16_t productId, int divisor);
// Fills `table` with the serial numbers of the accessories present; the number of accessories,
// never more than the table holds.
int ListSerialNumbers(HidSystem& system, uint16_t vendorId, uint16_t productId,
                      std::span<AccessorySlot> table);
// Opens the accessory with `serial` (a one-character serial is the ordinal among accessories without
// serial numbers). Refuses report sizes the link cannot carry (output below 9, input outside
// 3..8192) with LinkTransferFailed.
LinkStatus OpenLink(UsbHidLink& link, uint16_t vendorId, uint16_t productId, uint32_t instance,
                    const std::string& serial, int interfacesPerDevice, int deviceCount);
LinkStatus CloseLink(UsbHidLink& link);
// Sends `payload` in framed reports of outputReportLength bytes, zero padded.
LinkStatus WriteLinkData(UsbHidLink& link, std::span<const uint8_t> payload);
// Gathers buffer.size() payload bytes from the reports (pending bytes first); fewer when a read
// times out after some bytes came (LinkOk), none on LinkTimedOut. `received` is what was copied.
// Surplus payload of the last report stays pending for the next read.
LinkStatus ReadLinkData(UsbHidLink& link, std::span<uint8_t> buffer, size_t& received);
// The start-up test: an interface whose path names the accessory's vendor and product.
bool ProbeAccessoryPresent(HidSystem& system);
