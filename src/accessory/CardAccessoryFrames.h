#pragma once
#include <cstdint>
#include <vector>

// The accessory page's model as the accessory-model controller on the card takes it: each setting
// (Idle 0, Turbo 1) becomes a run of framed commands between "open setting" and "close setting".
// Every function here only builds the frames; the page sends each with one frame write, in order.

// One frame to send: command code and payload (the frame envelope is the lighting link's).
struct CardFrame {
    uint8_t command = 0;
    std::vector<uint8_t> payload;
    friend bool operator==(const CardFrame&, const CardFrame&) = default;
};
using CardFrames = std::vector<CardFrame>;

// Codes the page keeps (front modes 0..3, rear modes 0..1, colours 0..6 and 7 for cycle).
constexpr int kColourCycle = 7;
// In a colour handed to RenderSetToCard: the zone is switched off while both zones cycle.
constexpr int kColourZoneOff = 255;

// One setting of the page: front and rear zone, each a mode and a colour.
struct AccessorySet {
    int frontMode = 0;
    int frontColour = 0;
    int rearMode = 0;
    int rearColour = 0;
    friend bool operator==(const AccessorySet&, const AccessorySet&) = default;
};

// Frame commands and zones.
constexpr uint8_t kFrameOpenSetting = 0x0B;
constexpr uint8_t kFrameZoneSwitch = 0x05;
constexpr uint8_t kFrameZoneReset = 0x09;
constexpr uint8_t kFrameZoneEffect = 0x08;
constexpr uint8_t kFrameZoneColour = 0x04;
constexpr uint8_t kZoneFront = 1;
constexpr uint8_t kZoneRear = 0;

// The frames that store setting `setting` (0 Idle, 1 Turbo) with `set` on the controller. A colour
// outside the palette (0..6) sends no colour frame; a front mode outside 0..3 sends only the rear.
CardFrames RenderSetToCard(uint8_t setting, const AccessorySet& set);
void AppendSetToCard(CardFrames& out, uint8_t setting, const AccessorySet& set);

// "F": the front zone switched to `frontLit` in both settings, then the settings whose rear mode is
// "--" and whose zones both cycle rendered again with the dark front left out.
CardFrames FrontSwitchFrames(bool frontLit, const AccessorySet& idle, const AccessorySet& turbo);
// "R": the same for the rear zone (re-rendered: rear mode "~" with both zones cycling).
CardFrames RearSwitchFrames(bool rearLit, const AccessorySet& idle, const AccessorySet& turbo);
// "Def": both default settings, then both zones lit in both settings.
CardFrames DefaultFrames();
// The page's default settings.
AccessorySet DefaultIdleSet();
AccessorySet DefaultTurboSet();
// "Apply" of one setting with its zones' on flags: a dark zone of a cycling pair is left out.
CardFrames ApplyFrames(uint8_t setting, const AccessorySet& set, bool frontLit, bool rearLit);
