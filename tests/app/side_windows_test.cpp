#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/MainFanControl.h"
#include "main_window_fixture.h"
#include "panels/CFanAdvanceDlg.h"
#include "panels/CFanCurve.h"
#include "panels/CInfoDlg.h"
#include "help/CHelpDlg.h"
#include "monitor/CMonitorDlg.h"
#include "sim/SimHeat.h"
#include "sim/SimTime.h"

namespace {

using Dlg = CCoralvaneDlg;

class SideWindowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        programSidePanels = true;
        host.SetBitmapSize(CFanAdvanceDlg::kGridBitmap, {291, 291});
    }

    template <class T>
    T* Panel(int id) {
        SidePanel* panel = dlg->FindSidePanel(id);
        return panel ? dynamic_cast<T*>(&panel->Dialog()) : nullptr;
    }

    int StoredFanKey(const std::string& key) {
        SettingValue setting{"CoustomFanSpeed", key, "", -1};
        ConfigFile(folder, dlg->ConfigFileName()).ReadValue(setting);
        return setting.value;
    }

    // The level of the last cooler write, after the fan timer saw `celsius`.
    int FanLevelAt(double celsius) {
        SimHeat& heat = sim.Model().gpus[0].state.Get<SimHeat>();
        heat.running = true;
        heat.temperatureC = celsius;
        heat.lastMs = SimNowMs(sim.Model());
        sim.ClearJournal();
        EXPECT_TRUE(host.FireTimer(*dlg, Dlg::kTimerFan));
        const auto& writes = sim.Calls(QueryId::SetCoolerLevels);
        if (writes.empty()) return -1;
        int32_t level = 0;
        std::memcpy(&level, writes.back().received.data() + 4, 4);
        return level;
    }
};

TEST_F(SideWindowsTest, VersionLabelOpensTheInformationWindowDocked) {
    Start();
    host.UserMovesWindow(*dlg, {500, 120});
    CInfoDlg* info = Panel<CInfoDlg>(kSideInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->IsWindowCreated()) << "created on first use";

    host.MouseDown(*dlg, {60, 90});
    ASSERT_TRUE(info->IsWindowCreated());
    EXPECT_TRUE(info->Window().visible);
    EXPECT_EQ(info->Window().rect, (Rect{150, 179, 350, 445}));
    EXPECT_EQ(info->GetItemText(CInfoDlg::kNameLabel), "GeForce GTX 1080");
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideInfo);

    host.UserMovesWindow(*dlg, {600, 100});
    EXPECT_EQ(info->Window().rect, (Rect{250, 159, 350, 445}));
    ASSERT_TRUE(host.Click(*info, CInfoDlg::kCloseButton));
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    EXPECT_FALSE(info->Window().visible);
}

TEST_F(SideWindowsTest, EachButtonOpensItsWindowDockedOneAtATime) {
    Start();
    host.UserMovesWindow(*dlg, {700, 100});
    struct Case {
        int button;
        int id;
        int closeId;
        Size size;
    };
    const Case cases[] = {
        {Dlg::kMonitorButton, kSideMonitor, CMonitorDlg::kCloseButton, {650, 445}},
        {Dlg::kHelpButton, kSideHelp, CHelpDlg::kCloseButton, {650, 445}},
        {MainFanControl::kFanCurve, kSideFanCurve, CFanAdvanceDlg::kCloseButton, {453, 445}},
    };
    CDialog* previous = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(host.Click(*dlg, c.button));
        CDialog& window = dlg->FindSidePanel(c.id)->Dialog();
        EXPECT_TRUE(window.Window().visible);
        EXPECT_EQ(window.Window().rect, (Rect{700 - c.size.width, 159, c.size.width, c.size.height}));
        EXPECT_EQ(dlg->OpenSidePanelId(), c.id);
        if (previous) {
            EXPECT_FALSE(previous->Window().visible) << "the other one closed";
        }
        previous = &window;
    }
    for (const Case& c : cases) {
        host.Click(*dlg, c.button);
        CDialog& window = dlg->FindSidePanel(c.id)->Dialog();
        ASSERT_TRUE(host.Click(window, c.closeId));
        EXPECT_FALSE(window.Window().visible);
        EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    }
}

TEST_F(SideWindowsTest, EveryGpuChangeRefillsTheInformationWindow) {
    UseCards({{0x1B80, "First"}, {0x1B06, "Second"}});
    Start();
    CInfoDlg* info = Panel<CInfoDlg>(kSideInfo);
    ASSERT_NE(info, nullptr);
    host.Click(*dlg, Dlg::kGpuButton0 + 1);
    ASSERT_TRUE(info->IsWindowCreated()) << "created for the change even though never opened";
    EXPECT_FALSE(info->Window().visible);
    EXPECT_EQ(info->GetItemText(CInfoDlg::kGpuNumberLabel), "2");
    EXPECT_EQ(info->GetItemText(CInfoDlg::kNameLabel), "Second");
    EXPECT_EQ(info->GetItemText(CInfoDlg::kDeviceLabel), "1b06");
    host.Click(*dlg, Dlg::kGpuButton0);
    EXPECT_EQ(info->GetItemText(CInfoDlg::kNameLabel), "First");
}

TEST_F(SideWindowsTest, TranslucencyReachesTheSideWindows) {
    WriteConfig({{"Transparence", 1}, {"TransPercent", 4}});
    Start();
    host.MouseDown(*dlg, {60, 90});
    CInfoDlg* info = Panel<CInfoDlg>(kSideInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(host.Alpha(*info), 50 * 255 / 100);
}

TEST_F(SideWindowsTest, FanCurveEditorAppliesToTheFanAndStoresTheCurve) {
    Start();
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanCurve));
    auto* editor = Panel<CFanAdvanceDlg>(kSideFanCurve);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->Window().visible);
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideFanCurve);
    EXPECT_EQ(editor->Window().rect.Right(), dlg->Window().rect.left);
    EXPECT_EQ(editor->Window().rect.top, dlg->Window().rect.top + 59);

    // Point 3 to 90 % up to 40 °C, applied: stored, and the fan follows it.
    host.MouseDown(*editor, {84 + 100, 74 + 40});
    EXPECT_EQ(editor->WorkingCurve()[3], (FanCurvePoint{1, 4, 1}));
    EXPECT_NE(FanLevelAt(35), 90) << "nothing reaches the fan before Apply";
    ASSERT_TRUE(host.Click(*editor, CFanAdvanceDlg::kApplyButton));
    EXPECT_EQ(StoredFanKey("FanSpeedY3"), 1);
    EXPECT_EQ(StoredFanKey("FanMode"), kFanModeCurve);
    EXPECT_EQ(FanLevelAt(35), 90);

    ASSERT_TRUE(host.Click(*editor, CFanAdvanceDlg::kDefaultButton));
    ASSERT_TRUE(host.Click(*editor, CFanAdvanceDlg::kApplyButton));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(StoredFanKey("FanSpeedX" + std::to_string(i)), i + 1) << i;
        EXPECT_EQ(StoredFanKey("FanSpeedY" + std::to_string(i)), 9 - i) << i;
    }
    EXPECT_EQ(FanLevelAt(35), 40);

    // An edit closed without Apply is gone at the next opening.
    host.MouseDown(*editor, {84 + 100, 74 + 200});
    ASSERT_TRUE(host.Click(*editor, CFanAdvanceDlg::kCloseButton));
    EXPECT_EQ(dlg->OpenSidePanelId(), kSideNone);
    ASSERT_TRUE(host.Click(*dlg, MainFanControl::kFanCurve));
    EXPECT_EQ(editor->ControlAs<CFanCurve>(CFanAdvanceDlg::kCurveControl)->Points(), DefaultFanCurve());
}

}  // namespace
