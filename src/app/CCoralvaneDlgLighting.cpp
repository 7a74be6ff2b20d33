#include "app/CCoralvaneDlg.h"
#include "lighting/LightingLink.h"

void CCoralvaneDlg::DetectLighting() {
    LightingLink link(gpu, gpu.WaitClock());
    ::DetectLighting(link, accessoryOnCard, lighting);
    if (lighting.kind == LightingNone && ProbeAccessoryPresent()) {
        lighting.kind = LightingUsbAccessory;
        accessoryOnCard = false;
    }
}
