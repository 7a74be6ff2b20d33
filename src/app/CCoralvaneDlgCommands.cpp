#include <string>

#include "app/CCoralvaneDlg.h"
#include "app/MainFanControl.h"

void CCoralvaneDlg::OnCommand(int id) {
    switch (id) {
        case kAdvanceButton:
            ShowOverclockPage();
            return;
        case kLightingButton:
            ShowLightingPage();
            return;
        case kMinimiseButton:
            HideSidePanelsForMinimise();
            MinimiseToTray();
            return;
        case kCloseButton:
            if (accessoryPageOpened) ShutdownAccessory();
            EndDialog(kIdOk);
            return;
        case kScrollDown:
            ShowItem(kScrollDown, false);
            ShowItem(kScrollUp, true);
            ShowPagePanel(kPageFanVolt, false);
            ShowPagePanel(kPageLscLed, true);
            return;
        case kScrollUp:
            ShowItem(kScrollDown, true);
            ShowItem(kScrollUp, false);
            ShowPagePanel(kPageFanVolt, true);
            ShowPagePanel(kPageLscLed, false);
            return;
        case kSaveButton:
            if (currentPage == 0 && profileChosen) SaveProfile();
            return;
        case kLoadButton:
            if (currentPage == 0 && profileChosen) LoadProfile();
            return;
        case MainFanControl::kFanApply:
        case MainFanControl::kFanAuto:
        case MainFanControl::kFanManual:
        case MainFanControl::kFanCurve:
            if (fan && fan->OnFanCommand(id)) OpenSidePanel(kSideFanCurve);
            return;
        case kMonitorButton:
            OpenSidePanel(kSideMonitor);
            return;
        case kSettingButton:
            OpenSidePanel(kSideSettings);
            return;
        case kBiosButton:
            OpenSidePanel(kSideBios);
            return;
        case kHelpButton:
            OpenSidePanel(kSideHelp);
            return;
        default:
            break;
    }
    if (id >= kProfileButton0 && id < kProfileButton0 + 3) {
        SelectProfile(id - kProfileButton0);
    } else if (id >= kGpuButton0 && id < kGpuButton0 + 4) {
        SelectGpu(id - kGpuButton0);
    }
}

void CCoralvaneDlg::OnSliderNotify(uint32_t msg, int id, int position) {
    if (fan) fan->OnSliderNotify(msg, id, position);
}

void CCoralvaneDlg::OnTimer(int timerId) {
    if (timerId == kTimerClock) {
        if (fan) fan->OnClockTimer();
    } else if (timerId == kTimerFan) {
        if (fan) fan->OnFanTimer();
    } else if (timerId == kTimerMinimise && settings.startupMinimize) {
        // Started with Windows, the program can come up before the notification area does: it
        // keeps trying on every tick for a while, and stays shown if the icon never gets in.
        MinimiseToTray();
        if (inNotificationArea || ++startMinimiseTicks >= kStartMinimiseTicks) {
            settings.startupMinimize = 0;
            KillTimer(kTimerMinimise);
        }
    } else if (timerId == kTimerFailSafe) {
        OnFailSafeTimer();
    }
}

void CCoralvaneDlg::OnMouse(const MouseEvent& event) {
    const bool onVersion = kVersionRect.Contains(event.pt);
    if (event.action == MouseAction::Move) {
        if (onVersion != handCursor) {
            handCursor = onVersion;
            SetCursor(onVersion ? CursorShape::Hand : CursorShape::Arrow);
        }
    } else if (event.action == MouseAction::Down && onVersion &&
               (event.button == MouseButton::Left || event.button == MouseButton::Right)) {
        OpenSidePanel(kSideInfo);
    }
    CBkDialogST::OnMouse(event);
}

void CCoralvaneDlg::ShowPagePanel(PagePanel slot, bool show) {
    if (CDialog* panel = pagePanels[slot].get(); panel && panel->IsWindowCreated()) {
        panel->ShowWindow(show ? ShowCommand::Show : ShowCommand::Hide);
    }
}

void CCoralvaneDlg::ShowOverclockPage() {
    ShowItem(kScrollDown, false);
    ShowItem(kScrollUp, false);
    if (lighting.kind != LightingNone) {
        SetBothIcons(kAdvanceButton, "AdvanceH.ICO");
        SetLightingButtonIcons(false);
    }
    ShowPagePanel(kPageAdvance, true);
    for (PagePanel other : {kPageVemra, kPageLed, kPageLscLed, kPageFanVolt}) ShowPagePanel(other, false);
    currentPage = 0;
    SetProfileIcons(profileIndex);
}

void CCoralvaneDlg::ShowLightingPanel(PagePanel slot) {
    SetItemIcons(kAdvanceButton, "Advance.ICO", "AdvanceH.ICO");
    SetLightingButtonIcons(true);
    ShowPagePanel(kPageAdvance, false);
    currentPage = 2;
    SetProfileIcons(-1);
    ShowPagePanel(slot, true);
}

void CCoralvaneDlg::ShowLightingPage() {
    switch (lighting.kind) {
        case LightingNone:
            return;
        case LightingRegister:
            ShowItem(kScrollDown, false);
            ShowItem(kScrollUp, false);
            ShowLightingPanel(kPageLed);
            return;
        case LightingUsbAccessory:
        case LightingCardAccessory:
            ShowItem(kScrollDown, false);
            ShowItem(kScrollUp, false);
            ShowPagePanel(kPageLed, false);
            ShowLightingPanel(kPageVemra);
            if (lighting.kind == LightingUsbAccessory) {
                ConnectAccessory();
                accessoryPageOpened = true;
            }
            return;
        case LightingZone:
            ShowItem(kScrollDown, false);
            ShowItem(kScrollUp, true);
            ShowLightingPanel(kPageLscLed);
            return;
    }
}

void CCoralvaneDlg::AccessoryRemoved() {
    ShowOverclockPage();
    lighting.kind = LightingNone;
    SetBothIcons(kLightingButton, "VemraD.ICO");
}

void CCoralvaneDlg::SelectProfile(int index) {
    if (currentPage == 2) return;
    profileIndex = index;
    profileChosen = true;
    SetProfileIcons(index);
}

std::string CCoralvaneDlg::LightingIcon(std::string_view suffix) const {
    return std::string(productLineC ? "Vemra_C" : "Vemra_E") + std::string(suffix) + ".ICO";
}

void CCoralvaneDlg::SetLightingButtonIcons(bool pageShown) {
    if (lighting.kind == LightingNone) {
        SetBothIcons(kLightingButton, LightingIcon("_D"));
    } else if (pageShown) {
        SetBothIcons(kLightingButton, LightingIcon("_H"));
    } else {
        SetItemIcons(kLightingButton, LightingIcon(""), LightingIcon("_H"));
    }
}

void CCoralvaneDlg::SetProfileIcons(int highlighted) {
    for (int i = 0; i < 3; ++i) {
        const std::string base = "Profile" + std::to_string(i);
        SetBothIcons(kProfileButton0 + i, base + (i == highlighted ? "_H.ICO" : ".ICO"));
    }
}

void CCoralvaneDlg::SetGpuIcons(int highlighted) {
    for (int i = 0; i < 4; ++i) {
        const std::string base = "Sli_Gpu" + std::to_string(i);
        SetBothIcons(kGpuButton0 + i, base + (i == highlighted ? "_H.ICO" : ".ICO"));
    }
}

CDialog& CCoralvaneDlg::AttachPagePanel(PagePanel slot, std::unique_ptr<CDialog> panel) {
    pagePanels[slot] = std::move(panel);
    return *pagePanels[slot];
}
