#pragma once
#include <cstdint>

#include "lighting/LightingLink.h"
#include "lighting/LightingTypes.h"

// What the detection keeps for the selected GPU (the main window owns one). A status area is
// replaced only by a reply that starts FF AA 00, and then only with the bytes actually received.
struct LightingState {
    LightingKind kind = LightingNone;
    uint8_t zoneLayout = kZoneLayoutUnknown;
    LedStatus ledStatus{};
    ZoneStatus zoneStatus{};
    // The last zone status reply was whole: its closing FF 55 arrived after every payload byte.
    bool zoneStatusComplete = false;
    CardAccessoryStatus cardAccessoryStatus{};
};

// Frame commands the detection sends (payload 0x10 each).
constexpr uint8_t kFrameStatusRequest = 0x01;
constexpr uint8_t kFrameLayoutQuery = 0x0D;
constexpr uint8_t kFrameQueryPayload = 0x10;
// Bytes read for a status reply: 13 bytes of frame around the payload.
constexpr size_t kZoneStatusReplyBytes = 413;
constexpr size_t kCardAccessoryReplyBytes = 153;

// Finds out which lighting controller the selected card carries: the register probe first, then
// the framed controller (the accessory-model status on `accessoryOnCard` cards, else the layout
// query and the zone status). Leaves LightingNone when nothing answered; the USB accessory probe
// is the caller's next step then. Every wait goes through the link's clock.
void DetectLighting(LightingLink& link, bool accessoryOnCard, LightingState& state);

// Sends the layout query and reads its reply at once; a reply whose first payload byte is 8, 12 or
// 0 sets the layout to 0, 1 or 2, anything else leaves `zoneLayout` as it was.
void QueryZoneLayout(LightingLink& link, uint8_t& zoneLayout);
