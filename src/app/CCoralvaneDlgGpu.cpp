#include "app/CCoralvaneDlg.h"
#include "app/MainFanControl.h"

void CCoralvaneDlg::SelectGpu(int index) {
    if (index < 0 || index >= gpu.gpuCount) return;
    selectedGpu = index;
    gpu.currentGpu = index;
    SetGpuIcons(index);

    // The information window exists from the first GPU change on; every side window that exists
    // turns to the new GPU.
    if (SidePanel* info = FindSidePanel(kSideInfo); info && !info->Dialog().IsWindowCreated()) {
        info->Dialog().Create(this);
    }
    for (SidePanel* panel : sidePanels) {
        if (panel && panel->Dialog().IsWindowCreated()) panel->OnGpuChanged();
    }
    ReadGpuName();

    accessoryOnCard = false;
    IdentifyCard(kSelectedGpu);
    if (fan) fan->SetFanPercentFromRpm(fanPercentFromRpm);
    RefreshOverclockPage();

    CloseZoneEditor();
    // The detection pauses for a second or more: the pointer says so and clicks wait for it.
    SetCursor(CursorShape::Wait);
    CaptureMouse();
    DetectLighting();
    ReleaseMouse();
    SetCursor(CursorShape::Arrow);
    HandLightingToPanels();
    HandLedStatusToPage();
    HandZoneToPanels();
    HandLightingToAccessoryPage();
    if (lighting.kind == LightingNone) {
        // No lighting on this card: the lighting button takes its unavailable look again.
        SetBothIcons(kAdvanceButton, "AdvanceH.ICO");
        SetLightingButtonIcons(false);
    }
    ShowOverclockPage();
    if (fan) fan->OnGpuChanged();
}
