#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "accessory/VemraState.h"

// The accessory's commands and state reply. Value codes: front modes 0..3, rear modes 0..1, colours
// 0..6 (red, yellow, green, cyan, blue, purple, white) and 7 for the colour cycle, off flags 0 (lit)
// and 1 (dark).

// Command codes; every command is 7 bytes: the code and six data bytes.
inline constexpr uint8_t kCmdStoreIdle = 0xF0;
inline constexpr uint8_t kCmdStoreTurbo = 0xF1;
inline constexpr uint8_t kCmdSwitchZones = 0xF3;
inline constexpr uint8_t kCmdRestoreDefaults = 0xF4;
inline constexpr uint8_t kCmdAskState = 0xF5;
inline constexpr size_t kCommandSize = 7;
using AccessoryCommand = std::array<uint8_t, kCommandSize>;

// The six data bytes. They persist between commands: each command overwrites only its own bytes.
struct CommandScratch {
    std::array<uint8_t, 6> data{};
    void Clear() { data.fill(0); }
};

AccessoryCommand BuildCommand(uint8_t code, const CommandScratch& scratch);
// Each writes its data bytes into the scratch area and returns the whole command.
AccessoryCommand StoreIdleCommand(CommandScratch& scratch, const VemraState& state);
AccessoryCommand StoreTurboCommand(CommandScratch& scratch, const VemraState& state);
AccessoryCommand SwitchZonesCommand(CommandScratch& scratch, const VemraState& state);
AccessoryCommand RestoreDefaultsCommand(CommandScratch& scratch);
AccessoryCommand AskStateCommand(CommandScratch& scratch);

// The state reply: 200 payload bytes after an 0xF5.
inline constexpr size_t kStateBlockSize = 200;
inline constexpr size_t kStateMarkOffset = 99;
inline constexpr uint8_t kStateMark = 'L';
inline constexpr size_t kStateFieldsOffset = 100;
inline constexpr size_t kStateFieldCount = 10;
// Bytes the block must hold to carry the mark and the ten fields.
inline constexpr size_t kStateBlockMinimum = kStateFieldsOffset + kStateFieldCount;

// True when `block` (the bytes really received) carries the mark and all ten fields.
bool IsStateBlock(std::span<const uint8_t> block);
// Decodes an accepted block into `state` (the off flags go to both pages; stateKnown becomes 0);
// false and `state` untouched otherwise.
bool ParseStateBlock(std::span<const uint8_t> block, VemraState& state);
// The accessory's own defaults, as "Def" sets them: Idle "----" blue / "~" blue, Turbo "----" red /
// "--" red, both zones lit.
VemraState DefaultAccessoryState();
