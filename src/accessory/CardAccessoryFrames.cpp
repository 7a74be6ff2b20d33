#include "accessory/CardAccessoryFrames.h"

#include <cstddef>

#include "accessory/AccessoryPalette.h"

namespace {

constexpr int kWhite = 6;

void Send(CardFrames& out, uint8_t command, std::vector<uint8_t> payload) {
    out.push_back(CardFrame{command, std::move(payload)});
}

void ZoneEffect(CardFrames& out, uint8_t zone, uint8_t effect, uint8_t x, uint8_t p1, uint8_t p2, uint8_t p3,
                uint8_t p4) {
    Send(out, kFrameZoneReset, {zone, 0xFF, 0xFF});
    Send(out, kFrameZoneEffect, {zone, effect, x, p1, p2, 0x00, p3, p4});
}

void FrameZoneColour(CardFrames& out, uint8_t zone, int colour) {
    // A colour the page could not recognise has no triple; the controller keeps what it shows.
    if (colour < 0 || colour >= int(kAccessoryPalette.size())) return;
    const auto& rgb = kAccessoryPalette[size_t(colour)];
    Send(out, kFrameZoneColour, {zone, rgb[0], rgb[1], rgb[2], 0x01});
}

bool FrontModeKnown(int mode) {
    return mode >= 0 && mode <= 3;
}

void FrontRun(CardFrames& out, int mode, uint8_t p3, uint8_t p4) {
    switch (mode) {
        case 0:
            ZoneEffect(out, kZoneFront, 8, 7, 0x0D, 1, p3, p4);
            return;
        case 1:
            ZoneEffect(out, kZoneFront, 11, 7, 0x0D, 9, p3, p4);
            return;
        case 2:
            ZoneEffect(out, kZoneFront, 10, 7, 0x0D, 9, p3, p4);
            return;
        case 3:
            ZoneEffect(out, kZoneFront, 3, 7, 0x0D, 0x7F, p3, p4);
            return;
        default:
            return;
    }
}

void FrontPlain(CardFrames& out, int mode) {
    if (mode == 3) {
        ZoneEffect(out, kZoneFront, 0, 0, 0, 0, 0, 0);
    } else {
        FrontRun(out, mode, 0, 0);
    }
}

// The front's animated run while the rear has its own colour or is dark.
void FrontBesideRear(CardFrames& out, int mode) {
    if (mode == 3) {
        FrontRun(out, mode, 0, 0);
    } else {
        FrontRun(out, mode, 3, 2);
    }
}

void RearBreath(CardFrames& out, uint8_t p3, uint8_t p4) {
    ZoneEffect(out, kZoneRear, 1, 7, 0x3D, 2, p3, p4);
}

void RearSteady(CardFrames& out) {
    ZoneEffect(out, kZoneRear, 0, 0, 0, 0, 0, 0);
}

void RearSteadyCycle(CardFrames& out) {
    FrameZoneColour(out, kZoneRear, kWhite);
    ZoneEffect(out, kZoneRear, 2, 7, 0x0D, 1, 0, 0);
}

void RearPart(CardFrames& out, const AccessorySet& set) {
    if (set.rearMode == 0) {
        if (set.rearColour == kColourCycle) {
            RearBreath(out, 3, 1);
        } else {
            RearBreath(out, 0, 0);
            FrameZoneColour(out, kZoneRear, set.rearColour);
        }
    } else if (set.rearMode == 1) {
        if (set.rearColour == kColourCycle) {
            RearSteadyCycle(out);
        } else {
            RearSteady(out);
            FrameZoneColour(out, kZoneRear, set.rearColour);
        }
    }
}

void BothCycling(CardFrames& out, const AccessorySet& set) {
    if (set.rearMode == 0) {
        RearBreath(out, 3, 3);
        FrontPlain(out, set.frontMode);
    } else if (set.rearMode == 1) {
        RearSteady(out);
        FrontRun(out, set.frontMode, 3, set.frontMode == 3 ? 1 : 3);
    }
}

void OneZoneOff(CardFrames& out, const AccessorySet& set) {
    if (set.rearMode != 0 && set.rearMode != 1) return;
    FrontBesideRear(out, set.frontMode);
    if (set.rearMode == 0) {
        RearBreath(out, 3, 1);
    } else {
        RearSteadyCycle(out);
    }
}

bool BothCycle(const AccessorySet& set) {
    return set.frontColour == kColourCycle && set.rearColour == kColourCycle;
}

void SwitchZoneInBothSettings(CardFrames& out, uint8_t zone, bool lit) {
    const uint8_t on = lit ? 1 : 0;
    Send(out, kFrameOpenSetting, {1, 0});
    Send(out, kFrameZoneSwitch, {zone, on});
    Send(out, kFrameOpenSetting, {1, 1});
    Send(out, kFrameZoneSwitch, {zone, on});
}

}  // namespace

void AppendSetToCard(CardFrames& out, uint8_t setting, const AccessorySet& set) {
    Send(out, kFrameOpenSetting, {1, setting});
    const int fc = set.frontColour;
    const int rc = set.rearColour;
    if (!FrontModeKnown(set.frontMode)) {
        RearPart(out, set);
    } else if (fc == kColourCycle && rc == kColourCycle) {
        BothCycling(out, set);
    } else if ((fc == kColourCycle && rc == kColourZoneOff) || (fc == kColourZoneOff && rc == kColourCycle)) {
        OneZoneOff(out, set);
    } else if (fc == kColourCycle) {
        FrontBesideRear(out, set.frontMode);
        RearPart(out, set);
    } else {
        FrontPlain(out, set.frontMode);
        FrameZoneColour(out, kZoneFront, fc);
        RearPart(out, set);
    }
    Send(out, kFrameOpenSetting, {0, 0});
}

CardFrames RenderSetToCard(uint8_t setting, const AccessorySet& set) {
    CardFrames out;
    AppendSetToCard(out, setting, set);
    return out;
}

CardFrames FrontSwitchFrames(bool frontLit, const AccessorySet& idle, const AccessorySet& turbo) {
    CardFrames out;
    SwitchZoneInBothSettings(out, kZoneFront, frontLit);
    uint8_t setting = 0;
    for (AccessorySet set : {idle, turbo}) {
        if (set.rearMode == 1 && BothCycle(set)) {
            Send(out, kFrameZoneReset, {0, 0, 0});
            if (!frontLit) set.frontColour = kColourZoneOff;
            AppendSetToCard(out, setting, set);
        }
        ++setting;
    }
    Send(out, kFrameOpenSetting, {0, 0});
    return out;
}

CardFrames RearSwitchFrames(bool rearLit, const AccessorySet& idle, const AccessorySet& turbo) {
    CardFrames out;
    SwitchZoneInBothSettings(out, kZoneRear, rearLit);
    Send(out, kFrameOpenSetting, {0, 0});
    uint8_t setting = 0;
    for (AccessorySet set : {idle, turbo}) {
        if (set.rearMode == 0 && BothCycle(set)) {
            Send(out, kFrameZoneReset, {1, 0, 0});
            if (!rearLit) set.rearColour = kColourZoneOff;
            AppendSetToCard(out, setting, set);
        }
        ++setting;
    }
    return out;
}

AccessorySet DefaultIdleSet() {
    return AccessorySet{3, 4, 0, 4};
}

AccessorySet DefaultTurboSet() {
    return AccessorySet{3, 0, 1, 0};
}

CardFrames DefaultFrames() {
    CardFrames out;
    AppendSetToCard(out, 0, DefaultIdleSet());
    AppendSetToCard(out, 1, DefaultTurboSet());
    Send(out, kFrameOpenSetting, {1, 0});
    Send(out, kFrameZoneSwitch, {kZoneRear, 1});
    Send(out, kFrameZoneSwitch, {kZoneFront, 1});
    Send(out, kFrameOpenSetting, {1, 1});
    Send(out, kFrameZoneSwitch, {kZoneRear, 1});
    Send(out, kFrameZoneSwitch, {kZoneFront, 1});
    Send(out, kFrameOpenSetting, {0, 0});
    return out;
}

CardFrames ApplyFrames(uint8_t setting, const AccessorySet& set, bool frontLit, bool rearLit) {
    CardFrames out;
    AccessorySet sent = set;
    if (!frontLit && BothCycle(set)) {
        Send(out, kFrameZoneReset, {0, 0, 0});
        sent.frontColour = kColourZoneOff;
    } else if (!rearLit && BothCycle(set)) {
        Send(out, kFrameZoneReset, {1, 0, 0});
        sent.rearColour = kColourZoneOff;
    }
    AppendSetToCard(out, setting, sent);
    return out;
}
