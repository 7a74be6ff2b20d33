#include "accessory/UsbHidLink.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "accessory/UsbHidWalk.h"

namespace {

constexpr uint32_t kDefaultReadTimeoutMs = 600;
constexpr uint32_t kDefaultWriteTimeoutMs = 500;
// A report must carry the id, the count and at least one payload byte; an output report at least a
// whole 7-byte command.
constexpr uint16_t kMinInputReport = 3;
constexpr uint16_t kMinOutputReport = 9;

}  // namespace

std::string NarrowSerial(const std::u16string& serial) {
    std::string text;
    for (char16_t unit : serial) {
        if (unit == 0 || text.size() == kSerialCapacity - 1) break;
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

void InitLink(UsbHidLink& link, HidSystem& system, uint32_t readTimeoutMs, uint32_t writeTimeoutMs) {
    link.system = &system;
    link.handle.reset();
    link.open = 0;
    link.readTimeoutMs = readTimeoutMs != 0 ? readTimeoutMs : kDefaultReadTimeoutMs;
    link.writeTimeoutMs = writeTimeoutMs != 0 ? writeTimeoutMs : kDefaultWriteTimeoutMs;
    link.inputReportLength = 0;
    link.outputReportLength = 0;
    link.pendingCount = 0;
    link.lastError = 0;
}

LinkStatus OpenLink(UsbHidLink& link, uint16_t vendorId, uint16_t productId, uint32_t instance,
                    const std::string& serial, int interfacesPerDevice, int deviceCount) {
    const std::string wanted = serial.substr(0, kSerialCapacity - 1);
    if (link.open) return LinkInUse;
    if (!link.system) return LinkNotFound;
    const bool ordinalWanted = wanted.size() == 1;
    const int wantedOrdinal = ordinalWanted ? std::atoi(wanted.c_str()) : 0;
    uint32_t position = 0;
    int ordinal = 0;
    int ordinalRun = 0;
    std::unique_ptr<HidDevice> chosen;
    for (const std::string& path : MatchingInterfacePaths(*link.system, vendorId, productId)) {
        std::unique_ptr<HidDevice> device =
            OpenInterface(*link.system, path, vendorId, productId, interfacesPerDevice == 1, link.lastError);
        if (link.lastError == kHidErrorSharingViolation) {
            if (position == instance) return LinkInUse;  // `device` closes on the way out
            ++position;
        }
        if (!device) continue;
        std::u16string wide;
        const std::string text = device->GetSerialNumber(wide) ? NarrowSerial(wide) : std::string();
        bool found = false;
        if (ordinalWanted) {
            if (!text.empty()) {
                if (++ordinalRun == interfacesPerDevice) --ordinalRun;
            } else if (ordinal == wantedOrdinal) {
                found = true;
                if (++ordinalRun == interfacesPerDevice) ordinal = ordinalRun = 0;
            } else if (++ordinal == deviceCount) {
                ordinal = 0;
            }
        } else {
            found = text == wanted;
        }
        if (found && position == instance) {
            chosen = std::move(device);
            break;
        }
        if (found && ++position == static_cast<uint32_t>(std::max(interfacesPerDevice, 1))) position = 1;
    }
    if (!chosen) return LinkNotFound;

    HidCaps caps;
    if (!chosen->GetCaps(caps) || caps.inputReportLength < kMinInputReport ||
        caps.inputReportLength > kLinkBufferSize || caps.outputReportLength < kMinOutputReport)
        return LinkTransferFailed;
    link.inputReportLength = caps.inputReportLength;
    link.outputReportLength = caps.outputReportLength;
    link.pendingCount = 0;
    link.handle = std::move(chosen);
    link.open = 1;
    return LinkOk;
}

LinkStatus CloseLink(UsbHidLink& link) {
    if (!link.open) return LinkNotOpen;
    link.open = 0;
    if (!link.handle) return LinkBadHandle;
    link.handle.reset();
    return LinkOk;
}

LinkStatus WriteLinkData(UsbHidLink& link, std::span<const uint8_t> payload) {
    LinkStatus status = LinkOk;
    std::vector<uint8_t> report;
    size_t offset = 0;
    while (offset < payload.size() && status == LinkOk) {
        if (!link.open || !link.handle) return LinkNotOpen;
        const size_t n = std::min(payload.size() - offset, kMaxReportPayload);
        report.assign(link.outputReportLength, 0);
        report[0] = kReportId;
        report[1] = static_cast<uint8_t>(n);
        std::copy_n(payload.begin() + offset, n, report.begin() + 2);
        offset += n;
        switch (link.handle->WriteReport(report, link.writeTimeoutMs)) {
            case HidIoResult::Ok:
                break;
            case HidIoResult::TimedOut:
                status = LinkTimedOut;
                break;
            default:
                status = LinkTransferFailed;
                break;
        }
    }
    return status;
}

LinkStatus ReadLinkData(UsbHidLink& link, std::span<uint8_t> buffer, size_t& received) {
    received = 0;
    size_t wanted = buffer.size();
    uint8_t* out = buffer.data();
    if (link.pendingCount > wanted) {
        std::copy_n(link.inputBuffer.begin(), wanted, out);
        std::memmove(link.inputBuffer.data(), link.inputBuffer.data() + wanted, link.pendingCount - wanted);
        link.pendingCount = static_cast<uint16_t>(link.pendingCount - wanted);
        received = wanted;
        return LinkOk;
    }
    if (link.pendingCount > 0) {
        std::copy_n(link.inputBuffer.begin(), link.pendingCount, out);
        out += link.pendingCount;
        wanted -= link.pendingCount;
        received = link.pendingCount;
        link.pendingCount = 0;
    }
    // Kept bytes handed out count as arrived: a time-out now must not hide them.
    bool arrived = received > 0;
    while (wanted > 0) {
        if (!link.open || !link.handle) return LinkNotOpen;
        size_t got = 0;
        const HidIoResult result = link.handle->ReadReport(
            std::span<uint8_t>(link.inputBuffer.data(), link.inputReportLength), link.readTimeoutMs, got);
        if (result == HidIoResult::TimedOut) return arrived ? LinkOk : LinkTimedOut;
        if (result != HidIoResult::Ok) return LinkTransferFailed;
        got = std::min<size_t>(got, link.inputReportLength);
        if (got < 2 || link.inputBuffer[0] != kReportId) continue;
        const size_t n = link.inputBuffer[1];
        // A count the report cannot hold is a damaged report, not a reason to read past it.
        if (n > kMaxReportPayload || n > got - 2) continue;
        const uint8_t* payload = link.inputBuffer.data() + 2;
        if (n > wanted) {
            std::copy_n(payload, wanted, out);
            std::memmove(link.inputBuffer.data(), payload + wanted, n - wanted);
            link.pendingCount = static_cast<uint16_t>(n - wanted);
            received += wanted;
            return LinkOk;
        }
        std::copy_n(payload, n, out);
        out += n;
        wanted -= n;
        received += n;
        if (n > 0) arrived = true;
    }
    return LinkOk;
}
