#include "accessory/CVemraDlg.h"

void CVemraDlg::OnCommand(int id) {
    if (id == kIdleTab || id == kTurboTab) {
        ShowSettingPage(id == kIdleTab ? 0 : 1);
        return;
    }
    // Until the device's settings are known nothing may change or send them.
    if (connection->AwaitingState()) return;
    switch (id) {
        case kFrontSwitch:
            OnZoneSwitch(true);
            return;
        case kRearSwitch:
            OnZoneSwitch(false);
            return;
        case kDefaultButton:
            OnDefault();
            return;
        case kApplyButton:
            OnApply();
            return;
        default:
            break;
    }
    if (!OnPageCommand(0, id)) OnPageCommand(1, id);
}

bool CVemraDlg::OnPageCommand(int page, int id) {
    const PageIds& ids = IdsOf(page);
    PageFlags& pageFlags = flags[size_t(page)];
    for (int m = 0; m < 4; ++m) {
        if (id != ids.frontModes[size_t(m)]) continue;
        if (pageFlags.frontModesOn) OnFrontMode(page, m);
        return true;
    }
    for (int r = 0; r < 2; ++r) {
        if (id != ids.rearModes[size_t(r)]) continue;
        if (pageFlags.rearModesOn) OnRearMode(page, r);
        return true;
    }
    struct Zone {
        int colorId, cycleId, palette0, swatchId;
        bool& paletteOpen;
        int32_t& colour;
    };
    Zone zones[2] = {{ids.frontColor, ids.frontCycle, ids.frontPalette0, ids.frontSwatch,
                      pageFlags.frontPaletteOpen, FrontColour(page)},
                     {ids.rearColor, ids.rearCycle, ids.rearPalette0, ids.rearSwatch,
                      pageFlags.rearPaletteOpen, RearColour(page)}};
    for (Zone& zone : zones) {
        if (id == zone.colorId) {
            // Opens the palette; the stored colour stays until a chip is clicked.
            zone.paletteOpen = true;
            SetSelected(zone.colorId, "Led_Color");
            SetNormal(zone.cycleId, "Led_Cycle");
            SetItemBitmap(zone.swatchId, kSwatchColour);
            return true;
        }
        if (id == zone.cycleId) {
            zone.paletteOpen = false;
            zone.colour = kColourCycle;
            RefreshColourPair(zone.colorId, zone.cycleId, zone.swatchId, zone.colour);
            return true;
        }
        if (id >= zone.palette0 && id < zone.palette0 + 7) {
            if (zone.paletteOpen) {
                zone.colour = id - zone.palette0;
                RefreshPalette(zone.palette0, zone.colour);
                // The pair shows what Apply will send, also when the palette was open on cycle.
                RefreshColourPair(zone.colorId, zone.cycleId, zone.swatchId, zone.colour);
            }
            return true;
        }
    }
    return false;
}

void CVemraDlg::OnFrontMode(int page, int mode) {
    FrontMode(page) = mode;
    // The accessory breathes its rear only beside a steady front: any front choice there takes the
    // steady rear, so what is shown is what Apply sends.
    if (transport == kTransportUsb) RearMode(page) = 1;
    RefreshFrontModes(page, FrontMode(page));
    if (transport == kTransportUsb) RefreshRearModes(page, RearMode(page));
}

void CVemraDlg::OnRearMode(int page, int mode) {
    RearMode(page) = mode;
    // On the accessory either rear choice puts the front to "----": locked beside "~", free beside "--".
    if (transport == kTransportUsb) FrontMode(page) = 3;
    RefreshRearModes(page, RearMode(page));
    if (transport == kTransportUsb) RefreshFrontModes(page, FrontMode(page));
}

void CVemraDlg::BeginSend() {
    SetCursor(CursorShape::Wait);
    CaptureMouse();
}

void CVemraDlg::EndSend() {
    ReleaseMouse();
    SetCursor(CursorShape::Arrow);
}

void CVemraDlg::OnZoneSwitch(bool front) {
    PageFlags& idle = flags[0];
    bool& lit = front ? idle.frontLit : idle.rearLit;
    int32_t& off = front ? state.idleFrontOff : state.idleRearOff;
    lit = !lit;
    off = lit ? 0 : 1;
    RefreshZoneSwitch(front ? kFrontSwitch : kRearSwitch, off);
    BeginSend();
    if (transport == kTransportCard) {
        SendCardFrames(front ? FrontSwitchFrames(lit, SetOf(0), SetOf(1))
                             : RearSwitchFrames(lit, SetOf(0), SetOf(1)));
    } else {
        connection->SendZoneSwitches(state);
    }
    EndSend();
}

void CVemraDlg::OnDefault() {
    const AccessorySet idle = DefaultIdleSet();
    const AccessorySet turbo = DefaultTurboSet();
    state.idleFrontMode = idle.frontMode;
    state.idleFrontColour = idle.frontColour;
    state.idleRearMode = idle.rearMode;
    state.idleRearColour = idle.rearColour;
    state.turboFrontMode = turbo.frontMode;
    state.turboFrontColour = turbo.frontColour;
    state.turboRearMode = turbo.rearMode;
    state.turboRearColour = turbo.rearColour;
    state.idleFrontOff = state.idleRearOff = state.turboFrontOff = state.turboRearOff = 0;
    DeriveEnableFlags();
    RefreshAllControls();
    BeginSend();
    if (transport == kTransportCard) {
        SendCardFrames(DefaultFrames());
    } else {
        connection->SendDefaults();
    }
    EndSend();
}

void CVemraDlg::OnApply() {
    BeginSend();
    if (transport == kTransportCard) {
        const PageFlags& pageFlags = flags[size_t(shownPage)];
        SendCardFrames(
            ApplyFrames(uint8_t(shownPage), SetOf(shownPage), pageFlags.frontLit, pageFlags.rearLit));
    } else if (shownPage == 0) {
        connection->SendIdleSetting(state);
    } else {
        connection->SendTurboSetting(state);
    }
    EndSend();
}
