#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "lighting/ZoneSettings.h"

// One framed command for the zone controller (its code and payload; the link frames it), and the
// pause the sender keeps after it.
struct ZoneCommand {
    uint8_t code = 0;
    std::vector<uint8_t> payload;
    uint32_t pauseAfterMs = 0;
    friend bool operator==(const ZoneCommand&, const ZoneCommand&) = default;
};
using ZoneSequence = std::vector<ZoneCommand>;

// Command codes.
inline constexpr uint8_t kZoneCmdStatus = 0x01;
inline constexpr uint8_t kZoneCmdCloseSet = 0x03;
inline constexpr uint8_t kZoneCmdColour = 0x04;
inline constexpr uint8_t kZoneCmdLit = 0x05;
inline constexpr uint8_t kZoneCmdLayout = 0x06;
inline constexpr uint8_t kZoneCmdEffect = 0x08;
inline constexpr uint8_t kZoneCmdEffectParams = 0x09;
inline constexpr uint8_t kZoneCmdWavePrelude = 0x0A;
inline constexpr uint8_t kZoneCmdSelectSet = 0x0B;
inline constexpr uint8_t kZoneCmdFanVoltSwitch = 0x0C;
inline constexpr uint8_t kZoneCmdLayoutQuery = 0x0D;
inline constexpr uint8_t kZoneCmdFactoryDefaults = 0xFF;

// RestoreZoneDefaults waits this long for the controller to reset its sets.
inline constexpr uint32_t kZoneDefaultsPauseMs = 1000;

// The layout entries (command 0x06) of a layout, zone 0 first; none for an unknown layout.
ZoneSequence LayoutEntries(uint8_t layout);

// Sends one zone's settings as they are in `state` (marks the set's wave when it takes the joined
// layout).
ZoneSequence ApplyZone(ZoneLightingState& state, int set, int zone);
// Zone 0 of the set leaves the wave: the layout comes back and zones 0 and 1 are sent again. Nothing
// when the set's wave is not marked.
ZoneSequence LeaveWave(ZoneLightingState& state, int set);
// Every zone of both sets on (1) or off (0).
ZoneSequence SwitchAllZones(uint8_t lit);
// The controller's own defaults, then the page's defaults (which it takes into `state`) sent zone by
// zone, then everything on.
ZoneSequence RestoreZoneDefaults(ZoneLightingState& state);
// Programs a blank controller (idle blue breathing, turbo red); nothing for an unknown layout.
ZoneSequence InitialiseZoneController(uint8_t layout);
// The fan/voltage panel's switch.
ZoneSequence FanVoltSwitch(uint8_t on);

// Size of the status payload and the offset of the fan/voltage switch in it.
inline constexpr size_t kZoneStatusSize = 400;
inline constexpr size_t kZoneStatusFanVolt = 384;

// Takes the controller's status into `state`. `complete` says the reply was whole (its closing bytes
// and every payload byte arrived); only then may a blank status program the controller: the returned
// sequence is what must be sent. A status shorter than kZoneStatusSize is not read.
ZoneSequence ReadZoneStatus(ZoneLightingState& state, std::span<const uint8_t> status, bool complete);

// The mode a status effect code and parameter stand for on a layout.
uint8_t ZoneModeFromEffect(uint8_t effect, uint8_t parameter, uint8_t layout);
// Recognises a status colour as a named colour at a brightness level; false for anything else.
bool RecogniseZoneColour(ZoneRgb colour, uint8_t& colourIndex, uint8_t& brightness);
