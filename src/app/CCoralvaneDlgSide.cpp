#include "app/CCoralvaneDlg.h"
#include "app/SidePanelKinds.h"

void CCoralvaneDlg::CreateSidePanels() {
    for (const SidePanelKind& kind : SidePanelKinds()) {
        if (FindSidePanel(kind.id)) continue;
        std::unique_ptr<SidePanel> panel = kind.create(*this);
        if (!panel) continue;
        AttachSidePanel(*panel);
        ownedSidePanels.push_back(std::move(panel));
    }
}

void CCoralvaneDlg::AttachSidePanel(SidePanel& panel) {
    const int id = panel.SidePanelId();
    if (id <= kSideNone || id > kSidePanelCount) return;
    sidePanels[size_t(id)] = &panel;
    panel.SetOwner(this);
    panel.SetTranslucency(settings.transparence != 0, settings.transPercent);
}

SidePanel* CCoralvaneDlg::FindSidePanel(int id) const {
    return id > kSideNone && id <= kSidePanelCount ? sidePanels[size_t(id)] : nullptr;
}

void CCoralvaneDlg::OpenSidePanel(int id) {
    SidePanel* panel = FindSidePanel(id);
    if (!panel || !IsWindowCreated()) return;
    CDialog& window = panel->Dialog();
    if (!window.IsWindowCreated() && window.Create(this) != 0) return;

    if (sidePanelOpen) {
        if (openSidePanel == id) {
            window.ActivateWindow();
            return;
        }
        CloseOpenSidePanel();
    }
    if (!sidePanelOpen) {
        panel->OnShowing();
        DockSidePanel(*panel);
        sidePanelOpen = true;
        openSidePanel = id;
    }
    window.ShowWindow(ShowCommand::Show);
}

void CCoralvaneDlg::CloseOpenSidePanel() {
    SidePanel* other = FindSidePanel(openSidePanel);
    if (other && other->Dialog().IsWindowCreated()) {
        other->CloseForOther();
    } else {
        CloseSidePanel(openSidePanel);
    }
}

void CCoralvaneDlg::CloseSidePanel(int id) {
    if (openSidePanel != id) return;
    openSidePanel = kSideNone;
    sidePanelOpen = false;
}

void CCoralvaneDlg::DockSidePanel(SidePanel& panel) {
    CDialog& window = panel.Dialog();
    const Rect current = window.Window().rect;
    window.MoveWindow({sidePanelLeft - current.width, sidePanelTop, current.width, current.height});
}

void CCoralvaneDlg::OnWindowMoved() {
    const Rect& placed = Window().rect;
    sidePanelLeft = placed.left;
    sidePanelTop = placed.top + kSidePanelDrop;
    if (!sidePanelOpen) return;
    if (SidePanel* open = FindSidePanel(openSidePanel); open && open->Dialog().IsWindowCreated()) {
        DockSidePanel(*open);
    }
}

void CCoralvaneDlg::HideSidePanelsForMinimise() {
    for (int id = kSideMonitor; id <= kSidePanelCount; ++id) {
        SidePanel* panel = FindSidePanel(id);
        if (!panel || !panel->Dialog().IsWindowCreated()) continue;
        if (sidePanelOpen && openSidePanel == id) CloseSidePanel(id);
        panel->HideForMinimise();
    }
}
