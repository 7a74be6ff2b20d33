#include <memory>

#include "accessory/CVemraDlg.h"
#include "accessory/UsbHidLink.h"
#include "app/CCoralvaneDlg.h"
#include "lighting/LightingLink.h"

CVemraDlg* CCoralvaneDlg::AccessoryPage() const {
    return dynamic_cast<CVemraDlg*>(FindPagePanel(kPageVemra));
}

void CCoralvaneDlg::CreateAccessoryPage() {
    auto page = std::make_unique<CVemraDlg>(Host(), services.hid, gpu.WaitClock());
    CVemraDlg& panel = *page;
    // Frames for the card's controller go to the selected GPU's lighting link, one write each.
    panel.SetCardFrameSender([this](const CardFrame& frame) {
        LightingLink link(gpu, gpu.WaitClock());
        link.SendFrame(frame.command, frame.payload.data(), static_cast<uint16_t>(frame.payload.size()));
    });
    panel.SetAccessoryRemovedHandler([this] { AccessoryRemoved(); });
    if (panel.Create(this) != 0) return;
    if (accessoryOnCard) {
        panel.SetLightingTransport(CVemraDlg::kTransportCard);
        panel.ImportCardLightingState(lighting.cardAccessoryStatus);
    }
    panel.MoveWindow(pageRect);
    panel.ShowWindow(ShowCommand::Hide);
    AttachPagePanel(kPageVemra, std::move(page));
}

void CCoralvaneDlg::HandLightingToAccessoryPage() {
    CVemraDlg* page = AccessoryPage();
    if (!page) return;
    if (lighting.kind == LightingCardAccessory) {
        page->SetLightingTransport(CVemraDlg::kTransportCard);
        page->ImportCardLightingState(lighting.cardAccessoryStatus);
    } else if (lighting.kind == LightingUsbAccessory) {
        page->SetLightingTransport(CVemraDlg::kTransportUsb);
        page->DeriveEnableFlags();
    }
}

bool CCoralvaneDlg::ProbeAccessoryPresent() {
    return services.hid && ::ProbeAccessoryPresent(*services.hid);
}

void CCoralvaneDlg::ConnectAccessory() {
    if (CVemraDlg* page = AccessoryPage()) page->ConnectAccessory();
}

void CCoralvaneDlg::ShutdownAccessory() {
    if (CVemraDlg* page = AccessoryPage()) page->ShutdownAccessory();
}
