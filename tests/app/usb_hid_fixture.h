#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "accessory/UsbHidLink.h"
#include "sim/hid/SimHidSystem.h"

// An accessory interface of the simulated HID system: vendor 0x2047, product 0x0310.
inline SimHidInterface AccessoryInterface(const std::u16string& serial, int instance,
                                          int interfaceNumber = -1) {
    SimHidInterface it;
    it.path = SimHidPath(kAccessoryVendorId, kAccessoryProductId, instance, interfaceNumber);
    it.vendorId = kAccessoryVendorId;
    it.productId = kAccessoryProductId;
    it.serial = serial;
    return it;
}

// One input report 0x3F, n, n payload bytes (first, first + 1, ...), zero padded to `length`.
inline std::vector<uint8_t> InputReport(size_t n, uint8_t first = 0, size_t length = 64) {
    std::vector<uint8_t> report(length, 0);
    report[0] = kReportId;
    report[1] = static_cast<uint8_t>(n);
    for (size_t i = 0; i < n && i + 2 < length; ++i) report[i + 2] = static_cast<uint8_t>(first + i);
    return report;
}
