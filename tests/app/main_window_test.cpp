#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_window_fixture.h"

namespace {

using Dlg = CCoralvaneDlg;

TEST_F(MainWindowTest, EnumerationFailuresAreReportedAndStartUpGoesOn) {
    struct Case {
        const char* name;
        uint32_t failingQuery;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"driver init", QueryId::Initialize, {"Nvapi无法初始化！", "程序运行不正常！"}},
        {"gpu enumeration",
         QueryId::EnumPhysicalGPUs,
         {"NvAPI_EnumPhysicalGPUs failed!", "程序运行不正常！"}},
        {"none", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimDriver local;
        if (c.failingQuery != 0) local.FailAlways(c.failingQuery, NvStatus::Error);
        HeadlessHost localHost;
        TempFolder localDir;
        FixedProgramFolder localFolder(localDir.Path());
        TestMainDlg main(CoralvaneServices(localHost, localFolder, local.QueryInterface()));
        for (size_t i = 0; i < c.texts.size(); ++i) localHost.AnswerModal(kIdCancel);
        ASSERT_EQ(main.Create(), 0);

        std::vector<std::string> texts;
        for (const ModalRecord& run : localHost.ModalRuns()) {
            texts.push_back(run.Text(CMsgDlg::kTextId));
            EXPECT_TRUE(run.Visible(CMsgDlg::kCloseId)) << "notice layout";
            EXPECT_FALSE(run.Visible(CMsgDlg::kOkId));
        }
        EXPECT_EQ(texts, c.texts);
        EXPECT_TRUE(localHost.IsTimerRunning(main, Dlg::kTimerClock));
        const std::string expectedName =
            c.failingQuery == 0 ? "Coralvane_DID1B80.cfg" : "Coralvane_DID0000.cfg";
        EXPECT_EQ(main.ConfigFileName(), expectedName);
        EXPECT_TRUE(std::filesystem::exists(localDir / expectedName)) << "the first run still wrote its file";
    }
}

TEST_F(MainWindowTest, DeviceIdTableSetsTheCardFlags) {
    struct Case {
        CardSpec card;
        bool voltageAsPercent, fanFromRpm, accessoryOnCard;
    };
    const Case cases[] = {
        {{0x1B06}, true, true, false},   {{0x1B82}, true, false, true},
        {{0x1D01}, true, false, false},  {{0x1B80}, true, false, false},
        {{0x1B00}, false, false, false}, {{0x1B06, "Other maker", 0x1002}, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.card.vendorId << ":" << c.card.deviceId);
        UseCards({c.card});
        Start();
        EXPECT_EQ(dlg->VoltageAsPercent(), c.voltageAsPercent);
        EXPECT_EQ(dlg->FanPercentFromRpm(), c.fanFromRpm);
        EXPECT_EQ(dlg->AccessoryOnCard(), c.accessoryOnCard);
        EXPECT_EQ(dlg->ConfigFileName(), ConfigFileNameForDevice(c.card.deviceId));
        dlg.reset();
    }
}

TEST_F(MainWindowTest, StartUpShowsIdentityLayoutAndTimers) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    Start();
    EXPECT_EQ(dlg->Window().rect.GetSize(), (Size{1000, 504}));
    EXPECT_EQ(dlg->Window().backgroundBitmap, 130);
    EXPECT_EQ(dlg->GetItemText(Dlg::kGpuNameLabel), "GeForce GTX 1080");
    EXPECT_EQ(dlg->GetItemText(Dlg::kVersionLabel), "V 2.0.0.023V-Info");
    EXPECT_EQ(dlg->Control(Dlg::kVersionLabel).font, (FontSpec{"DINPro", -12, 0, 700}));
    EXPECT_EQ(dlg->Control(Dlg::kGpuNameLabel).textColor, Rgb(255, 255, 1));
    EXPECT_EQ(dlg->PageRect(), (Rect{339, 150, 311, 327}));
    EXPECT_FALSE(dlg->Control(Dlg::kScrollDown).visible);
    EXPECT_FALSE(dlg->Control(Dlg::kScrollUp).visible);
    EXPECT_EQ(dlg->Control(Dlg::kGpuButton0).iconNormal, "Sli_Gpu0_H.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kGpuButton0 + 1).iconHover, "Sli_Gpu1.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kProfileButton0).iconNormal, "Profile0_H.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kMonitorButton).iconHover, "Coralvane_Monitor_H.ICO");
    for (auto [timer, interval] : {std::pair{1, 500u}, {2, 500u}, {3, 100u}}) {
        EXPECT_EQ(host.TimerInterval(*dlg, timer), interval) << "timer " << timer;
    }
}

TEST_F(MainWindowTest, ZoneLayoutSelectsTheProductLine) {
    struct Case {
        LightingKind kind;
        uint8_t layout;
        bool productLineC;
    };
    const Case cases[] = {
        {LightingZone, 0, true},    {LightingZone, 1, false},    {LightingZone, 2, false},
        {LightingZone, 0xFF, true}, {LightingRegister, 1, true}, {LightingNone, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " layout " << int(c.layout));
        Start(c.kind, c.layout);
        EXPECT_EQ(dlg->ProductLineC(), c.productLineC);
        if (c.productLineC) {
            EXPECT_TRUE(dlg->Control(Dlg::kBiosButton).visible);
            EXPECT_EQ(dlg->Control(Dlg::kBiosButton).rect, (Rect{839, 438, 44, 42}));
            EXPECT_EQ(dlg->Control(Dlg::kHelpButton).rect, (Rect{905, 438, 44, 42}));
        } else {
            EXPECT_FALSE(dlg->Control(Dlg::kBiosButton).visible);
            EXPECT_FALSE(host.Click(*dlg, Dlg::kBiosButton));
            EXPECT_EQ(dlg->Control(Dlg::kHelpButton).rect, (Rect{839, 438, 44, 42}));
        }
        const char* line = c.productLineC ? "Vemra_C" : "Vemra_E";
        const std::string expected = std::string(line) + (c.kind == LightingNone ? "_D.ICO" : ".ICO");
        EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconNormal, expected);
        dlg.reset();
    }
}

TEST_F(MainWindowTest, WithoutLightingTheLightingButtonDoesNothingAndProfilesStayUsable) {
    Start(LightingNone, 0xFF, true);
    EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconNormal, "Vemra_C_D.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconHover, "Vemra_C_D.ICO");

    EXPECT_TRUE(host.Click(*dlg, Dlg::kLightingButton));
    EXPECT_EQ(dlg->CurrentPage(), 0);
    EXPECT_TRUE(PageShown(kPageAdvance));

    EXPECT_TRUE(host.Click(*dlg, Dlg::kProfileButton0 + 1));
    EXPECT_EQ(dlg->ProfileIndex(), 1);
    EXPECT_EQ(dlg->Control(Dlg::kProfileButton0 + 1).iconNormal, "Profile1_H.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kProfileButton0).iconNormal, "Profile0.ICO");
}

TEST_F(MainWindowTest, LightingPagesFollowTheDetectedKind) {
    struct Case {
        LightingKind kind;
        PagePanel page;
        bool upArrow;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {LightingRegister, kPageLed, false, {}},
        {LightingUsbAccessory, kPageVemra, false, {"ConnectAccessory"}},
        {LightingCardAccessory, kPageVemra, false, {}},
        {LightingZone, kPageLscLed, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind);
        Start(c.kind, 0, true);
        EXPECT_EQ(dlg->Control(Dlg::kAdvanceButton).iconNormal, "AdvanceH.ICO");
        EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconNormal, "Vemra_C.ICO");

        ASSERT_TRUE(host.Click(*dlg, Dlg::kLightingButton));
        EXPECT_EQ(dlg->CurrentPage(), 2);
        EXPECT_TRUE(PageShown(c.page));
        EXPECT_FALSE(PageShown(kPageAdvance));
        EXPECT_EQ(dlg->Control(Dlg::kScrollUp).visible, c.upArrow);
        EXPECT_EQ(dlg->Control(Dlg::kAdvanceButton).iconNormal, "Advance.ICO");
        EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconNormal, "Vemra_C_H.ICO");
        EXPECT_EQ(dlg->Control(Dlg::kProfileButton0).iconNormal, "Profile0.ICO") << "no profile highlighted";
        EXPECT_EQ(dlg->calls, c.calls);

        ASSERT_TRUE(host.Click(*dlg, Dlg::kAdvanceButton));
        EXPECT_EQ(dlg->CurrentPage(), 0);
        EXPECT_TRUE(PageShown(kPageAdvance));
        EXPECT_FALSE(PageShown(c.page));
        EXPECT_FALSE(dlg->Control(Dlg::kScrollUp).visible);
        EXPECT_EQ(dlg->Control(Dlg::kProfileButton0).iconNormal, "Profile0_H.ICO");
        dlg.reset();
    }
}

TEST_F(MainWindowTest, ZonePageScrollsBetweenItsTwoPanels) {
    Start(LightingZone, 0, true);
    ASSERT_TRUE(host.Click(*dlg, Dlg::kLightingButton));
    EXPECT_TRUE(PageShown(kPageLscLed));

    ASSERT_TRUE(host.Click(*dlg, Dlg::kScrollUp));
    EXPECT_TRUE(PageShown(kPageFanVolt));
    EXPECT_FALSE(PageShown(kPageLscLed));
    EXPECT_TRUE(dlg->Control(Dlg::kScrollDown).visible);
    EXPECT_FALSE(dlg->Control(Dlg::kScrollUp).visible);

    ASSERT_TRUE(host.Click(*dlg, Dlg::kScrollDown));
    EXPECT_TRUE(PageShown(kPageLscLed));
    EXPECT_FALSE(PageShown(kPageFanVolt));
    EXPECT_TRUE(dlg->Control(Dlg::kScrollUp).visible);
}

TEST_F(MainWindowTest, ProfilesNeedAChoiceAndTheOverclockPage) {
    Start(LightingRegister, 0, true);
    host.Click(*dlg, Dlg::kSaveButton);
    host.Click(*dlg, Dlg::kLoadButton);
    EXPECT_TRUE(dlg->calls.empty()) << "no profile chosen yet";

    host.Click(*dlg, Dlg::kProfileButton0 + 2);
    host.Click(*dlg, Dlg::kLightingButton);
    host.Click(*dlg, Dlg::kProfileButton0);
    host.Click(*dlg, Dlg::kSaveButton);
    host.Click(*dlg, Dlg::kLoadButton);
    EXPECT_TRUE(dlg->calls.empty()) << "ignored on the lighting page";

    host.Click(*dlg, Dlg::kAdvanceButton);
    EXPECT_EQ(dlg->ProfileIndex(), 2) << "the earlier choice survives the lighting page";
    EXPECT_EQ(dlg->Control(Dlg::kProfileButton0 + 2).iconNormal, "Profile2_H.ICO");
    host.Click(*dlg, Dlg::kSaveButton);
    host.Click(*dlg, Dlg::kLoadButton);
    EXPECT_EQ(dlg->calls, (std::vector<std::string>{"SaveProfile", "LoadProfile"}));
}

TEST_F(MainWindowTest, AccessoryRemovalReturnsToTheOverclockPage) {
    Start(LightingUsbAccessory, 0, true);
    host.Click(*dlg, Dlg::kLightingButton);
    dlg->AccessoryRemoved();
    EXPECT_EQ(dlg->CurrentPage(), 0);
    EXPECT_EQ(dlg->Lighting(), LightingNone);
    EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconNormal, "VemraD.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kLightingButton).iconHover, "VemraD.ICO");
    host.Click(*dlg, Dlg::kLightingButton);
    EXPECT_EQ(dlg->CurrentPage(), 0);
}

TEST_F(MainWindowTest, CloseShutsTheAccessoryDownOnlyOnceItsPageWasOpened) {
    for (bool opened : {false, true}) {
        SCOPED_TRACE(opened);
        auto main = std::make_unique<TestMainDlg>(Services());
        main->detectedKind = LightingUsbAccessory;
        host.AnswerModal([&](CDialog& window) {
            if (opened) host.Click(window, Dlg::kLightingButton);
            host.Click(window, Dlg::kCloseButton);
        });
        EXPECT_EQ(main->DoModal(), kIdOk);
        const bool shutdown = std::count(main->calls.begin(), main->calls.end(), "ShutdownAccessory") == 1;
        EXPECT_EQ(shutdown, opened);
    }
}

TEST_F(MainWindowTest, EnterAndEscapeEndTheMainWindowWithoutAccessoryShutdown) {
    for (auto [key, result] : {std::pair{Key::Enter, kIdOk}, {Key::Escape, kIdCancel}}) {
        TestMainDlg main(Services());
        main.detectedKind = LightingUsbAccessory;
        host.AnswerModal([&](CDialog& window) {
            host.Click(window, Dlg::kLightingButton);
            host.PressKey(window, key);
        });
        EXPECT_EQ(main.DoModal(), result);
        EXPECT_EQ(std::count(main.calls.begin(), main.calls.end(), "ShutdownAccessory"), 0);
    }
}

TEST_F(MainWindowTest, OneGpuIgnoresTheOtherGpuButtonsAndReselectingReturnsToOverclock) {
    Start(LightingRegister, 0, true);
    host.Click(*dlg, Dlg::kLightingButton);
    const int detections = dlg->detections;
    for (int id : {Dlg::kGpuButton0 + 1, Dlg::kGpuButton0 + 2, Dlg::kGpuButton0 + 3}) {
        host.Click(*dlg, id);
        EXPECT_EQ(dlg->detections, detections) << id;
        EXPECT_EQ(dlg->CurrentPage(), 2) << id;
        EXPECT_EQ(dlg->Control(id).iconNormal, "Sli_Gpu" + std::to_string(id - Dlg::kGpuButton0) + ".ICO");
    }
    EXPECT_EQ(dlg->SelectedGpu(), 0);

    host.Click(*dlg, Dlg::kGpuButton0);
    EXPECT_EQ(dlg->detections, detections + 1);
    EXPECT_EQ(dlg->CurrentPage(), 0);
    EXPECT_TRUE(PageShown(kPageAdvance));
    EXPECT_FALSE(PageShown(kPageLed));
    EXPECT_EQ(dlg->calls, (std::vector<std::string>{"RefreshOverclockPage"}));
}

TEST_F(MainWindowTest, SelectingAnotherGpuReadsItsIdentity) {
    UseCards({{0x1B06, "GeForce GTX 1080 Ti"}, {0x1B82, "GeForce GTX 1070 Ti"}, {0x1C20, "Laptop"}});
    TestSidePanel& info = AddSidePanel(kSideInfo);
    Start();
    ASSERT_EQ(dlg->Gpu().gpuCount, 3);
    EXPECT_FALSE(info.IsWindowCreated());

    host.Click(*dlg, Dlg::kGpuButton0 + 1);
    EXPECT_EQ(dlg->SelectedGpu(), 1);
    EXPECT_EQ(dlg->Gpu().currentGpu, 1);
    EXPECT_EQ(dlg->GetItemText(Dlg::kGpuNameLabel), "GeForce GTX 1070 Ti");
    EXPECT_EQ(dlg->Control(Dlg::kGpuButton0 + 1).iconHover, "Sli_Gpu1_H.ICO");
    EXPECT_EQ(dlg->Control(Dlg::kGpuButton0).iconNormal, "Sli_Gpu0.ICO");
    EXPECT_TRUE(dlg->AccessoryOnCard());
    EXPECT_TRUE(info.IsWindowCreated()) << "the information window refreshes for the new GPU";
    EXPECT_FALSE(info.Window().visible);
    EXPECT_EQ(info.gpuChanges, 1);

    host.Click(*dlg, Dlg::kGpuButton0 + 2);
    EXPECT_FALSE(dlg->AccessoryOnCard()) << "cleared before the table is applied again";
    EXPECT_FALSE(dlg->VoltageAsPercent()) << "decided afresh for every card";
    EXPECT_FALSE(dlg->FanPercentFromRpm()) << "decided afresh for every card";
    EXPECT_EQ(dlg->ConfigFileName(), "Coralvane_DID1B06.cfg") << "the start-up GPU's file";
}

TEST_F(MainWindowTest, SideWindowsOpenOneAtATimeDockedToTheLeftEdge) {
    TestSidePanel& monitor = AddSidePanel(kSideMonitor, {320, 420});
    TestSidePanel& info = AddSidePanel(kSideInfo, {250, 300});
    Start();
    host.UserMovesWindow(*dlg, {400, 100});

    ASSERT_TRUE(host.Click(*dlg, Dlg::kMonitorButton));
    EXPECT_TRUE(monitor.Window().visible);
    EXPECT_EQ(monitor.Window().rect, (Rect{80, 159, 320, 420}));
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideMonitor);

    // A click on the version label closes the other window and opens the information window.
    host.MouseDown(*dlg, {60, 90});
    EXPECT_FALSE(monitor.Window().visible);
    EXPECT_TRUE(info.Window().visible);
    EXPECT_EQ(info.Window().rect, (Rect{150, 159, 250, 300}));
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideInfo);

    // Clicking it again, with the right button too, only activates the open window.
    info.MoveWindow({10, 10, 250, 300});
    const int activations = host.Activations(info);
    host.MouseDown(*dlg, {137, 99}, MouseButton::Right);
    EXPECT_EQ(host.Activations(info), activations + 1);
    EXPECT_EQ(info.Window().rect, (Rect{10, 10, 250, 300})) << "not placed again";

    host.MouseDown(*dlg, {138, 100});
    host.MouseDown(*dlg, {60, 101});
    EXPECT_EQ(host.Activations(info), activations + 1) << "outside the label's area";

    ASSERT_TRUE(host.Click(info, TestSidePanel::kCloseId));
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    ASSERT_TRUE(host.Click(*dlg, Dlg::kMonitorButton));
    EXPECT_EQ(monitor.Window().rect, (Rect{80, 159, 320, 420}));
    host.Click(*dlg, Dlg::kSettingButton);
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideMonitor) << "no settings window is attached: nothing happens";
}

TEST_F(MainWindowTest, MovingTheMainWindowDragsTheOpenSideWindow) {
    TestSidePanel& monitor = AddSidePanel(kSideMonitor, {320, 420});
    TestSidePanel& help = AddSidePanel(kSideHelp, {200, 200});
    Start();
    host.Click(*dlg, Dlg::kHelpButton);
    host.Click(*dlg, Dlg::kMonitorButton);
    host.UserMovesWindow(*dlg, {700, 250});
    EXPECT_EQ(monitor.Window().rect, (Rect{380, 309, 320, 420}));
    EXPECT_EQ(dlg->SidePanelDock(), (Point{700, 309}));
    EXPECT_FALSE(help.Window().visible);
}

TEST_F(MainWindowTest, VersionLabelShowsAHandCursor) {
    Start();
    host.MouseMove(*dlg, {100, 95});
    EXPECT_EQ(host.Cursor(*dlg), CursorShape::Hand);
    host.MouseMove(*dlg, {500, 300});
    EXPECT_EQ(host.Cursor(*dlg), CursorShape::Arrow);
}

TEST_F(MainWindowTest, FirstRunAndStartUpTuning) {
    using Settings = std::initializer_list<std::pair<const char*, int>>;
    struct Case {
        const char* name;
        bool file;
        Settings settings;
        CardSpec card;
        LightingKind kind;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"no file", false, {}, {}, LightingNone, {"WriteDefaultProfiles"}},
        {"Initialized 2",
         true,
         {{"Initialized", 2}, {"AutoOverClock", 1}},
         {},
         LightingNone,
         {"WriteDefaultProfiles"}},
        {"nothing asked", true, {}, {}, LightingNone, {}},
        {"start-up profile", true, {{"AutoOverClock", 1}}, {}, LightingNone, {"ApplyStartupProfile"}},
        {"auto-overclock not exactly 1", true, {{"AutoOverClock", 2}}, {}, LightingNone, {}},
        {"one-key on the accessory card",
         true,
         {{"KeyOC", 1}, {"AutoOverClock", 1}},
         {0x1B82},
         LightingNone,
         {"ReapplyOneKeyOverclock"}},
        {"one-key with the USB accessory",
         true,
         {{"KeyOC", 3}},
         {},
         LightingUsbAccessory,
         {"ReapplyOneKeyOverclock"}},
        {"one-key without accessory",
         true,
         {{"KeyOC", 1}, {"AutoOverClock", 1}},
         {},
         LightingNone,
         {"ApplyStartupProfile"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseCards({c.card});
        const auto path = dir / ConfigFileNameForDevice(c.card.deviceId);
        std::filesystem::remove(path);
        if (c.file) WriteConfig(c.settings, c.card.deviceId);
        autorunCalls = 0;
        Start(c.kind);
        EXPECT_EQ(dlg->startCalls, c.calls);
        const bool firstRun = c.calls == std::vector<std::string>{"WriteDefaultProfiles"};
        EXPECT_EQ(autorunCalls, firstRun ? 1 : 0);
        if (firstRun) {
            EXPECT_NE(ReadAllBytes(path).find("Initialized=1"), std::string::npos);
            EXPECT_NE(ReadAllBytes(path).find("AutoRun=1"), std::string::npos)
                << "registered through the hook";
            EXPECT_EQ(dlg->Settings().autoOverClock, 0);
        }
        dlg.reset();
    }
}

TEST_F(MainWindowTest, AFirstRunWhoseRegistrationFailsWritesAutorunOffAndFinishes) {
    const auto path = dir / ConfigFileNameForDevice(0x1B80);
    std::filesystem::remove(path);
    autorunResult = 5;
    Start();
    const std::string file = ReadAllBytes(path);
    EXPECT_EQ(autorunCalls, 1);
    EXPECT_NE(file.find("AutoRun=0"), std::string::npos);
    EXPECT_NE(file.find("Initialized=1"), std::string::npos);
}

TEST_F(MainWindowTest, StartUpTranslucencyAndAlwaysOnTop) {
    struct Case {
        std::initializer_list<std::pair<const char*, int>> settings;
        int alpha;
        bool topmost;
    };
    const Case cases[] = {
        {{{"Transparence", 1}, {"TransPercent", 0}}, 25, false},
        {{{"Transparence", 1}, {"TransPercent", 9}, {"Top", 1}}, 255, true},
        {{{"Transparence", 1}, {"TransPercent", 12}}, -1, false},
        {{{"Transparence", 1}, {"TransPercent", -3}, {"Top", -1}}, -1, true},
        {{{"Transparence", 2}, {"TransPercent", 4}}, -1, false},
        {{{"Transparence", 0}, {"TransPercent", 4}}, -1, false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        WriteConfig(c.settings);
        Start();
        EXPECT_EQ(host.Alpha(*dlg), c.alpha);
        EXPECT_EQ(dlg->Window().topmost, c.topmost);
        EXPECT_EQ(dlg->Window().rect.GetSize(), (Size{1000, 504}));
        dlg.reset();
    }
}

TEST_F(MainWindowTest, TranslucencyReachesTheSideWindows) {
    WriteConfig({{"Transparence", 1}, {"TransPercent", 2}});
    TestSidePanel& monitor = AddSidePanel(kSideMonitor);
    TestSidePanel& settingsPanel = AddSidePanel(kSideSettings);
    TestSidePanel& zone = AddSidePanel(kSideZoneAdvanced);
    Start();
    host.Click(*dlg, Dlg::kMonitorButton);
    EXPECT_EQ(host.Alpha(monitor), AlphaForPercent(30)) << "handed over at start-up, applied at creation";
    dlg->OpenZoneAdvanced();

    dlg->ApplyTransparency(true, 6);
    EXPECT_EQ(host.Alpha(*dlg), AlphaForPercent(70));
    EXPECT_EQ(host.Alpha(monitor), AlphaForPercent(70));
    EXPECT_EQ(host.Alpha(zone), AlphaForPercent(30)) << "the zone colour editor is left alone";
    EXPECT_TRUE(settingsPanel.Transparence());
    EXPECT_EQ(settingsPanel.TransPercent(), 6) << "stored for a window not made yet";
    host.Click(*dlg, Dlg::kSettingButton);
    EXPECT_EQ(host.Alpha(settingsPanel), AlphaForPercent(70));

    dlg->ApplyTransparency(false, 9);
    EXPECT_EQ(host.Alpha(*dlg), -1);
    EXPECT_EQ(host.Alpha(monitor), -1);
    EXPECT_EQ(host.Alpha(settingsPanel), -1);
}

}  // namespace

TEST_F(MainWindowTest, AProgramFolderTooDeepForTheConfigurationIsReportedNotTruncated) {
    SimDriver local;
    HeadlessHost localHost;
    TempFolder localDir;
    const std::filesystem::path deep = localDir.Path() / std::string(250, 'd');
    FixedProgramFolder deepFolder(deep);
    TestMainDlg main(CoralvaneServices(localHost, deepFolder, local.QueryInterface()));
    // The path notice, then the first run's autorun notice (this test registers no autorun).
    localHost.AnswerModal(kIdCancel);
    localHost.AnswerModal(kIdCancel);
    ASSERT_EQ(main.Create(), 0);

    ASSERT_FALSE(localHost.ModalRuns().empty());
    EXPECT_EQ(localHost.ModalRuns().front().Text(CMsgDlg::kTextId), kConfigPathTooLongText);
    EXPECT_TRUE(localHost.IsTimerRunning(main, Dlg::kTimerClock)) << "start-up goes on";
    EXPECT_TRUE(std::filesystem::is_empty(localDir.Path())) << "nothing written under a shortened name";
}
