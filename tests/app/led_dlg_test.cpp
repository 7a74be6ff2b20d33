#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "gpu/ScenarioText.h"
#include "lighting/CLedDlg.h"
#include "sim/SimDriver.h"
#include "sim/SimLighting.h"
#include "support/SimPacedClock.h"
#include "ui/HeadlessHost.h"

namespace {

using Command = std::array<uint8_t, 4>;

// The register page on a card with a register controller, its sleeps moving the simulator's time.
class LedDlgTest : public ::testing::Test {
protected:
    LedDlgTest() {
        FreezeSimTime(sim.Model(), 0);
        EXPECT_EQ(gpu.EnumGpus(), 0);
    }

    CLedDlg& Open(const LedStatus& status, bool cycleOnDefault = true) {
        dlg = std::make_unique<CLedDlg>(host, gpu, clock);
        EXPECT_EQ(dlg->Create(), 0);
        dlg->SetCycleOnDefault(cycleOnDefault);
        dlg->SetLedStatus(status);
        dlg->ShowWindow(ShowCommand::Show);
        return *dlg;
    }
    SimRegisterController& Controller() {
        return *I2cBus(sim.Model().gpus[0]).DeviceAs<SimRegisterController>(kSimLightingAddress);
    }
    const std::string& Icon(int id) { return dlg->Control(id).iconNormal; }
    void Click(std::initializer_list<int> ids) {
        for (int id : ids) host.Click(*dlg, id);
    }
    // The selected buttons of a row, by index.
    std::vector<int> Selected(int firstId, int count) {
        std::vector<int> selected;
        for (int i = 0; i < count; ++i) {
            if (Icon(firstId + i).find("_H.ico") != std::string::npos) selected.push_back(i);
        }
        return selected;
    }

    SimDriver sim{ScenarioFromText("[gpu]\nlighting = register 02 03 00 00 E0 00 00\n")};
    CGpuControl gpu{sim.QueryInterface()};
    SimPacedClock clock{sim};
    HeadlessHost host{CORALVANE_SKIN_DIR};
    std::unique_ptr<CLedDlg> dlg;
};

constexpr LedStatus kTwoZonesStatic = {2, 0, 4, 6, 0xA0, 0, 0, 0, 0, 0};

}  // namespace

TEST_F(LedDlgTest, ControlsSitAtTheirPlacesOnTheSkin) {
    CLedDlg& page = Open(kTwoZonesStatic);
    EXPECT_EQ(page.Window().templateId, 155);
    EXPECT_TRUE(page.Window().childStyle);
    EXPECT_EQ(page.Window().backgroundBitmap, 158);
    EXPECT_EQ(page.Window().rect.width, 318);
    EXPECT_EQ(page.Window().rect.height, 327);
    struct Place {
        int id;
        Rect rect;
        const char* caption;
    };
    const Place places[] = {
        {1040, {34, 81, 46, 12}, "Static"}, {1041, {34, 108, 68, 12}, "Breath"}, {1042, {34, 136, 52, 12}, "Strobe"},
        {1043, {34, 162, 44, 12}, "Cycle"}, {1044, {220, 81, 52, 14}, "Logo"},   {1045, {220, 121, 52, 14}, "Armor"},
        {1048, {150, 96, 16, 16}, "Red"},   {1054, {270, 96, 16, 16}, "White"},  {1055, {150, 137, 16, 16}, "Red"},
        {1061, {270, 137, 16, 16}, "White"}, {1062, {150, 180, 12, 22}, "0"},    {1069, {276, 180, 12, 22}, "7"},
        {1046, {164, 255, 64, 20}, "Default"}, {1047, {235, 255, 64, 20}, "Apply"},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.id);
        EXPECT_EQ(page.Control(p.id).kind, ControlKind::Button);
        EXPECT_EQ(page.Control(p.id).rect, p.rect);
        EXPECT_EQ(page.Control(p.id).text, p.caption);
    }
    for (int id : {1070, 1071, 1072}) EXPECT_EQ(page.Control(id).kind, ControlKind::Picture);
    EXPECT_EQ(page.Control(1071).rect, (Rect{150, 121, 10, 10}));
}

TEST_F(LedDlgTest, StatusShowsModeColoursBrightnessAndSwitches) {
    Open({2, 0, 4, 6, 0xA0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Icon(1040), "Led_Static_H.ico");
    EXPECT_EQ(Icon(1041), "Led_Breath.ico");
    EXPECT_EQ(Selected(1048, 7), std::vector<int>{4});
    EXPECT_EQ(Selected(1055, 7), std::vector<int>{6});
    EXPECT_EQ(Selected(1062, 8), std::vector<int>{5});
    EXPECT_EQ(Icon(1052), "Led_Blue_H.ico");
    EXPECT_EQ(dlg->Control(1052).iconHover, "Led_Blue_H.ico");
    EXPECT_EQ(Icon(1044), "Led_ON.ico");
    EXPECT_EQ(Icon(1045), "Led_OFF.ico");
    EXPECT_EQ(Icon(1046), "Adv_Default.ico");
    EXPECT_EQ(dlg->Control(1047).iconHover, "Adv_Apply_H.ico");
    EXPECT_EQ(dlg->Control(1070).bitmap, 217);
    EXPECT_EQ(dlg->Control(1071).bitmap, 220);
    EXPECT_EQ(dlg->Control(1072).bitmap, 223);
}

TEST_F(LedDlgTest, RowsFollowTheModeAndTheModel) {
    struct Case {
        const char* name;
        LedStatus status;
        bool row1, row2, brightness;
        int bitmaps[3];
    };
    const Case cases[] = {
        {"static, two zones", {2, 0, 1, 2, 0x20}, true, true, true, {217, 220, 223}},
        {"breath", {2, 1, 1, 2, 0x20}, true, true, false, {217, 220, 221}},
        {"strobe", {2, 2, 1, 2, 0x20}, true, true, false, {217, 220, 221}},
        {"cycle", {2, 3, 1, 2, 0x20}, false, false, false, {215, 218, 221}},
        {"static, logo only", {1, 0, 1, 2, 0x20}, true, false, true, {217, 218, 223}},
        {"unknown mode", {2, 9, 1, 2, 0x20}, false, false, false, {215, 218, 221}},
        {"no controller", {0, 0, 1, 2, 0x20}, false, false, false, {216, 219, 222}},
        {"other model", {3, 0, 1, 2, 0x20}, false, false, false, {216, 219, 222}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.status);
        EXPECT_EQ(dlg->row1Active, c.row1);
        EXPECT_EQ(dlg->row2Active, c.row2);
        EXPECT_EQ(dlg->brightnessActive, c.brightness);
        EXPECT_EQ(Selected(1048, 7).size(), c.row1 ? 1u : 0u);
        EXPECT_EQ(Selected(1055, 7).size(), c.row2 ? 1u : 0u);
        EXPECT_EQ(Selected(1062, 8).size(), c.brightness ? 1u : 0u);
        EXPECT_EQ(dlg->Control(1070).bitmap, c.bitmaps[0]);
        EXPECT_EQ(dlg->Control(1071).bitmap, c.bitmaps[1]);
        EXPECT_EQ(dlg->Control(1072).bitmap, c.bitmaps[2]);
    }
}

TEST_F(LedDlgTest, ApplyInStaticSendsColoursAndBrightnessWithItsPause) {
    Open({2, 3, 0, 0, 0xE0, 0, 0, 0, 0, 0});
    Click({1040, 1052, 1061, 1067});  // Static, Blue, White, brightness 5
    EXPECT_TRUE(Controller().commands.empty());  // nothing is sent before Apply
    clock.sleeps.clear();
    Click({1047});
    EXPECT_EQ(Controller().commands, (std::vector<Command>{{0xF0, 0x04, 0x06, 0xA0}}));
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{500});
    EXPECT_EQ(Controller().status[4], 0xA0);
}

TEST_F(LedDlgTest, ApplySendsTheCommandOfEachMode) {
    struct Case {
        int modeButton;
        Command sent;
    };
    const Case cases[] = {
        {1041, {0xF1, 4, 6, 0x07}},  // Breath ignores the brightness
        {1042, {0xF2, 4, 6, 0x07}},
        {1043, {0xF3, 0, 0, 0}},
    };
    Open(kTwoZonesStatic);
    for (const Case& c : cases) {
        Click({c.modeButton, 1047});
        ASSERT_FALSE(Controller().commands.empty());
        EXPECT_EQ(Controller().commands.back(), c.sent);
    }
    EXPECT_TRUE(Controller().dropped.empty());  // every command waited out the one before
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{500, 500, 500}));
}

TEST_F(LedDlgTest, ClicksOnInactiveRowsChangeNothing) {
    Open({2, 3, 1, 2, 0x20, 0, 0, 0, 0, 0});  // Cycle: every row inactive
    Click({1050, 1057, 1069});
    EXPECT_EQ(dlg->colour1, 1);
    EXPECT_EQ(dlg->colour2, 2);
    EXPECT_EQ(dlg->brightness, 1);

    Open({1, 0, 1, 2, 0x20, 0, 0, 0, 0, 0});  // logo only: row 2 and Armor never react
    Click({1057, 1045});
    EXPECT_EQ(dlg->colour2, 2);
    EXPECT_TRUE(Controller().commands.empty());
    EXPECT_EQ(Icon(1045), "Led_OnOffD.ico");
    Click({1050});
    EXPECT_EQ(dlg->colour1, 2);
}

TEST_F(LedDlgTest, LogoTwiceSendsDarkThenLitWithTheArmorByte) {
    Open({2, 0, 4, 6, 0xA0, 0, 1, 0, 0, 0});
    Click({1044});
    EXPECT_EQ(Icon(1044), "Led_OFF.ico");
    Click({1044});
    EXPECT_EQ(Icon(1044), "Led_ON.ico");
    EXPECT_EQ(Controller().commands, (std::vector<Command>{{0xF7, 1, 1, 0}, {0xF7, 0, 1, 0}}));
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{300, 300}));
    Click({1045});
    EXPECT_EQ(Controller().commands.back(), (Command{0xF7, 0, 0, 0}));
    EXPECT_TRUE(dlg->armorLit);
}

TEST_F(LedDlgTest, FailedWritesKeepTheOldStateOnScreen) {
    Open(kTwoZonesStatic);
    sim.FailFirst(QueryId::I2CWrite, 3, NvStatus::Error);  // all three record versions refused
    Click({1044});
    EXPECT_TRUE(dlg->logoLit);
    EXPECT_EQ(dlg->logoOff, 0);
    EXPECT_EQ(Icon(1044), "Led_ON.ico");
    Click({1044});  // the driver takes it now
    EXPECT_FALSE(dlg->logoLit);
    EXPECT_EQ(Icon(1044), "Led_OFF.ico");

    // A refused Default leaves the page as the controller still is, not at the defaults.
    sim.FailFirst(QueryId::I2CWrite, 3, NvStatus::Error);
    Click({1046});
    EXPECT_EQ(dlg->mode, CLedDlg::Static);
    EXPECT_FALSE(dlg->logoLit);
    EXPECT_EQ(Selected(1048, 7), std::vector<int>{4});
}

TEST_F(LedDlgTest, DefaultSendsF8AndShowsTheDefaultsOfTheProductLine) {
    Open(kTwoZonesStatic, true);
    Click({1044, 1046});
    EXPECT_EQ(Controller().commands, (std::vector<Command>{{0xF7, 1, 0, 0}, {0xF8, 0, 0, 0}}));
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{300, 500}));
    EXPECT_TRUE(Controller().dropped.empty());
    EXPECT_EQ(dlg->mode, CLedDlg::Cycle);
    EXPECT_FALSE(dlg->row1Active || dlg->row2Active || dlg->brightnessActive);
    EXPECT_EQ(Icon(1043), "Led_Cycle_H.ico");
    EXPECT_EQ(Icon(1044), "Led_ON.ico");
    EXPECT_EQ(dlg->brightness, 7);

    Open(kTwoZonesStatic, false);
    Click({1046});
    EXPECT_EQ(dlg->mode, CLedDlg::Static);
    EXPECT_EQ(Selected(1048, 7), std::vector<int>{6});
    EXPECT_EQ(Selected(1055, 7), std::vector<int>{6});
    EXPECT_EQ(Selected(1062, 8), std::vector<int>{7});
}

TEST_F(LedDlgTest, WithoutAControllerEveryButtonIsInertAndGreyed) {
    Open(LedStatus{});
    EXPECT_EQ(dlg->mode, CLedDlg::kUnset);
    EXPECT_EQ(dlg->logoOff, CLedDlg::kUnset);
    for (int id = 1040; id <= 1069; ++id) host.Click(*dlg, id);
    EXPECT_TRUE(Controller().commands.empty());
    EXPECT_EQ(Icon(1040), "Led_Static_D.ico");
    EXPECT_EQ(Icon(1050), "Led_Clr_D.ico");
    EXPECT_EQ(Icon(1062), "Led_Bright0_D.ico");
    EXPECT_EQ(Icon(1044), "Led_OnOffD.ico");
    EXPECT_EQ(Icon(1046), "Adv_Default_D.ico");
    EXPECT_EQ(Icon(1047), "Adv_Apply_D.ico");
}

// A device byte out of range selects nothing (colour 7 would otherwise be the other row's Red)
// and is sent back as it came.
TEST_F(LedDlgTest, OutOfRangeBytesSelectNothingAndAreKept) {
    Open({2, 0, 7, 200, 0xE0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(Selected(1048, 7).empty());
    EXPECT_TRUE(Selected(1055, 7).empty());
    EXPECT_EQ(Selected(1062, 8), std::vector<int>{7});
    Click({1047});
    EXPECT_EQ(Controller().commands.back(), (Command{0xF0, 7, 200, 0xE0}));
}

TEST_F(LedDlgTest, LaterStatusReplacesTheEarlierOne) {
    Open({2, 0, 4, 6, 0xA0, 0, 0, 0, 0, 0});
    dlg->SetLedStatus({2, 1, 1, 1, 0x00, 1, 0, 0, 0, 0});
    EXPECT_EQ(Icon(1044), "Led_OFF.ico");
    EXPECT_EQ(Icon(1041), "Led_Breath_H.ico");
    EXPECT_EQ(Selected(1048, 7), std::vector<int>{1});
}

TEST_F(LedDlgTest, CommandsRunUnderTheWaitCursorWithTheMouseHeld) {
    Open(kTwoZonesStatic);
    std::vector<std::pair<CursorShape, bool>> during;
    clock.onSleep = [&] { during.emplace_back(host.Cursor(*dlg), dlg->HasCapture()); };
    Click({1047, 1044, 1046});
    ASSERT_EQ(during.size(), 3u);
    for (const auto& [cursor, captured] : during) {
        EXPECT_EQ(cursor, CursorShape::Wait);
        EXPECT_TRUE(captured);
    }
    EXPECT_EQ(host.Cursor(*dlg), CursorShape::Arrow);
    EXPECT_FALSE(dlg->HasCapture());
}
