#include "accessory/AccessoryProtocol.h"

namespace {

uint8_t Code(int32_t value) {
    return static_cast<uint8_t>(value);
}

}  // namespace

AccessoryCommand BuildCommand(uint8_t code, const CommandScratch& scratch) {
    AccessoryCommand command{};
    command[0] = code;
    for (size_t i = 0; i < scratch.data.size(); ++i) command[i + 1] = scratch.data[i];
    return command;
}

namespace {

// One Idle or Turbo setting: front mode and colour, then rear mode and colour.
AccessoryCommand StoreSetCommand(uint8_t code, CommandScratch& scratch, int32_t frontMode,
                                 int32_t frontColour, int32_t rearMode, int32_t rearColour) {
    scratch.data[0] = Code(frontMode);
    scratch.data[1] = Code(frontColour);
    scratch.data[2] = Code(rearMode);
    scratch.data[3] = Code(rearColour);
    return BuildCommand(code, scratch);
}

}  // namespace

AccessoryCommand StoreIdleCommand(CommandScratch& scratch, const VemraState& state) {
    return StoreSetCommand(kCmdStoreIdle, scratch, state.idleFrontMode, state.idleFrontColour,
                           state.idleRearMode, state.idleRearColour);
}

AccessoryCommand StoreTurboCommand(CommandScratch& scratch, const VemraState& state) {
    return StoreSetCommand(kCmdStoreTurbo, scratch, state.turboFrontMode, state.turboFrontColour,
                           state.turboRearMode, state.turboRearColour);
}

AccessoryCommand SwitchZonesCommand(CommandScratch& scratch, const VemraState& state) {
    scratch.data[0] = Code(state.idleFrontOff);
    scratch.data[1] = Code(state.idleRearOff);
    return BuildCommand(kCmdSwitchZones, scratch);
}

AccessoryCommand RestoreDefaultsCommand(CommandScratch& scratch) {
    scratch.Clear();
    return BuildCommand(kCmdRestoreDefaults, scratch);
}

AccessoryCommand AskStateCommand(CommandScratch& scratch) {
    scratch.Clear();
    return BuildCommand(kCmdAskState, scratch);
}

bool IsStateBlock(std::span<const uint8_t> block) {
    return block.size() >= kStateBlockMinimum && block[kStateMarkOffset] == kStateMark;
}

bool ParseStateBlock(std::span<const uint8_t> block, VemraState& state) {
    if (!IsStateBlock(block)) return false;
    const uint8_t* f = block.data() + kStateFieldsOffset;
    state.idleFrontMode = f[0];
    state.idleFrontColour = f[1];
    state.idleRearMode = f[2];
    state.idleRearColour = f[3];
    state.turboFrontMode = f[4];
    state.turboFrontColour = f[5];
    state.turboRearMode = f[6];
    state.turboRearColour = f[7];
    state.idleFrontOff = state.turboFrontOff = f[8];
    state.idleRearOff = state.turboRearOff = f[9];
    state.stateKnown = 0;
    return true;
}

VemraState DefaultAccessoryState() {
    VemraState state;
    state.idleFrontMode = 3;
    state.idleFrontColour = 4;
    state.idleRearMode = 0;
    state.idleRearColour = 4;
    state.turboFrontMode = 3;
    state.turboFrontColour = 0;
    state.turboRearMode = 1;
    state.turboRearColour = 0;
    state.idleFrontOff = state.idleRearOff = state.turboFrontOff = state.turboRearOff = 0;
    state.stateKnown = 0;
    return state;
}
