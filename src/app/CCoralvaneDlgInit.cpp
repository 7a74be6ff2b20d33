#include <utility>

#include "app/CCoralvaneDlg.h"
#include "app/CMsgDlg.h"
#include "app/ConfigFile.h"
#include "app/IniFile.h"
#include "app/MainFanControl.h"
#include "app/Profiles.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "lighting/CLscAdvanceDlg.h"
#include "lighting/ZoneCommandSender.h"
#include "platform/Clock.h"
#include "ui/Translucency.h"

namespace {

constexpr uint16_t kNvidiaVendor = 0x10DE;
constexpr uint16_t kCurveModeDevices[] = {0x1B06, 0x1B07, 0x1B80, 0x1B81, 0x1B82, 0x1B87, 0x1C02,
                                          0x1C03, 0x1C07, 0x1C09, 0x1C81, 0x1C82, 0x1D01};
constexpr uint16_t kRpmFanDevice = 0x1B06;
constexpr uint16_t kAccessoryOnCardDevice = 0x1B82;
constexpr Color kLabelColor = Rgb(255, 255, 1);

constexpr const char* kEnumInitFailed = "Nvapi无法初始化！";
constexpr const char* kEnumGpusFailed = "NvAPI_EnumPhysicalGPUs failed!";
constexpr const char* kNotRunningProperly = "程序运行不正常！";

}  // namespace

CCoralvaneDlg::CCoralvaneDlg(const CoralvaneServices& given)
    : CBkDialogST(given.host, kTemplateId), services(given), gpu(given.queryInterface, given.clock) {
    SetKeepDialogKeys(true);
}

CCoralvaneDlg::~CCoralvaneDlg() {
    // The window goes first, while the side windows and page panels it owns still exist.
    DestroyWindow();
}

void CCoralvaneDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    // The title never shows on the skin; the taskbar and automation see it.
    SetTitle("Coralvane");
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);
    CreateControls();

    ReportEnumResult(gpu.EnumGpus());
    configFileName = ConfigFileNameForDevice(gpu.pciDeviceId);
    IdentifyCard(kSelectedGpu);
    ReadGpuName();
    StartFirstRunAutorun();

    DetectLighting();
    if (lighting.kind == LightingZone) {
        if (lighting.zoneLayout == 0) {
            productLineC = true;
        } else if (lighting.zoneLayout == 1 || lighting.zoneLayout == 2) {
            productLineC = false;
        }
    }

    SetItemText(kVersionLabel, std::string(kVersionText));
    selectedGpu = gpu.currentGpu;

    ReadSettings();
    fan = std::make_unique<MainFanControl>(*this, gpu, services.folder, configFileName, fanPercentFromRpm);
    fan->LoadFanCurve(settings.fanSteps, settings.fanLevels);
    fan->ReadStartingValues();
    if (settings.initialized != 1) startingProfileValues = ReadDefaultProfileValues(gpu, fan->fanPercent);
    fan->StartupFanState(productLineC, settings.autoOverClock);

    fan->SetupControls();
    SetupIcons();
    SetupFonts();

    ShowItem(kScrollDown, false);
    ShowItem(kScrollUp, false);
    pageRect = Control(kPageArea).rect;

    DecideStartupOverclockNow();
    CreatePagePanels();
    CreateSidePanels();
    HandTranslucencyToSidePanels();
    HandOverToSidePanels();
    if (settings.initialized != 1) WriteDefaultProfiles();
    StartupTuning();

    const int opacity = TranslucentOpacity(settings.transparence != 0, settings.transPercent);
    if (opacity >= 0) MakeTranslucent(*this, opacity);

    const Rect& placed = Window().rect;
    sidePanelLeft = placed.left;
    sidePanelTop = placed.top + kSidePanelDrop;

    SetTimer(kTimerClock, 500);
    SetTimer(kTimerFan, 500);
    SetTimer(kTimerMinimise, 100);
    if (startupOverclock == StartupOverclock::Apply) SetTimer(kTimerFailSafe, kFailSafeClearMs);
    initialised = true;
    if (startupCommand.HasWork()) PostToUi([this] { RunStartupCommand(); });
}

void CCoralvaneDlg::OnDestroy() {
    // An icon left behind by "exit" from its own menu would linger in the notification area.
    if (inNotificationArea) RestoreFromTray();
    ClearFailSafeRecordOnExit();
    CBkDialogST::OnDestroy();
}

void CCoralvaneDlg::CreateControls() {
    Add<CLabel>(kVersionLabel, Rect{38, 86, 130, 15});
    Add<CLabel>(kGpuNameLabel, Rect{110, 335, 145, 20});
    Add<CButtonST>(kAdvanceButton, Rect{380, 100, 110, 34});
    Add<CButtonST>(kLightingButton, Rect{510, 100, 110, 34});
    Add<CButtonST>(kMinimiseButton, Rect{950, 48, 16, 14});
    Add<CButtonST>(kCloseButton, Rect{970, 48, 16, 14});
    Add<CButtonST>(kScrollDown, Rect{650, 285, 12, 30});
    Add<CButtonST>(kScrollUp, Rect{650, 320, 12, 30});
    // Only a marker of the page area; the page panels cover it.
    AddControl(kPageArea, ControlKind::Label, Rect{339, 150, 311, 327});
    ShowItem(kPageArea, false);
    for (int i = 0; i < 4; ++i) Add<CButtonST>(kGpuButton0 + i, Rect{92 + 58 * i, 397, 56, 32});
    for (int i = 0; i < 3; ++i) Add<CButtonST>(kProfileButton0 + i, Rect{110 + 25 * i, 452, 20, 20});
    Add<CButtonST>(kSaveButton, Rect{185, 452, 64, 20});
    Add<CButtonST>(kLoadButton, Rect{255, 452, 64, 20});
    Add<CButtonST>(kMonitorButton, Rect{707, 438, 44, 42});
    Add<CButtonST>(kSettingButton, Rect{773, 438, 44, 42});
    Add<CButtonST>(kBiosButton, Rect{839, 438, 44, 42});
    Add<CButtonST>(kHelpButton, Rect{905, 438, 44, 42});
}

int CCoralvaneDlg::ShowMessage(std::string_view text, int mode) {
    CMsgDlg message(Host(), mode);
    message.SetText(std::string(text));
    return message.DoModal(this);
}

void CCoralvaneDlg::ReportEnumResult(int result) {
    if (result == 0) return;
    if (result == 1) ShowMessage(kEnumInitFailed, CMsgDlg::kNotice);
    if (result == 2) ShowMessage(kEnumGpusFailed, CMsgDlg::kNotice);
    ShowMessage(kNotRunningProperly, CMsgDlg::kNotice);
}

void CCoralvaneDlg::IdentifyCard(int gpuIndex) {
    // Decided afresh for every card: a curve-mode card visited before must not make a p-state
    // card's page write curve offsets, nor its fan reading come from the speed.
    voltageAsPercent = false;
    fanPercentFromRpm = false;
    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    if (gpu.ReadPciIds(gpuIndex, vendor, device, subVendor, subsystem) != 0 || vendor != kNvidiaVendor)
        return;
    for (uint16_t curveDevice : kCurveModeDevices) {
        if (device == curveDevice) voltageAsPercent = true;
    }
    if (device == kRpmFanDevice) fanPercentFromRpm = true;
    if (device == kAccessoryOnCardDevice) accessoryOnCard = true;
}

void CCoralvaneDlg::ReadGpuName() {
    std::string name;
    // A failed read shows no name rather than the previous GPU's.
    gpuName = gpu.GetFullName(kSelectedGpu, name) == 0 ? name : std::string();
    SetItemText(kGpuNameLabel, gpuName);
}

void CCoralvaneDlg::StartFirstRunAutorun() {
    // The system's scheduler takes tens of milliseconds to answer: on the lighting detection's first
    // pause (which lasts its time all the same) rather than after the pauses.
    if (!services.setAutorun || !IsFirstRun(services.folder, configFileName)) return;
    firstRunAutorun = std::make_shared<std::optional<int>>();
    SystemClock::SetPauseJob([result = firstRunAutorun, set = services.setAutorun] { *result = set(); });
}

void CCoralvaneDlg::ReadSettings() {
    FirstRunHooks hooks;
    hooks.setAutorun = [this] {
        if (std::shared_ptr<std::optional<int>> early = std::exchange(firstRunAutorun, nullptr)) {
            // No pause came: it runs now, where the first run needs its result.
            if (std::function<void()> job = SystemClock::TakePauseJob()) job();
            if (early->has_value()) return **early;
        }
        return services.setAutorun ? services.setAutorun() : 1;
    };
    hooks.showMessage = [this](std::string_view text) {
        ShowMessage(text, productLineC ? CMsgDlg::kQuestion : CMsgDlg::kNotice);
    };
    // Nothing is written to a path the system would cut short; say so once instead of failing silently.
    if (IniFile(ConfigFile(services.folder, configFileName).Path()).CheckPath() == IniStatus::PathTooLong) {
        ShowMessage(kConfigPathTooLongText, CMsgDlg::kNotice);
    }
    settings = ReadStartupSettings(services.folder, configFileName, gpu.pciDeviceId, hooks);
    ApplyTopmost(settings.top != 0);
}

void CCoralvaneDlg::SetupIcons() {
    SetBothIcons(kAdvanceButton, "AdvanceH.ICO");
    SetLightingButtonIcons(false);
    SetItemIcons(kMinimiseButton, "Min.ICO", "MinH.ICO");
    SetItemIcons(kCloseButton, "Close.ICO", "CloseH.ICO");
    SetBothIcons(kScrollDown, "HScroll_Down.ICO");
    SetBothIcons(kScrollUp, "HScroll_Up.ICO");
    SetProfileIcons(profileIndex);
    SetItemIcons(kSaveButton, "Profile_Save.ICO", "Profile_Save_H.ICO");
    SetItemIcons(kLoadButton, "Profile_Load.ICO", "Profile_Load_H.ICO");
    SetGpuIcons(selectedGpu);

    const char* sideIcons[] = {"Coralvane_Monitor", "Coralvane_Setting", "Coralvane_Bios", "Coralvane_Help"};
    for (int i = 0; i < 4; ++i) {
        const std::string base = sideIcons[i];
        SetItemIcons(kMonitorButton + i, base + ".ICO", base + "_H.ICO");
    }
    if (productLineC) {
        MoveItem(kBiosButton, Rect{839, 438, 44, 42});
        MoveItem(kHelpButton, Rect{905, 438, 44, 42});
    } else {
        ShowItem(kBiosButton, false);
        MoveItem(kHelpButton, Rect{839, 438, 44, 42});
    }
}

void CCoralvaneDlg::SetupFonts() {
    // The fan percentage label is the fan control's; it takes the same face and colour there.
    for (int id : {kVersionLabel, kGpuNameLabel}) {
        if (CLabel* label = ControlAs<CLabel>(id)) {
            label->SetFontName("DINPro").SetFontSize(-12).SetFontWeight(700);
            label->SetTextColor(kLabelColor).SetTransparent(true);
        }
    }
}

void CCoralvaneDlg::HandTranslucencyToSidePanels() {
    for (SidePanel* panel : sidePanels) {
        if (panel) panel->SetTranslucency(settings.transparence != 0, settings.transPercent);
    }
}

void CCoralvaneDlg::StartupTuning() {
    if (startupOverclock != StartupOverclock::Apply) return;
    if (settings.keyOc != 0 && (accessoryOnCard || lighting.kind == LightingUsbAccessory)) {
        ReapplyOneKeyOverclock();
    } else if (settings.autoOverClock == 1) {
        ApplyStartupProfile();
    }
}
