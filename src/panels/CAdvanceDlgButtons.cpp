#include "app/CMsgDlg.h"
#include "panels/CAdvanceDlg.h"
#include "panels/CKeyOCDlg.h"

void CAdvanceDlg::OnCommand(int id) {
    switch (id) {
        case kVoltButton:
            ToggleVoltLock();
            break;
        case kLinkButton:
            linked = linked ? 0 : 1;
            ShowLinkLock();
            break;
        case kDisplayButton:
            ToggleDisplayLock();
            break;
        case kDefaultButton:
            ClickDefault();
            break;
        case kApplyButton:
            ClickApply();
            break;
        case kKeyButton:
            ClickKey();
            break;
        default:
            break;
    }
}

int CAdvanceDlg::Ask(std::string_view text, int mode) {
    CMsgDlg message(Host(), mode);
    message.SetText(std::string(text));
    return message.DoModal(Parent() ? Parent() : this);
}

void CAdvanceDlg::ToggleVoltLock() {
    if (!voltUnlocked && Ask(kVoltQuestion, CMsgDlg::kQuestion) != 1) return;
    voltUnlocked = voltUnlocked ? 0 : 1;
    ShowVoltLock();
    if (voltUnlocked) return;
    // Locking takes the extra voltage off every card, not just the one shown. In curve mode the
    // extra voltage is the boost, which the over-voltage write does not touch: it is cleared too,
    // or a locked page showing "N/A" would leave it on the card with no way to take it off.
    voltValue = 0;
    for (int i = 0; i < gpu.gpuCount; ++i) {
        GpuPerfInfo zero{};
        gpu.WriteOverVolt(i, zero);
        if (curveMode) gpu.WriteVoltBoost(i, 0);
    }
    MoveSlider(kVoltSlider, 0);
    ShowEdit(kVoltEdit, 0);
}

void CAdvanceDlg::ToggleDisplayLock() {
    displayUnlocked = displayUnlocked ? 0 : 1;
    ShowDisplayLock();
}

void CAdvanceDlg::ClearKeyOc() {
    keyOcActive = 0;
    ShowKeyOcActive(false);
}

void CAdvanceDlg::ClickDefault() {
    if (keyOcActive) {
        ClearKeyOc();
        StoreKeyOc(0);
    }
    coreMhz = 0;
    voltValue = 0;
    memMhz = 0;
    powerPct = powerPctDefault;
    tempC = tempCDefault;
    pixelClk = pixelClkDefault;
    ApplyValues();
    voltUnlocked = 0;
    linked = 1;
    displayUnlocked = 0;
    ShowVoltLock();
    ShowLinkLock();
    ShowDisplayLock();
}

void CAdvanceDlg::ClickApply() {
    if (keyOcActive) return;
    if (Ask(kApplyQuestion, CMsgDlg::kQuestion) == 1) ApplyValues();
}

void CAdvanceDlg::ClickKey() {
    CKeyOCDlg dialog(Host(), keyOcSaved);
    if (dialog.DoModal(Parent() ? Parent() : this) != kIdOk) return;
    StoreKeyOc(dialog.choice);
    if (dialog.choice) {
        ApplyKeyOc();
    } else {
        ClearKeyOc();
    }
}
