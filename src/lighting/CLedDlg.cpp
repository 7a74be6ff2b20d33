#include "lighting/CLedDlg.h"

#include <string>

#include "controls/CButtonST.h"

namespace {

const char* const kModeNames[] = {"Static", "Breath", "Strobe", "Cycle"};
const char* const kColourNames[] = {"Red", "Yellow", "Green", "Cyan", "Blue", "Purple", "White"};
const char* const kBrightnessNames[] = {"Bright0", "Bright1", "Bright2", "Bright3",
                                        "Bright4", "Bright5", "Bright6", "Bright7"};
const char* const kBrightnessCaptions[] = {"0", "1", "2", "3", "4", "5", "6", "7"};

constexpr Rect kModeRects[] = {{34, 81, 46, 12}, {34, 108, 68, 12}, {34, 136, 52, 12}, {34, 162, 44, 12}};

// Indicator bitmaps per row: inactive, no controller, active.
struct IndicatorBitmaps {
    int inactive, missing, active;
};
constexpr IndicatorBitmaps kRow1Bitmaps{215, 216, 217};
constexpr IndicatorBitmaps kRow2Bitmaps{218, 219, 220};
constexpr IndicatorBitmaps kBrightnessBitmaps{221, 222, 223};

constexpr uint8_t kWhite = 6;
constexpr uint8_t kFullBrightness = 7;

std::string Icon(const std::string& stem, const char* suffix) {
    return "Led_" + stem + suffix + ".ico";
}

}  // namespace

CLedDlg::CLedDlg(UiHost& host, CGpuControl& gpu, Clock& clock)
    : CBkDialogST(host, kTemplateId), link(gpu, clock) {
    MutableWindow().childStyle = true;
}

void CLedDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    CreateControls();
    Refresh();
}

void CLedDlg::CreateControls() {
    auto addButton = [this](int id, const Rect& rect, const char* caption) {
        Add<CButtonST>(id, rect);
        SetItemText(id, caption);
    };
    for (int i = 0; i < kModeCount; ++i) addButton(kModeButton0 + i, kModeRects[i], kModeNames[i]);
    addButton(kLogoButton, {220, 81, 52, 14}, "Logo");
    addButton(kArmorButton, {220, 121, 52, 14}, "Armor");
    for (int i = 0; i < kColourCount; ++i) {
        addButton(kRow1Colour0 + i, {150 + 20 * i, 96, 16, 16}, kColourNames[i]);
        addButton(kRow2Colour0 + i, {150 + 20 * i, 137, 16, 16}, kColourNames[i]);
    }
    for (int i = 0; i < kBrightnessCount; ++i) {
        addButton(kBrightness0 + i, {150 + 18 * i, 180, 12, 22}, kBrightnessCaptions[i]);
    }
    addButton(kDefaultButton, {164, 255, 64, 20}, "Default");
    addButton(kApplyButton, {235, 255, 64, 20}, "Apply");
    AddControl(kRow1Indicator, ControlKind::Picture, {150, 81, 10, 10});
    AddControl(kRow2Indicator, ControlKind::Picture, {150, 121, 10, 10});
    AddControl(kBrightnessIndicator, ControlKind::Picture, {150, 162, 10, 10});
}

void CLedDlg::SetLedStatus(const LedStatus& status) {
    model = status[0];
    if (status[0] == 0) {
        mode = colour1 = colour2 = brightness = logoOff = armorOff = kUnset;
    } else {
        mode = status[1];
        colour1 = status[2];
        colour2 = status[3];
        brightness = static_cast<uint8_t>(status[4] >> 5);
        logoOff = status[5];
        armorOff = status[6];
    }
    logoLit = logoOff == 0;
    armorLit = armorOff == 0;
    Refresh();
}

void CLedDlg::Refresh() {
    controllerPresent = model == 1 || model == 2;
    if (!IsWindowCreated()) return;
    ShowModes();
    ShowRows();
    ShowSwitches();
    ShowActions();
}

void CLedDlg::ShowModes() {
    for (int i = 0; i < kModeCount; ++i) {
        const std::string stem = kModeNames[i];
        const char* suffix = !controllerPresent ? "_D" : mode == i ? "_H" : "";
        SetItemIcons(kModeButton0 + i, Icon(stem, suffix), Icon(stem, suffix));
    }
}

void CLedDlg::ShowRows() {
    const bool colours = controllerPresent && mode <= Strobe;
    row1Active = colours;
    row2Active = colours && model == 2;
    brightnessActive = controllerPresent && mode == Static;
    ShowRow(kRow1Colour0, kColourCount, kColourNames, row1Active, colour1);
    ShowRow(kRow2Colour0, kColourCount, kColourNames, row2Active, colour2);
    ShowRow(kBrightness0, kBrightnessCount, kBrightnessNames, brightnessActive, brightness);

    auto indicator = [this](int id, const IndicatorBitmaps& bitmaps, bool active) {
        SetItemBitmap(id, !controllerPresent ? bitmaps.missing : active ? bitmaps.active : bitmaps.inactive);
    };
    indicator(kRow1Indicator, kRow1Bitmaps, row1Active);
    indicator(kRow2Indicator, kRow2Bitmaps, row2Active);
    indicator(kBrightnessIndicator, kBrightnessBitmaps, brightnessActive);
}

void CLedDlg::ShowRow(int firstId, int count, const char* const* names, bool active, uint8_t selected) {
    const bool colourRow = names == kColourNames;
    for (int i = 0; i < count; ++i) {
        std::string icon;
        if (!controllerPresent) {
            icon = colourRow ? "Led_Clr_D.ico" : Icon(names[i], "_D");
        } else {
            // A byte outside the row's range selects nothing (and never a button of another row).
            icon = Icon(names[i], active && selected == i ? "_H" : "");
        }
        SetItemIcons(firstId + i, icon, icon);
    }
}

void CLedDlg::ShowSwitches() {
    auto show = [this](int id, bool usable, bool lit) {
        const std::string icon = !usable ? "Led_OnOffD.ico" : lit ? "Led_ON.ico" : "Led_OFF.ico";
        SetItemIcons(id, icon, icon);
    };
    show(kLogoButton, controllerPresent, logoLit);
    show(kArmorButton, controllerPresent && model == 2, armorLit);
}

void CLedDlg::ShowActions() {
    if (controllerPresent) {
        SetItemIcons(kDefaultButton, "Adv_Default.ico", "Adv_Default_H.ico");
        SetItemIcons(kApplyButton, "Adv_Apply.ico", "Adv_Apply_H.ico");
    } else {
        SetItemIcons(kDefaultButton, "Adv_Default_D.ico", "Adv_Default_D.ico");
        SetItemIcons(kApplyButton, "Adv_Apply_D.ico", "Adv_Apply_D.ico");
    }
}

void CLedDlg::OnCommand(int id) {
    if (!controllerPresent) return;
    if (id >= kModeButton0 && id < kModeButton0 + kModeCount) {
        mode = static_cast<uint8_t>(id - kModeButton0);
        ShowModes();
        ShowRows();
    } else if (id >= kRow1Colour0 && id < kRow1Colour0 + kColourCount) {
        if (!row1Active) return;
        colour1 = static_cast<uint8_t>(id - kRow1Colour0);
        ShowRows();
    } else if (id >= kRow2Colour0 && id < kRow2Colour0 + kColourCount) {
        if (!row2Active) return;
        colour2 = static_cast<uint8_t>(id - kRow2Colour0);
        ShowRows();
    } else if (id >= kBrightness0 && id < kBrightness0 + kBrightnessCount) {
        if (!brightnessActive) return;
        brightness = static_cast<uint8_t>(id - kBrightness0);
        ShowRows();
    } else if (id == kLogoButton) {
        ClickSwitch(true);
    } else if (id == kArmorButton) {
        if (model == 2) ClickSwitch(false);
    } else if (id == kDefaultButton) {
        ClickDefault();
    } else if (id == kApplyButton) {
        ClickApply();
    }
}

void CLedDlg::ClickSwitch(bool logo) {
    bool& lit = logo ? logoLit : armorLit;
    uint8_t& off = logo ? logoOff : armorOff;
    const bool wasLit = lit;
    const uint8_t wasOff = off;
    lit = !lit;
    off = lit ? 0 : 1;
    // A write the driver refused changed nothing on the card: the switch keeps showing that.
    if (!Send(LedCmdZones(logoOff, armorOff))) {
        lit = wasLit;
        off = wasOff;
    }
    ShowSwitches();
}

void CLedDlg::ClickDefault() {
    if (!Send(LedCmdDefault())) return;
    mode = cycleOnDefault ? Cycle : Static;
    colour1 = colour2 = cycleOnDefault ? 0 : kWhite;
    brightness = kFullBrightness;
    logoOff = armorOff = 0;
    logoLit = armorLit = true;
    Refresh();
}

void CLedDlg::ClickApply() {
    switch (mode) {
        case Static:
            Send(LedCmdStatic(colour1, colour2, brightness));
            break;
        case Breath:
            Send(LedCmdBreath(colour1, colour2));
            break;
        case Strobe:
            Send(LedCmdStrobe(colour1, colour2));
            break;
        case Cycle:
            Send(LedCmdCycle());
            break;
        default:
            break;
    }
}

bool CLedDlg::Send(const LedCommand& command) {
    SetCursor(CursorShape::Wait);
    CaptureMouse();
    const bool taken = link.SendRegisterCommand(command);
    ReleaseMouse();
    SetCursor(CursorShape::Arrow);
    return taken;
}
