#include "app/SidePanelKinds.h"

#include "app/CCoralvaneDlg.h"
#include "app/CSettingDlg.h"
#include "app/MainFanControl.h"
#include "bios/CBiosDlg.h"
#include "help/CHelpDlg.h"
#include "monitor/CMonitorDlg.h"
#include "panels/CFanAdvanceDlg.h"
#include "panels/CInfoDlg.h"

namespace {

std::unique_ptr<SidePanel> CreateMonitorPanel(CCoralvaneDlg& main) {
    constexpr int kMemoryClockFactor = 1;
    auto monitor = std::make_unique<CMonitorDlg>(main.Host(), main.Gpu(), kMemoryClockFactor,
                                                 main.VoltageAsPercent(), main.ProductLineC());
    const CoralvaneServices& services = main.Services();
    monitor->SetLogServices({services.clock, services.popupMenu, services.fileDialogs, {}});
    return monitor;
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

std::unique_ptr<SidePanel> CreateSettingPanel(CCoralvaneDlg& main) {
    const CoralvaneServices& services = main.Services();
    if (!services.autorun) return nullptr;
    return std::make_unique<CSettingDlg>(main, services.folder, *services.autorun);
}

std::unique_ptr<SidePanel> CreateBiosPanel(CCoralvaneDlg& main) {
    const CoralvaneServices& services = main.Services();
    if (!services.fileDialogs || !services.toolRunner) return nullptr;
    return std::make_unique<CBiosDlg>(main.Host(), services.folder, *services.fileDialogs, *services.toolRunner);
}

// One line per kind; a new side window adds its entry here.
const SidePanelKind kKinds[] = {
    {kSideMonitor, CreateMonitorPanel},
    {kSideSettings, CreateSettingPanel},
    {kSideBios, CreateBiosPanel},
    {kSideHelp, CreateHelpPanel},
    {kSideInfo, CreateInfoPanel},
    {kSideFanCurve, CreateFanCurvePanel},
};

}  // namespace

std::span<const SidePanelKind> SidePanelKinds() {
    return kKinds;
}
