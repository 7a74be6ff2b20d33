#include <memory>

#include "app/CCoralvaneDlg.h"
#include "lighting/CLedDlg.h"

CLedDlg* CCoralvaneDlg::LedPage() const {
    return dynamic_cast<CLedDlg*>(FindPagePanel(kPageLed));
}

void CCoralvaneDlg::CreateLedPage() {
    auto page = std::make_unique<CLedDlg>(Host(), gpu, gpu.WaitClock());
    if (page->Create(this) != 0) return;
    // Decided once, from the start-up detection: the other product line's Default is static white.
    page->SetCycleOnDefault(productLineC);
    page->SetLedStatus(lighting.ledStatus);
    page->MoveWindow(pageRect);
    page->ShowWindow(ShowCommand::Hide);
    AttachPagePanel(kPageLed, std::move(page));
}

void CCoralvaneDlg::HandLedStatusToPage() {
    if (lighting.kind != LightingRegister) return;
    if (CLedDlg* page = LedPage()) page->SetLedStatus(lighting.ledStatus);
}
