#include <string>

#include "accessory/CVemraDlg.h"

namespace {

const char* const kPaletteIcons[7] = {"Led_Red",  "Led_Yellow", "Led_Green", "Led_Cyan",
                                      "Led_Blue", "Led_Purple", "Led_White"};

bool IsPaletteColour(int colour) {
    return colour >= 0 && colour < kColourCycle;
}

}  // namespace

void CVemraDlg::SetSelected(int id, const std::string& base) {
    SetItemIcons(id, base + "_H.ico", base + "_H.ico");
}

void CVemraDlg::SetNormal(int id, const std::string& base) {
    SetItemIcons(id, base + ".ico", base + "_H.ico");
}

void CVemraDlg::SetDisabled(int id, const std::string& base) {
    SetItemIcons(id, base + "_D.ico", base + "_D.ico");
}

void CVemraDlg::DeriveEnableFlags() {
    flags = {};
    const int32_t* colours[2][2] = {{&state.idleFrontColour, &state.idleRearColour},
                                    {&state.turboFrontColour, &state.turboRearColour}};
    const int32_t* offFlags[2][2] = {{&state.idleFrontOff, &state.idleRearOff},
                                     {&state.turboFrontOff, &state.turboRearOff}};
    for (int page = 0; page < 2; ++page) {
        // Cycle (7) and a colour the device reported but the page does not know keep the palette open;
        // only "not yet reported" closes it.
        flags[size_t(page)].frontPaletteOpen = *colours[page][0] <= kColourCycle;
        flags[size_t(page)].rearPaletteOpen = *colours[page][1] <= kColourCycle;
        flags[size_t(page)].frontLit = *offFlags[page][0] == 0;
        flags[size_t(page)].rearLit = *offFlags[page][1] == 0;
    }
    state.stateKnown = 0;
}

void CVemraDlg::RefreshAllControls() {
    for (int id : kInertButtons) {
        const bool def = id == kInertButtons[0] || id == kInertButtons[2];
        SetItemIcons(id, def ? "Vemra_Def_D.ico" : "Vemra_Apply_D.ico",
                     def ? "Vemra_Def_D.ico" : "Vemra_Apply_D.ico");
    }
    RefreshTabs();
    RefreshZoneSwitch(kFrontSwitch, state.idleFrontOff);
    RefreshZoneSwitch(kRearSwitch, state.idleRearOff);
    for (int page = 0; page < 2; ++page) {
        RefreshFrontModes(page, FrontMode(page));
        RefreshRearModes(page, RearMode(page));
    }
    RefreshDefaultApply();
}

void CVemraDlg::RefreshTabs() {
    // The tabs follow the page that is shown, so a redraw never marks the hidden one.
    if (shownPage == 0) {
        SetSelected(kIdleTab, "Vemra_Idle");
        SetNormal(kTurboTab, "Vemra_Turbo");
    } else {
        SetNormal(kIdleTab, "Vemra_Idle");
        SetSelected(kTurboTab, "Vemra_Turbo");
    }
}

void CVemraDlg::RefreshFrontModes(int page, int mode) {
    const PageIds& ids = IdsOf(page);
    PageFlags& pageFlags = flags[size_t(page)];
    auto icon = [](int n) { return std::string("Front_Mode").append(1, char('0' + n)); };
    if (mode >= 0 && mode <= 3) {
        const bool locked = mode == 3 && transport == kTransportUsb && RearMode(page) == 0;
        for (int n = 0; n < 4; ++n) {
            const int id = ids.frontModes[size_t(n)];
            if (n == mode) {
                SetSelected(id, icon(n));
            } else if (locked) {
                SetDisabled(id, icon(n));
            } else {
                SetNormal(id, icon(n));
            }
        }
        pageFlags.frontModesOn = !locked;
    } else {
        for (int n = 0; n < 4; ++n) SetDisabled(ids.frontModes[size_t(n)], icon(n));
        pageFlags.frontModesOn = false;
    }
    RefreshColourPair(ids.frontColor, ids.frontCycle, ids.frontSwatch, FrontColour(page));
    RefreshPalette(ids.frontPalette0, FrontColour(page));
}

void CVemraDlg::RefreshRearModes(int page, int value) {
    const PageIds& ids = IdsOf(page);
    PageFlags& pageFlags = flags[size_t(page)];
    const int breath = ids.rearModes[0];
    const int steady = ids.rearModes[1];
    if (value == 0) {
        SetSelected(breath, "Rear_Mode0");
        SetNormal(steady, "Rear_Mode1");
        pageFlags.rearModesOn = true;
    } else if (value == 1) {
        SetSelected(steady, "Rear_Mode1");
        // The accessory breathes its rear only beside a steady front.
        const bool breathAllowed = transport == kTransportCard || FrontMode(page) == 3;
        if (breathAllowed) {
            SetNormal(breath, "Rear_Mode0");
        } else {
            SetDisabled(breath, "Rear_Mode0");
        }
        pageFlags.rearModesOn = breathAllowed;
    } else {
        SetDisabled(breath, "Rear_Mode0");
        SetDisabled(steady, "Rear_Mode1");
        pageFlags.rearModesOn = false;
    }
    RefreshColourPair(ids.rearColor, ids.rearCycle, ids.rearSwatch, RearColour(page));
    RefreshPalette(ids.rearPalette0, RearColour(page));
}

void CVemraDlg::RefreshColourPair(int colorId, int cycleId, int swatchId, int colour) {
    if (IsPaletteColour(colour)) {
        SetSelected(colorId, "Led_Color");
        SetNormal(cycleId, "Led_Cycle");
        SetItemBitmap(swatchId, kSwatchColour);
    } else if (colour == kColourCycle) {
        SetNormal(colorId, "Led_Color");
        SetSelected(cycleId, "Led_Cycle");
        SetItemBitmap(swatchId, kSwatchCycle);
    } else if (colour == kNotYetReported) {
        SetDisabled(colorId, "Led_Color");
        SetDisabled(cycleId, "Led_Cycle");
        SetItemBitmap(swatchId, kSwatchNotReported);
    } else {
        // A colour the device holds that is none of the page's: neither choice is marked.
        SetNormal(colorId, "Led_Color");
        SetNormal(cycleId, "Led_Cycle");
        SetItemBitmap(swatchId, kSwatchNotReported);
    }
}

void CVemraDlg::RefreshPalette(int palette0, int colour) {
    for (int n = 0; n < 7; ++n) {
        const int id = palette0 + n;
        if (colour == kNotYetReported) {
            SetItemIcons(id, "Led_Clr_D.ico", "Led_Clr_D.ico");
        } else if (n == colour) {
            SetSelected(id, kPaletteIcons[n]);
        } else {
            SetNormal(id, kPaletteIcons[n]);
        }
    }
}

void CVemraDlg::RefreshZoneSwitch(int id, int offFlag) {
    const char* icon = offFlag == 0 ? "LED_ON.ico" : offFlag == 1 ? "LED_OFF.ico" : "LED_OnOffD.ico";
    SetItemIcons(id, icon, icon);
}

void CVemraDlg::RefreshDefaultApply() {
    if (state.stateKnown == 0) {
        SetItemIcons(kDefaultButton, "Adv_Default.ico", "Adv_Default_H.ico");
        SetItemIcons(kApplyButton, "Adv_Apply.ico", "Adv_Apply_H.ico");
    } else {
        SetItemIcons(kDefaultButton, "Adv_Default_D.ico", "Adv_Default_D.ico");
        SetItemIcons(kApplyButton, "Adv_Apply_D.ico", "Adv_Apply_D.ico");
    }
}
