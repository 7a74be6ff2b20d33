#include "app/CCoralvaneDlg.h"
#include "ui/Translucency.h"

namespace {

const NotifyIconRecord& TrayIconRecord() {
    static const NotifyIconRecord record;
    return record;
}

void ApplyOpacity(CDialog& window, bool on, int percentIndex) {
    const int opacity = TranslucentOpacity(on, percentIndex);
    if (opacity >= 0) {
        MakeTranslucent(window, opacity);
    } else {
        RemoveTranslucency(window);
    }
}

}  // namespace

void CCoralvaneDlg::MinimiseToTray() {
    // Hidden without an icon, the window could not be reached again; it stays shown instead.
    if (!inNotificationArea && !AddTrayIcon()) return;
    inNotificationArea = true;
    ShowWindow(ShowCommand::Hide);
}

bool CCoralvaneDlg::AddTrayIcon() {
    return services.notificationArea && services.notificationArea->AddIcon(TrayIconRecord()) == 0;
}

void CCoralvaneDlg::OnTaskbarCreated() {
    if (!inNotificationArea || AddTrayIcon()) return;
    inNotificationArea = false;
    ShowWindow(ShowCommand::Show);
}

void CCoralvaneDlg::RestoreFromTray() {
    if (inNotificationArea && services.notificationArea)
        services.notificationArea->RemoveIcon(TrayIconRecord());
    inNotificationArea = false;
}

void CCoralvaneDlg::OnMessage(uint32_t msg, intptr_t, intptr_t lParam) {
    if (msg == kTrayCallbackMessage) {
        OnNotificationIcon(static_cast<uint32_t>(lParam));
    } else if (msg == kMsgTaskbarCreated) {
        OnTaskbarCreated();
    }
}

void CCoralvaneDlg::OnNotificationIcon(uint32_t mouseMessage) {
    if (mouseMessage == kTrayLeftDoubleClick) {
        ShowWindow(ShowCommand::Show);
        RestoreFromTray();
    } else if (mouseMessage == kTrayRightButtonUp && services.notificationArea) {
        RunTrayCommand(services.notificationArea->TrackPopupMenuAtCursor(kTrayMenu));
    }
}

void CCoralvaneDlg::RunTrayCommand(int command) {
    if (command == kMenuHomePage) {
        if (services.shell) services.shell->OpenUrl(kMakerSite);
    } else if (command == kMenuOpenMain) {
        ShowWindow(ShowCommand::Show);
        RestoreFromTray();
    } else if (command == kMenuExit) {
        EndDialog(kIdOk);
    }
}

void CCoralvaneDlg::ApplyTransparency(bool on, int percentIndex) {
    settings.transparence = on ? 1 : 0;
    settings.transPercent = percentIndex;
    ApplyOpacity(*this, on, percentIndex);
    // The zone colour editor keeps the setting it was created with.
    for (int id = kSideMonitor; id <= kSideFanCurve; ++id) {
        SidePanel* panel = FindSidePanel(id);
        if (!panel) continue;
        if (panel->Dialog().IsWindowCreated()) {
            ApplyOpacity(panel->Dialog(), on, percentIndex);
        } else {
            panel->SetTranslucency(on, percentIndex);
        }
    }
}

void CCoralvaneDlg::ApplyTopmost(bool top) {
    SetTopmost(top);
    SetWindowSize(kWidth, kHeight);
}
