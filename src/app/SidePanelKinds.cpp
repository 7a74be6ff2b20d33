#include "app/SidePanelKinds.h"

#include "app/CCoralvaneDlg.h"
#include "app/MainFanControl.h"
#include "help/CHelpDlg.h"
#include "monitor/CMonitorDlg.h"
#include "panels/CFanAdvanceDlg.h"
#include "panels/CInfoDlg.h"

namespace {

std::unique_ptr<SidePanel> CreateMonitorPanel(CCoralvaneDlg& main) {
    constexpr int kMemoryClockFactor = 1;
    return std::make_unique<CMonitorDlg>(main.Host(), main.Gpu(), kMemoryClockFactor, main.VoltageAsPercent(),
                                         main.ProductLineC());
}

std::unique_ptr<SidePanel> CreateHelpPanel(CCoralvaneDlg& main) {
    return std::make_unique<CHelpDlg>(main.Host(), main.Services().shell, std::string(CCoralvaneDlg::kMakerSite),
                                      main.ProductLineC());
}

std::unique_ptr<SidePanel> CreateInfoPanel(CCoralvaneDlg& main) {
    return std::make_unique<CInfoDlg>(main.Host(), main.Gpu());
}

// The editor starts each opening from the main window's curve; Apply hands it back, stored.
std::unique_ptr<SidePanel> CreateFanCurvePanel(CCoralvaneDlg& main) {
    return std::make_unique<CFanAdvanceDlg>(
        main.Host(), [&main] { return main.Fan() ? main.Fan()->CurveForEditor() : DefaultFanCurve(); },
        [&main](const FanCurvePoints& curve) {
            if (main.Fan()) main.Fan()->SetFanCurve(curve, true);
        });
}

// One line per kind; a new side window adds its entry here.
const SidePanelKind kKinds[] = {
    {kSideMonitor, CreateMonitorPanel},
    {kSideHelp, CreateHelpPanel},
    {kSideInfo, CreateInfoPanel},
    {kSideFanCurve, CreateFanCurvePanel},
};

}  // namespace

std::span<const SidePanelKind> SidePanelKinds() {
    return kKinds;
}
