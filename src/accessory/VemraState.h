#pragma once
#include <cstdint>

// Code of any field of the page's copy of the accessory's settings before the device reported them.
constexpr int32_t kNotYetReported = 255;

// The two lighting settings of the accessory (front and rear zone, each a mode and a colour) and
// its zone switches, as the accessory page keeps them. Every field starts as kNotYetReported.
struct VemraState {
    int32_t idleFrontMode = kNotYetReported;
    int32_t idleRearMode = kNotYetReported;
    int32_t idleFrontColour = kNotYetReported;
    int32_t idleRearColour = kNotYetReported;
    int32_t idleFrontOff = kNotYetReported;  // the zone switches that are sent: 0 lit, 1 dark
    int32_t idleRearOff = kNotYetReported;
    int32_t turboFrontMode = kNotYetReported;
    int32_t turboRearMode = kNotYetReported;
    int32_t turboFrontColour = kNotYetReported;
    int32_t turboRearColour = kNotYetReported;
    int32_t turboFrontOff = kNotYetReported;  // copies for the Turbo page, never sent
    int32_t turboRearOff = kNotYetReported;
    int32_t stateKnown = kNotYetReported;  // 0 once known
    friend bool operator==(const VemraState&, const VemraState&) = default;
};
