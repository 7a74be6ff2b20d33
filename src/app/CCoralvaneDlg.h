#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/DefaultProfileValues.h"
#include "app/SidePanel.h"
#include "app/StartupFailSafe.h"
#include "app/StartupSettings.h"
#include "controls/CBkDialogST.h"
#include "gpu/CGpuControl.h"
#include "lighting/LightingDetection.h"
#include "platform/AutorunStore.h"
#include "platform/FileDialogs.h"
#include "platform/HidSystem.h"
#include "platform/NotificationArea.h"
#include "platform/ProgramFolder.h"
#include "platform/ShellOpen.h"
#include "platform/ToolRunner.h"
#include "ui/PopupMenu.h"

class CAdvanceDlg;
class CFanVoltDlg;
class CLedDlg;
class CLscAdvanceDlg;
class CLscLedDlg;
class ZoneCommandSender;
class CVemraDlg;
class MainFanControl;
class MainProfileOwner;

// The panels that share the page area, in the order the main window creates them.
enum PagePanel : int {
    kPageAdvance = 0,  // the overclock page
    kPageLed,          // register lighting controller
    kPageVemra,        // USB accessory or accessory-model controller
    kPageLscLed,       // zone lighting controller
    kPageFanVolt,      // fan/voltage panel below the zone page
    kPagePanelCount,
};

// Everything the main window needs from the system, handed in by the entry point (or a test).
struct CoralvaneServices {
    CoralvaneServices(UiHost& uiHost, const ProgramFolder& programFolder, NvQueryInterfaceFn driver = nullptr)
        : host(uiHost), folder(programFolder), queryInterface(driver) {}

    UiHost& host;
    const ProgramFolder& folder;
    // The driver's query-interface entry point; null when the driver library is missing.
    NvQueryInterfaceFn queryInterface = nullptr;
    NotificationArea* notificationArea = nullptr;
    ShellOpener* shell = nullptr;
    // Paces the driver's waits; null means the system clock.
    Clock* clock = nullptr;
    // Registers the program to start with Windows; 0 on success. Unset counts as a failure.
    std::function<int()> setAutorun;
    // The HID interfaces where the USB lighting accessory is looked for; null finds none.
    HidSystem* hid = nullptr;
    // The settings window's autorun entry, the BIOS window's file dialogs and nvflash runs.
    AutorunStore* autorun = nullptr;
    FileDialogs* fileDialogs = nullptr;
    ToolRunner* toolRunner = nullptr;
    // The monitoring window's chart menu (its sensor log); null: the charts have no menu.
    PopupMenu* popupMenu = nullptr;
    // Whether the user holds Shift as the program starts (the start-up overclock is then skipped).
    std::function<bool()> shiftHeld;
    // Loads the driver library and gives its entry point; the application calls it only once it
    // knows the main window will run (a declined second copy loads nothing). Unset keeps
    // queryInterface as given.
    std::function<NvQueryInterfaceFn()> loadDriver;
};

// The program's one top-level window: skinned, 1000 × 504, owning the GPU control object, the page
// panels and the side windows, with the fan controls and read-out dials of MainFanControl.
class CCoralvaneDlg : public CBkDialogST, public SidePanelOwner {
public:
    static constexpr int kTemplateId = 102;
    static constexpr int kBackgroundBitmap = 130;
    static constexpr int kAppIcon = 128;
    static constexpr int kTrayMenu = 129;
    static constexpr uint32_t kTrayCallbackMessage = 0x0440;
    static constexpr int kMenuHomePage = 32771;
    static constexpr int kMenuOpenMain = 32772;
    static constexpr int kMenuExit = 32773;
    static constexpr std::string_view kMakerSite = "https://coralvane.example/";
    static constexpr std::string_view kVersionText = "V 2.0.0.023V-Info";
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 504;
    // A docked side window's top is this far below the main window's top.
    static constexpr int kSidePanelDrop = 59;

    // Control ids.
    static constexpr int kAdvanceButton = 1000;
    static constexpr int kLightingButton = 1001;
    static constexpr int kMinimiseButton = 1002;
    static constexpr int kCloseButton = 1003;
    static constexpr int kScrollDown = 1004;
    static constexpr int kScrollUp = 1005;
    static constexpr int kPageArea = 1006;
    static constexpr int kGpuNameLabel = 1026;
    static constexpr int kProfileButton0 = 1028;
    static constexpr int kSaveButton = 1031;
    static constexpr int kGpuButton0 = 1032;
    static constexpr int kLoadButton = 1036;
    // The dials and fan controls (1073, 1074, 1133-1137) belong to MainFanControl, which names them.
    static constexpr int kMonitorButton = 1138;
    static constexpr int kSettingButton = 1139;
    static constexpr int kBiosButton = 1140;
    static constexpr int kHelpButton = 1141;
    static constexpr int kVersionLabel = 1142;
    static constexpr int kFanLabel = 1187;
    static constexpr int kTimerClock = 1;
    static constexpr int kTimerFan = 2;
    static constexpr int kTimerMinimise = 3;
    // Clears the start-up overclock's fail-safe record once the program has run long enough.
    static constexpr int kTimerFailSafe = 4;
    // Start minimised keeps trying to reach the notification area for 30 s of timer 3 ticks.
    static constexpr int kStartMinimiseTicks = 300;
    // The version label's clickable area, 38, 86 to 138, 101.
    static constexpr Rect kVersionRect{38, 86, 100, 15};

    explicit CCoralvaneDlg(const CoralvaneServices& services);
    ~CCoralvaneDlg() override;

    // Operations other windows call.
    void ShowOverclockPage();
    void ShowLightingPage();
    void OpenSidePanel(int id);
    void OpenZoneAdvanced() { OpenSidePanel(kSideZoneAdvanced); }
    void CloseSidePanel(int id) override;
    void AccessoryRemoved();
    void ApplyTransparency(bool on, int percentIndex);
    void ApplyTopmost(bool top);
    void SelectGpu(int index);
    void SelectProfile(int index);
    void MinimiseToTray();
    void RestoreFromTray();

    // Registers a side window under its id; the window itself is created on first use. The panel
    // must outlive the main window's window.
    void AttachSidePanel(SidePanel& panel);
    SidePanel* FindSidePanel(int id) const;
    // Takes a page panel into its slot; the main window shows and hides it with the pages and
    // destroys it with itself.
    CDialog& AttachPagePanel(PagePanel slot, std::unique_ptr<CDialog> panel);
    CDialog* FindPagePanel(PagePanel slot) const { return pagePanels[slot].get(); }

    CGpuControl& Gpu() { return gpu; }
    MainFanControl* Fan() { return fan.get(); }
    const std::string& ConfigFileName() const { return configFileName; }
    const std::string& GpuName() const { return gpuName; }
    const StartupSettings& Settings() const { return settings; }
    bool VoltageAsPercent() const { return voltageAsPercent; }
    bool FanPercentFromRpm() const { return fanPercentFromRpm; }
    bool AccessoryOnCard() const { return accessoryOnCard; }
    bool ProductLineC() const { return productLineC; }
    LightingKind Lighting() const { return lighting.kind; }
    // The detection's results for the selected GPU: kind, zone layout and the three status areas.
    const LightingState& LightingResults() const { return lighting; }
    int SelectedGpu() const { return selectedGpu; }
    int CurrentPage() const { return currentPage; }
    int ProfileIndex() const { return profileIndex; }
    bool ProfileChosen() const { return profileChosen; }
    int OpenSidePanelId() const { return sidePanelOpen ? openSidePanel : kSideNone; }
    bool InNotificationArea() const { return inNotificationArea; }
    Point SidePanelDock() const { return {sidePanelLeft, sidePanelTop}; }
    const Rect& PageRect() const { return pageRect; }
    CAdvanceDlg* OverclockPage() const;
    const CoralvaneServices& Services() const { return services; }
    CLedDlg* LedPage() const;
    CLscLedDlg* ZonePage() const;
    CFanVoltDlg* FanVoltPanel() const;

    // The command line's command for this run, run right after the initialisation; with `quit`
    // the window then ends. A profile named here takes the place of the start-up overclock.
    void SetStartupCommand(const CommandLine& command) { startupCommand = command; }
    // How that command ended (Done when there was none).
    CommandStatus StartupCommandStatus() const { return startupCommandStatus; }
    // Runs a command now: the profile the way Load does, without questions, and the sensor log in
    // the monitoring window (created hidden when it was never opened).
    CommandStatus RunCommand(const CommandLine& command);
    StartupOverclock StartupOverclockDecision() const { return startupOverclock; }
    // A command handed over by a copy started later, tagged kCommandTag: run at once, answered with
    // kCommandAnswerBase + its status (kCommandAnswerBusy while still starting, 0 for another tag).
    intptr_t TakeCommand(uint32_t tag, std::string_view bytes);

protected:
    void OnInitDialog() override;
    void OnDestroy() override;
    void OnCommand(int id) override;
    void OnSliderNotify(uint32_t msg, int id, int position) override;
    void OnTimer(int timerId) override;
    void OnMouse(const MouseEvent& event) override;
    void OnMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) override;
    void OnWindowMoved() override;

    // Seams for the features that plug into the main window later. Each default does what the
    // program does while the feature is absent.

    // The card's lighting detection and, when it finds nothing, the USB accessory probe for the
    // selected GPU; fills `lighting` (CCoralvaneDlgLighting.cpp).
    virtual void DetectLighting();
    // The USB accessory probe: true when the accessory is plugged in.
    virtual bool ProbeAccessoryPresent();
    // Creates the overclock page and the lighting panels as children in pageRect (hidden, except
    // the overclock page) and attaches them; hands the detection results to them.
    virtual void CreatePagePanels();
    // Creates the side windows of every registered kind (SidePanelKinds.cpp) that has no panel
    // attached yet and keeps them; their windows are created on first use.
    virtual void CreateSidePanels();
    // Hands identity and translucency-independent settings to the side windows.
    virtual void HandOverToSidePanels() {}
    // The overclock page re-reads the newly selected GPU (curve mode, values, one-key state).
    virtual void RefreshOverclockPage();
    // The new GPU's detection results go to the existing lighting panel of its kind.
    virtual void HandLightingToPanels() {}
    // Accessory page entry and program end.
    virtual void ConnectAccessory();
    virtual void ShutdownAccessory();
    // Profiles: Save, Load, the first-run "Default"/"Start_OC" records, and the two start-up
    // tunings (one-key overclock again, or the start-up profile).
    virtual void SaveProfile();
    virtual void LoadProfile();
    virtual void WriteDefaultProfiles();
    virtual void ReapplyOneKeyOverclock();
    virtual void ApplyStartupProfile();
    // A profile named on the command line, applied without questions.
    virtual CommandStatus ApplyProfileCommand(int profileIndex);

    // The overclock page (CCoralvaneDlgOverclock.cpp): created at start-up in pageRect and shown.
    void CreateOverclockPage();
    // The zone lighting page, the fan/voltage panel and the colour editor (CCoralvaneDlgZone.cpp):
    // created hidden with the detection's results; a GPU change closes the editor and hands the
    // new zone status over.
    void CreateZonePanels();
    void CloseZoneEditor();
    void HandZoneToPanels();
    // The register controller's page (CCoralvaneDlgLed.cpp): created hidden with the detection's
    // status; a GPU change that finds the register controller hands its status over.
    void CreateLedPage();
    void HandLedStatusToPage();

    // Shows a text in the message dialog with the given layout; the result is the dialog's.
    int ShowMessage(std::string_view text, int mode);

    LightingState lighting;

private:
    // Profiles reach the fan state, the message dialog and the configuration through it.
    friend class MainProfileOwner;

    // Initialisation.
    void CreateControls();
    void ReportEnumResult(int result);
    void IdentifyCard(int gpuIndex);
    void ReadGpuName();
    // On a first run, hands the logon registration to the start-up's next pause.
    void StartFirstRunAutorun();
    void ReadSettings();
    void SetupIcons();
    void SetupFonts();
    void HandTranslucencyToSidePanels();
    void StartupTuning();
    // The fail-safe around the start-up overclock (CCoralvaneDlgCommandLine.cpp).
    void DecideStartupOverclockNow();
    void OnFailSafeTimer();
    // A clean end is no crash: a record still set is cleared, so the next start overclocks.
    void ClearFailSafeRecordOnExit();
    void RunStartupCommand();
    CommandStatus StartSensorLog(const std::filesystem::path& path);
    Clock& MainClock();

    // Icons.
    void SetBothIcons(int id, const std::string& icon) { SetItemIcons(id, icon, icon); }
    void SetLightingButtonIcons(bool pageShown);
    void SetProfileIcons(int highlighted);
    void SetGpuIcons(int highlighted);
    std::string LightingIcon(std::string_view suffix) const;

    // Side windows.
    void CloseOpenSidePanel();
    void DockSidePanel(SidePanel& panel);
    void HideSidePanelsForMinimise();

    // Notification icon and menu.
    bool AddTrayIcon();
    // A new notification area is empty: the icon goes back, or the window comes out of hiding.
    void OnTaskbarCreated();
    void OnNotificationIcon(uint32_t mouseMessage);
    void RunTrayCommand(int command);

    void ShowPagePanel(PagePanel slot, bool show);

    // The accessory page (CCoralvaneDlgAccessory.cpp).
    void CreateAccessoryPage();
    void HandLightingToAccessoryPage();
    CVemraDlg* AccessoryPage() const;
    void ShowLightingPanel(PagePanel slot);

    CoralvaneServices services;
    CGpuControl gpu;
    std::unique_ptr<MainFanControl> fan;
    std::string configFileName;
    std::string gpuName;
    StartupSettings settings;
    // The first run's autorun registration, done in a pause of the start-up when one comes before the
    // first run writes its result; set once done.
    std::shared_ptr<std::optional<int>> firstRunAutorun;
    // Read with the other starting values, before the overclock page can change the card.
    DefaultProfileValues startingProfileValues;

    bool voltageAsPercent = false;
    bool fanPercentFromRpm = false;
    bool accessoryOnCard = false;
    bool productLineC = true;
    int selectedGpu = 0;
    int currentPage = 0;
    int profileIndex = 0;
    bool profileChosen = false;
    bool accessoryPageOpened = false;
    int openSidePanel = kSideNone;
    bool sidePanelOpen = false;
    int sidePanelLeft = 0;
    int sidePanelTop = 0;
    Rect pageRect;
    bool inNotificationArea = false;
    int startMinimiseTicks = 0;
    bool handCursor = false;
    bool initialised = false;
    StartupOverclock startupOverclock = StartupOverclock::None;
    uint64_t failSafeSetAt = 0;
    bool failSafePending = false;
    CommandLine startupCommand;
    CommandStatus startupCommandStatus = CommandStatus::Done;

    // Declared before the page panels, which send through it.
    std::unique_ptr<ZoneCommandSender> zoneSender;
    std::unique_ptr<CLscAdvanceDlg> zoneEditor;
    std::array<SidePanel*, kSidePanelCount + 1> sidePanels{};
    std::vector<std::unique_ptr<SidePanel>> ownedSidePanels;
    std::array<std::unique_ptr<CDialog>, kPagePanelCount> pagePanels;
};
