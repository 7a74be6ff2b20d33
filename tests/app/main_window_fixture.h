#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/CCoralvaneDlg.h"
#include "app/CMsgDlg.h"
#include "app/ConfigFile.h"
#include "app/StartupSettings.h"
#include "config_test_support.h"
#include "controls/CBkDialogST.h"
#include "sim/SimDriver.h"
#include "support/SimPacedClock.h"
#include "ui/HeadlessHost.h"

class FakeNotificationArea : public NotificationArea {
public:
    int AddIcon(const NotifyIconRecord& record) override {
        added.push_back(record);
        return 0;
    }
    int RemoveIcon(const NotifyIconRecord&) override {
        ++removed;
        return 0;
    }
    int TrackPopupMenuAtCursor(int menuId) override {
        menus.push_back(menuId);
        return chosenCommand;
    }
    bool IconShown() const { return int(added.size()) > removed; }

    std::vector<NotifyIconRecord> added;
    int removed = 0;
    std::vector<int> menus;
    int chosenCommand = 0;
};

class FakeShell : public ShellOpener {
public:
    int OpenUrl(std::string_view url) override {
        opened.emplace_back(url);
        return 0;
    }
    std::vector<std::string> opened;
};

// A side window as small as the rule needs: a size of its own and a close button (id 10).
class TestSidePanel : public CBkDialogST, public SidePanel {
public:
    static constexpr int kCloseId = 10;
    TestSidePanel(UiHost& host, int id, Size panelSize = {300, 400})
        : CBkDialogST(host, 900 + id), SidePanel(id), size(panelSize) {}
    CDialog& Dialog() override { return *this; }
    void OnGpuChanged() override { ++gpuChanges; }
    int gpuChanges = 0;

protected:
    void OnInitDialog() override {
        CBkDialogST::OnInitDialog();
        SetWindowSize(size.width, size.height);
        AddControl(kCloseId, ControlKind::Button, {0, 0, 16, 14});
        ApplyStoredTranslucency();
    }
    void OnCommand(int id) override {
        if (id == kCloseId) CloseFromButton();
    }

private:
    Size size;
};

// The main window with its later features replaced by recorders: lighting detection returns what
// the test chose, page panels are plain child dialogs, and the profile and accessory seams log.
class TestMainDlg : public CCoralvaneDlg {
public:
    using CCoralvaneDlg::CCoralvaneDlg;

    LightingKind detectedKind = LightingNone;
    uint8_t detectedLayout = 0xFF;
    // The real detection on the simulated card's bus instead of detectedKind and detectedLayout.
    bool realDetection = false;
    bool accessoryPlugged = false;
    int accessoryProbes = 0;
    bool withPagePanels = false;
    bool withSidePanels = false;
    // The program's own page panels (overclock page, zone page, fan/voltage panel, accessory page)
    // and accessory connection instead of recorders.
    bool realPagePanels = false;
    bool realAccessoryProbe = false;
    int detections = 0;
    std::vector<std::string> startCalls;  // what the initialisation called
    std::vector<std::string> calls;       // what happened since

protected:
    void DetectLighting() override {
        ++detections;
        if (realDetection) {
            CCoralvaneDlg::DetectLighting();
            return;
        }
        lighting.kind = detectedKind;
        lighting.zoneLayout = detectedLayout;
    }
    bool ProbeAccessoryPresent() override {
        ++accessoryProbes;
        return realAccessoryProbe ? CCoralvaneDlg::ProbeAccessoryPresent() : accessoryPlugged;
    }
    void CreatePagePanels() override {
        if (realPagePanels) {
            CCoralvaneDlg::CreatePagePanels();
            return;
        }
        if (!withPagePanels) return;
        for (int slot = kPageAdvance; slot < kPagePanelCount; ++slot) {
            auto panel = std::make_unique<CDialog>(Host(), 800 + slot);
            panel->Create(this);
            panel->MoveWindow(PageRect());
            panel->ShowWindow(slot == kPageAdvance ? ShowCommand::Show : ShowCommand::Hide);
            AttachPagePanel(PagePanel(slot), std::move(panel));
        }
    }
    // The tests attach their own side windows unless they ask for the program's.
    void CreateSidePanels() override {
        if (withSidePanels) CCoralvaneDlg::CreateSidePanels();
    }
    void RefreshOverclockPage() override { calls.push_back("RefreshOverclockPage"); }
    void ConnectAccessory() override {
        calls.push_back("ConnectAccessory");
        if (realPagePanels) CCoralvaneDlg::ConnectAccessory();
    }
    void ShutdownAccessory() override {
        calls.push_back("ShutdownAccessory");
        if (realPagePanels) CCoralvaneDlg::ShutdownAccessory();
    }
    void SaveProfile() override { calls.push_back("SaveProfile"); }
    void LoadProfile() override { calls.push_back("LoadProfile"); }
    void WriteDefaultProfiles() override { calls.push_back("WriteDefaultProfiles"); }
    void ReapplyOneKeyOverclock() override { calls.push_back("ReapplyOneKeyOverclock"); }
    void ApplyStartupProfile() override { calls.push_back("ApplyStartupProfile"); }
};

// Simulated cards by PCI vendor and device id, in the order the program enumerates them.
struct CardSpec {
    uint16_t deviceId = 0x1B80;
    const char* name = "GeForce GTX 1080";
    uint16_t vendorId = 0x10DE;
};

inline SimScenario CardsScenario(std::initializer_list<CardSpec> cards) {
    SimScenario scenario = DefaultScenario();
    const SimGpu model = scenario.gpus.at(0);
    scenario.gpus.clear();
    // The program lists the driver's GPUs last first; the scenario is written in that order here.
    for (auto it = std::rbegin(cards); it != std::rend(cards); ++it) {
        SimGpu gpu = model;
        gpu.vendorId = it->vendorId;
        gpu.deviceId = it->deviceId;
        gpu.name = it->name;
        scenario.gpus.push_back(gpu);
    }
    return scenario;
}

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override { dlg.reset(); }

    void UseCards(std::initializer_list<CardSpec> cards) { sim.Model() = CardsScenario(cards); }

    CoralvaneServices Services() {
        CoralvaneServices services(host, folder, sim.QueryInterface());
        services.notificationArea = &tray;
        services.hid = hid;
        services.shell = &shell;
        services.clock = &clock;
        services.setAutorun = [this] {
            ++autorunCalls;
            return autorunResult;
        };
        return services;
    }

    // A complete configuration as the first run leaves it, then the given program settings.
    void WriteConfig(std::initializer_list<std::pair<const char*, int>> settings,
                     uint16_t deviceId = 0x1B80) {
        const std::string name = ConfigFileNameForDevice(deviceId);
        std::filesystem::remove(dir / name);
        WriteFirstRunFile(folder, name, deviceId, FirstRunHooks{});
        for (auto [key, value] : settings) {
            ASSERT_EQ(
                ConfigFile(folder, name).WriteValue({std::string(kSettingsSection), key, {}, value}, 10), 0);
        }
    }

    TestMainDlg& Start(LightingKind kind = LightingNone, uint8_t layout = 0xFF, bool pagePanels = false) {
        dlg = std::make_unique<TestMainDlg>(Services());
        dlg->detectedKind = kind;
        dlg->detectedLayout = layout;
        dlg->withPagePanels = pagePanels;
        dlg->withSidePanels = programSidePanels;
        dlg->realDetection = realDetection;
        dlg->realPagePanels = realPagePanels;
        dlg->accessoryPlugged = accessoryPlugged;
        dlg->realAccessoryProbe = realAccessoryProbe;
        for (auto& panel : sidePanels) dlg->AttachSidePanel(*panel);
        EXPECT_EQ(dlg->Create(), 0);
        dlg->ShowWindow(ShowCommand::Show);
        dlg->startCalls = std::move(dlg->calls);
        dlg->calls.clear();
        return *dlg;
    }

    TestSidePanel& AddSidePanel(int id, Size size = {300, 400}) {
        sidePanels.push_back(std::make_unique<TestSidePanel>(host, id, size));
        if (dlg) dlg->AttachSidePanel(*sidePanels.back());
        return *sidePanels.back();
    }

    bool PageShown(PagePanel slot) const {
        const CDialog* panel = dlg->FindPagePanel(slot);
        return panel && panel->Window().visible;
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const ModalRecord& run : host.ModalRuns()) {
            if (run.templateId == CMsgDlg::kTemplateId) texts.push_back(run.Text(CMsgDlg::kTextId));
        }
        return texts;
    }

    TempFolder dir;
    FixedProgramFolder folder{dir.Path()};
    SimDriver sim;
    HeadlessHost host;
    FakeNotificationArea tray;
    FakeShell shell;
    // Sleeps move the simulator's time, so simulated lighting controllers see the pauses.
    SimPacedClock clock{sim};
    bool realDetection = false;
    bool realPagePanels = false;
    bool accessoryPlugged = false;
    bool realAccessoryProbe = false;
    // The HID interfaces the program sees; none when null.
    HidSystem* hid = nullptr;
    int autorunCalls = 0;
    int autorunResult = 0;
    // The program's own side windows instead of the test's.
    bool programSidePanels = false;
    // Side windows outlive the main window, whose window owns theirs.
    std::vector<std::unique_ptr<TestSidePanel>> sidePanels;
    std::unique_ptr<TestMainDlg> dlg;
};
