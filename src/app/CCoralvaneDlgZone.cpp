#include <memory>

#include "app/CCoralvaneDlg.h"
#include "lighting/CLscAdvanceDlg.h"
#include "lighting/CLscLedDlg.h"
#include "lighting/LinkZoneSender.h"
#include "panels/CFanVoltDlg.h"

namespace {

// Only a whole reply from a zone controller may make the page program a blank controller.
bool ZoneStatusTrusted(const LightingState& lighting) {
    return lighting.kind == LightingZone && lighting.zoneStatusComplete;
}

}  // namespace

CLscLedDlg* CCoralvaneDlg::ZonePage() const {
    return dynamic_cast<CLscLedDlg*>(FindPagePanel(kPageLscLed));
}

CFanVoltDlg* CCoralvaneDlg::FanVoltPanel() const {
    return dynamic_cast<CFanVoltDlg*>(FindPagePanel(kPageFanVolt));
}

void CCoralvaneDlg::CreateZonePanels() {
    zoneSender = std::make_unique<LinkZoneSender>(gpu, gpu.WaitClock());

    auto page = std::make_unique<CLscLedDlg>(Host(), *zoneSender);
    if (page->Create(this) == 0) {
        page->SetProductLineC(productLineC);
        page->SetLayout(lighting.zoneLayout);
        if (!accessoryOnCard) page->TakeZoneStatus(lighting.zoneStatus, ZoneStatusTrusted(lighting));
        page->MoveWindow(pageRect);
        page->ShowWindow(ShowCommand::Hide);
        CLscLedDlg& zonePage = static_cast<CLscLedDlg&>(AttachPagePanel(kPageLscLed, std::move(page)));

        zoneEditor = std::make_unique<CLscAdvanceDlg>(Host());
        zoneEditor->SetTargetPanel(&zonePage);
        AttachSidePanel(*zoneEditor);
        zonePage.SetColourEditor(zoneEditor.get(), [this] { OpenZoneAdvanced(); });
    }

    auto panel = std::make_unique<CFanVoltDlg>(Host(), *zoneSender);
    if (panel->Create(this) == 0) {
        panel->SetSwitchState(lighting.zoneStatus[kZoneStatusSwitchByte]);
        panel->MoveWindow(pageRect);
        panel->ShowWindow(ShowCommand::Hide);
        AttachPagePanel(kPageFanVolt, std::move(panel));
    }
}

void CCoralvaneDlg::CloseZoneEditor() {
    // The editor sends to the selected card: it never outlives the card it was opened for.
    if (CLscLedDlg* page = ZonePage()) page->CloseEditor();
    if (zoneEditor && zoneEditor->IsWindowCreated() && zoneEditor->Window().visible) zoneEditor->Close();
}

void CCoralvaneDlg::HandZoneToPanels() {
    if (lighting.kind != LightingZone) return;
    CLscLedDlg* page = ZonePage();
    CFanVoltDlg* panel = FanVoltPanel();
    if (!page || !panel) return;
    page->SetLayout(lighting.zoneLayout);
    page->TakeZoneStatus(lighting.zoneStatus, ZoneStatusTrusted(lighting));
    panel->SetSwitchState(lighting.zoneStatus[kZoneStatusSwitchByte]);
}
