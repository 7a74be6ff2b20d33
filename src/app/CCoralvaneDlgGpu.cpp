#include "app/CCoralvaneDlg.h"
#include "app/MainFanControl.h"

void CCoralvaneDlg::SelectGpu(int index) {
    if (index < 0 || index >= gpu.gpuCount) return;
    selectedGpu = index;
    gpu.currentGpu = index;
    SetGpuIcons(index);

    if (SidePanel* info = FindSidePanel(kSideInfo)) {
        if (info->Dialog().IsWindowCreated() || info->Dialog().Create(this) == 0) info->OnGpuChanged();
    }
    ReadGpuName();

    accessoryOnCard = false;
    IdentifyCard(kSelectedGpu);
    if (fan) fan->SetFanPercentFromRpm(fanPercentFromRpm);
    RefreshOverclockPage();

    DetectLighting();
    HandLightingToPanels();
    if (lightingKind == LightingNone) {
        // No lighting on this card: the lighting button takes its unavailable look again.
        SetBothIcons(kAdvanceButton, "AdvanceH.ICO");
        SetLightingButtonIcons(false);
    }
    ShowOverclockPage();
    if (fan) fan->OnGpuChanged();
}
