#pragma once
#include <array>
#include <cstdint>

// One command of the register controller: four bytes written to register 0x00, then a pause the
// controller needs before it takes the next transaction.
struct LedCommand {
    std::array<uint8_t, 4> bytes{};
    uint32_t pauseMs = 0;
};

constexpr uint32_t kLedCommandPauseMs = 500;
constexpr uint32_t kLedZonesPauseMs = 300;

// Colours go to the controller as their LedColour index (0 Red .. 6 White), brightness as a level
// 0..7 in bits 7..5.
constexpr LedCommand LedCmdStatic(uint8_t colour1, uint8_t colour2, uint8_t level) {
    return {{0xF0, colour1, colour2, static_cast<uint8_t>(level << 5)}, kLedCommandPauseMs};
}
constexpr LedCommand LedCmdBreath(uint8_t colour1, uint8_t colour2) {
    return {{0xF1, colour1, colour2, 0x07}, kLedCommandPauseMs};
}
constexpr LedCommand LedCmdStrobe(uint8_t colour1, uint8_t colour2) {
    return {{0xF2, colour1, colour2, 0x07}, kLedCommandPauseMs};
}
constexpr LedCommand LedCmdCycle() {
    return {{0xF3, 0x00, 0x00, 0x00}, kLedCommandPauseMs};
}
// Off flags: 0 lit, 1 dark.
constexpr LedCommand LedCmdZones(uint8_t logoOff, uint8_t armorOff) {
    return {{0xF7, logoOff, armorOff, 0x00}, kLedZonesPauseMs};
}
constexpr LedCommand LedCmdDefault() {
    return {{0xF8, 0x00, 0x00, 0x00}, kLedCommandPauseMs};
}
