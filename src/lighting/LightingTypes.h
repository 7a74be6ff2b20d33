#pragma once
#include <array>
#include <cstdint>

// What the card's lighting detection found for the selected GPU; the main window picks the
// lighting page by it.
enum LightingKind : int {
    LightingNone = 0,
    LightingRegister = 1,
    LightingUsbAccessory = 2,
    LightingZone = 3,
    LightingCardAccessory = 4,
};

// The register controller's 10-byte status as read from register 0x00: model (1 logo only, 2 logo
// and armor), mode, logo colour, armor colour, brightness << 5, logo off, armor off, 3 unused.
using LedStatus = std::array<uint8_t, 10>;
// The payload of the zone controller's status reply.
using ZoneStatus = std::array<uint8_t, 400>;
// The payload of the status reply of the controller that speaks the accessory's model.
using CardAccessoryStatus = std::array<uint8_t, 140>;

// Zone layout before any layout query has answered.
constexpr uint8_t kZoneLayoutUnknown = 0xFF;
// Byte of ZoneStatus that holds the fan/voltage panel's switch.
constexpr size_t kZoneStatusSwitchByte = 384;
