#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace {

using Dlg = CCoralvaneDlg;

void SendTrayMouse(CDialog& window, uint32_t mouseMessage) {
    window.HandleMessage(Dlg::kTrayCallbackMessage, 128, mouseMessage);
}

void SendTaskbarCreated(CDialog& window) {
    window.HandleMessage(kMsgTaskbarCreated, 0, 0);
}

// A notification area that refuses icons while `refuse` is set, as before the taskbar is up.
class RefusingNotificationArea : public FakeNotificationArea {
public:
    int AddIcon(const NotifyIconRecord& record) override {
        ++attempts;
        return refuse ? 1 : FakeNotificationArea::AddIcon(record);
    }
    bool refuse = true;
    int attempts = 0;
};

class RefusedIconTest : public MainWindowTest {
protected:
    void StartWithRefusingArea() {
        CoralvaneServices services = Services();
        services.notificationArea = &area;
        dlg = std::make_unique<TestMainDlg>(services);
        ASSERT_EQ(dlg->Create(), 0);
        dlg->ShowWindow(ShowCommand::Show);
    }
    RefusingNotificationArea area;
};

TEST_F(MainWindowTest, MinimiseButtonClosesSideWindowsAndHidesIntoTheNotificationArea) {
    TestSidePanel& settingsPanel = AddSidePanel(kSideSettings, {350, 445});
    TestSidePanel& help = AddSidePanel(kSideHelp);
    Start();
    host.UserMovesWindow(*dlg, {500, 200});
    host.Click(*dlg, Dlg::kHelpButton);
    host.Click(*dlg, Dlg::kSettingButton);
    ASSERT_EQ(dlg->OpenSidePanelId(), kSideSettings);

    ASSERT_TRUE(host.Click(*dlg, Dlg::kMinimiseButton));
    EXPECT_FALSE(settingsPanel.Window().visible);
    EXPECT_FALSE(help.Window().visible);
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    EXPECT_FALSE(dlg->Window().visible);
    ASSERT_EQ(tray.added.size(), 1u);
    const NotifyIconRecord& icon = tray.added[0];
    EXPECT_EQ(icon.iconId, 128u);
    EXPECT_EQ(icon.flags, 7u);
    EXPECT_EQ(icon.callbackMessage, 0x0440u);
    EXPECT_EQ(icon.iconResource, 128);
    EXPECT_EQ(icon.tip, "Coralvane");

    SendTrayMouse(*dlg, kTrayLeftDoubleClick);
    EXPECT_TRUE(dlg->Window().visible);
    EXPECT_FALSE(tray.IconShown());

    settingsPanel.MoveWindow({0, 0, 350, 445});
    host.Click(*dlg, Dlg::kSettingButton);
    EXPECT_TRUE(settingsPanel.Window().visible);
    EXPECT_EQ(settingsPanel.Window().rect, (Rect{150, 259, 350, 445})) << "docked again";
}

TEST_F(MainWindowTest, NotificationMenuCommands) {
    Start();
    host.Click(*dlg, Dlg::kMinimiseButton);

    tray.chosenCommand = 0;
    SendTrayMouse(*dlg, kTrayRightButtonUp);
    EXPECT_EQ(tray.menus, (std::vector<int>{129}));
    EXPECT_FALSE(dlg->Window().visible);

    tray.chosenCommand = Dlg::kMenuHomePage;
    SendTrayMouse(*dlg, kTrayRightButtonUp);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://coralvane.example/"}));
    EXPECT_TRUE(tray.IconShown());

    for (uint32_t ignored : {0x0200u, 0x0201u, 0x0202u, 0x0204u, 0x0206u}) SendTrayMouse(*dlg, ignored);
    dlg->HandleMessage(0x0441, 128, kTrayLeftDoubleClick);
    EXPECT_EQ(tray.menus.size(), 2u);
    EXPECT_FALSE(dlg->Window().visible);

    tray.chosenCommand = Dlg::kMenuOpenMain;
    SendTrayMouse(*dlg, kTrayRightButtonUp);
    EXPECT_TRUE(dlg->Window().visible);
    EXPECT_FALSE(tray.IconShown());
    EXPECT_EQ(tray.added.size(), 1u);
    EXPECT_EQ(tray.removed, 1);
}

TEST_F(MainWindowTest, ExitFromTheNotificationMenuEndsTheProgramAndTakesTheIconAlong) {
    TestMainDlg main(Services());
    tray.chosenCommand = Dlg::kMenuExit;
    host.AnswerModal([&](CDialog& window) {
        host.Click(window, Dlg::kMinimiseButton);
        SendTrayMouse(window, kTrayRightButtonUp);
    });
    EXPECT_EQ(main.DoModal(), kIdOk);
    EXPECT_EQ(tray.added.size(), 1u);
    EXPECT_FALSE(tray.IconShown()) << "no icon left behind in the notification area";
}

TEST_F(MainWindowTest, StartMinimisedHidesOnceOnTheFirstTick) {
    for (bool minimise : {true, false}) {
        SCOPED_TRACE(minimise);
        tray = FakeNotificationArea{};
        WriteConfig({{"StartupMinimize", minimise ? 1 : 0}});
        Start();
        ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kTimerMinimise));
        EXPECT_EQ(dlg->Window().visible, !minimise);
        EXPECT_EQ(tray.added.size(), minimise ? 1u : 0u);
        EXPECT_EQ(host.IsTimerRunning(*dlg, Dlg::kTimerMinimise), !minimise) << "stops only after hiding";
        dlg.reset();
    }
}

TEST_F(RefusedIconTest, WindowStaysShownWhenTheIconCannotBeAdded) {
    for (bool startMinimised : {false, true}) {
        SCOPED_TRACE(startMinimised ? "start minimised" : "minimise button");
        area = RefusingNotificationArea{};
        WriteConfig({{"StartupMinimize", startMinimised ? 1 : 0}});
        StartWithRefusingArea();
        if (startMinimised) {
            ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kTimerMinimise));
            EXPECT_TRUE(host.IsTimerRunning(*dlg, Dlg::kTimerMinimise)) << "tries again on the next tick";
        } else {
            host.Click(*dlg, Dlg::kMinimiseButton);
        }
        EXPECT_EQ(area.attempts, 1);
        EXPECT_TRUE(dlg->Window().visible);
        EXPECT_FALSE(dlg->InNotificationArea());

        SendTaskbarCreated(*dlg);
        EXPECT_EQ(area.attempts, 1) << "a shown window puts no icon up";

        area.refuse = false;
        host.Click(*dlg, Dlg::kMinimiseButton);
        EXPECT_FALSE(dlg->Window().visible);
        EXPECT_TRUE(dlg->InNotificationArea());
        EXPECT_EQ(area.added.size(), 1u);
        dlg.reset();
    }
}

TEST_F(RefusedIconTest, StartMinimisedHidesOnceTheNotificationAreaTakesTheIconWithin30Seconds) {
    WriteConfig({{"StartupMinimize", 1}});
    StartWithRefusingArea();
    for (int tick = 1; tick <= 299; ++tick) ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kTimerMinimise)) << tick;
    EXPECT_EQ(area.attempts, 299);
    EXPECT_TRUE(dlg->Window().visible);
    area.refuse = false;
    ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kTimerMinimise));
    EXPECT_FALSE(dlg->Window().visible) << "hidden on the 300th tick, 30 s after start";
    EXPECT_TRUE(dlg->InNotificationArea());
    EXPECT_FALSE(host.IsTimerRunning(*dlg, Dlg::kTimerMinimise));
    EXPECT_EQ(area.added.size(), 1u);
    dlg.reset();

    // An area that never takes the icon: the window stays shown and the timer stops after 30 s.
    area = RefusingNotificationArea{};
    StartWithRefusingArea();
    for (int tick = 1; tick <= 300; ++tick) ASSERT_TRUE(host.FireTimer(*dlg, Dlg::kTimerMinimise)) << tick;
    EXPECT_FALSE(host.IsTimerRunning(*dlg, Dlg::kTimerMinimise));
    EXPECT_FALSE(host.FireTimer(*dlg, Dlg::kTimerMinimise));
    EXPECT_EQ(area.attempts, 300);
    EXPECT_TRUE(dlg->Window().visible);
    EXPECT_FALSE(dlg->InNotificationArea());
}

TEST_F(MainWindowTest, NewTaskbarGetsTheIconBackOnlyWhileTheWindowIsHiddenThere) {
    Start();
    SendTaskbarCreated(*dlg);
    EXPECT_TRUE(tray.added.empty());

    host.Click(*dlg, Dlg::kMinimiseButton);
    SendTaskbarCreated(*dlg);
    ASSERT_EQ(tray.added.size(), 2u);
    EXPECT_EQ(tray.added[1].iconId, 128u);
    EXPECT_EQ(tray.added[1].callbackMessage, 0x0440u);
    EXPECT_EQ(tray.added[1].tip, "Coralvane");
    EXPECT_FALSE(dlg->Window().visible);
    EXPECT_TRUE(dlg->InNotificationArea());

    SendTrayMouse(*dlg, kTrayLeftDoubleClick);
    ASSERT_TRUE(dlg->Window().visible);
    SendTaskbarCreated(*dlg);
    EXPECT_EQ(tray.added.size(), 2u);
    EXPECT_EQ(tray.removed, 1);
}

TEST_F(RefusedIconTest, NewTaskbarRefusingTheIconBringsTheWindowBack) {
    StartWithRefusingArea();
    area.refuse = false;
    host.Click(*dlg, Dlg::kMinimiseButton);
    ASSERT_FALSE(dlg->Window().visible);

    area.refuse = true;
    SendTaskbarCreated(*dlg);
    EXPECT_TRUE(dlg->Window().visible);
    EXPECT_FALSE(dlg->InNotificationArea());

    area.refuse = false;
    host.Click(*dlg, Dlg::kMinimiseButton);
    EXPECT_FALSE(dlg->Window().visible);
    EXPECT_EQ(area.added.size(), 2u) << "the next minimise adds the icon afresh";
}

}  // namespace
