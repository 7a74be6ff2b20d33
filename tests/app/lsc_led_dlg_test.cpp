#include <gtest/gtest.h>

#include "lighting/CLscLedDlg.h"
#include "ui/HeadlessHost.h"
#include "zone_test_support.h"

namespace {

constexpr int kFront = CLscLedDlg::kLogo + 1;
constexpr int kRear = CLscLedDlg::kLogo + 2;
constexpr int kStatic = CLscLedDlg::kMode0;
constexpr int kBreath = CLscLedDlg::kMode0 + 1;
constexpr int kCycle = CLscLedDlg::kMode0 + 3;
constexpr int kBlue = CLscLedDlg::kColour0 + 5;

// What App would send for a zone of the page as it stands.
ZoneSequence ApplyZoneOf(const CLscLedDlg& page, int set, int zone) {
    ZoneLightingState copy = page.Lighting();
    return ApplyZone(copy, set, zone);
}

class LscLedDlgTest : public ::testing::Test {
protected:
    HeadlessHost host{CORALVANE_SKIN_DIR};
    RecordingZoneSender sender;
    CLscLedDlg dlg{host, sender};

    void Start(uint8_t layout, const ZoneStatusBytes& status, bool complete = true) {
        ASSERT_EQ(dlg.Create(), 0);
        dlg.SetLayout(layout);
        dlg.TakeZoneStatus(status, complete);
    }
    void Start(uint8_t layout) { Start(layout, PlainZoneStatus(layout)); }
    std::string Icon(int id) const { return dlg.Control(id).iconNormal; }
};

TEST_F(LscLedDlgTest, StartsUnusableUntilAStatusArrives) {
    ASSERT_EQ(dlg.Create(), 0);
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_D.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kApply), "Adv_Apply_D.ico");
    host.Click(dlg, CLscLedDlg::kApply);
    host.Click(dlg, CLscLedDlg::kDefault);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LscLedDlgTest, StatusIsShownWithTheIdleLogoBeingEdited) {
    Start(0);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
    EXPECT_EQ(Icon(kFront), "Lsc_Front.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kIdle), "Lsc_Idle_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kColour0), "Led_Red_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kBrightness0 + 7), "Led_Bright7_H.ico");
    EXPECT_EQ(Icon(kStatic), "Lsc_Static_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kOnOff), "Lsc_On.ico");
    EXPECT_EQ(dlg.Control(CLscLedDlg::kApply).iconHover, "Adv_Apply_H.ico");
}

TEST_F(LscLedDlgTest, ChoicesStayOnThePageUntilApp) {
    Start(0);
    host.Click(dlg, CLscLedDlg::kTurbo);
    host.Click(dlg, kRear);
    host.Click(dlg, kBlue);
    host.Click(dlg, CLscLedDlg::kBrightness0 + 3);
    host.Click(dlg, kStatic);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(Icon(kRear), "Lsc_Rear_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kTurbo), "Lsc_Turbo_C_H.ico");

    host.Click(dlg, CLscLedDlg::kApply);
    ASSERT_EQ(sender.sent.size(), 1u);
    const ZoneSequence& seq = sender.sent[0];
    ASSERT_EQ(seq.size(), 5u);
    EXPECT_EQ(seq[0].payload, (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(seq[1].payload, (std::vector<uint8_t>{2, 0, 0, 127, 1}));
    EXPECT_EQ(seq[3].payload, (std::vector<uint8_t>{2, 0, 0x07, 0x0D, 0x00, 0xF0}));
}

TEST_F(LscLedDlgTest, RowsFollowTheMode) {
    Start(0);
    host.Click(dlg, kBreath);
    EXPECT_EQ(Icon(CLscLedDlg::kColour0), "Led_Red_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kBrightness0 + 7), "Led_Bright7_D.ico");
    // The level still changes while its row looks unavailable.
    host.Click(dlg, CLscLedDlg::kBrightness0 + 2);
    EXPECT_EQ(dlg.Zone(0, 0).brightness, 2);

    host.Click(dlg, kCycle);
    EXPECT_EQ(Icon(CLscLedDlg::kColour0), "Led_Clr_D.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kCustom), "Lsc_Custom_D.ico");
    host.Click(dlg, kBlue);
    EXPECT_EQ(dlg.Zone(0, 0).colourIndex, 0);
    EXPECT_EQ(Icon(kCycle), "Lsc_Cycle_H.ico");
}

TEST_F(LscLedDlgTest, LayoutTwoOffersOnlyTheLogoAndNoWave) {
    Start(2);
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
    EXPECT_EQ(Icon(kFront), "Lsc_Front_D.ico");
    EXPECT_EQ(Icon(kRear), "Lsc_Rear_D.ico");
    host.Click(dlg, kRear);
    host.Click(dlg, CLscLedDlg::kWave);
    host.Click(dlg, CLscLedDlg::kApply);
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0], ApplyZoneOf(dlg, 0, 0));
    EXPECT_EQ(dlg.Zone(0, 0).mode, ZoneStatic);
    EXPECT_TRUE(dlg.Control(CLscLedDlg::kWave).visible);
    EXPECT_EQ(Icon(CLscLedDlg::kWave), "Lsc_Wave_D.ico");
    EXPECT_EQ(dlg.Control(CLscLedDlg::kWave).rect, (Rect{200, 195, 42, 12}));
}

TEST_F(LscLedDlgTest, RainbowOnlyOnLayoutZero) {
    for (uint8_t layout : {0, 1, 2}) {
        HeadlessHost h{CORALVANE_SKIN_DIR};
        CLscLedDlg page{h, sender};
        ASSERT_EQ(page.Create(), 0);
        page.SetLayout(layout);
        page.TakeZoneStatus(PlainZoneStatus(layout), true);
        EXPECT_EQ(page.Control(CLscLedDlg::kRainbow).visible, layout == 0) << int(layout);
    }
}

TEST_F(LscLedDlgTest, WaveReactsOnlyForTheLogo) {
    Start(0);
    host.Click(dlg, kFront);
    host.Click(dlg, CLscLedDlg::kWave);
    EXPECT_EQ(dlg.Zone(0, 1).mode, ZoneStatic);
    host.Click(dlg, CLscLedDlg::kLogo);
    host.Click(dlg, CLscLedDlg::kWave);
    EXPECT_EQ(dlg.Zone(0, 0).mode, ZoneWave);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LscLedDlgTest, LeavingTheJoinedWaveSendsTheLayoutBackAtOnce) {
    Start(1);
    host.Click(dlg, CLscLedDlg::kWave);
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
    EXPECT_EQ(Icon(kFront), "Lsc_Front_D.ico");
    host.Click(dlg, CLscLedDlg::kApply);
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0][1], (ZoneCommand{0x06, {1, 0x03, 0x87, 0}, 0}));
    EXPECT_EQ(sender.sent[0][2], (ZoneCommand{0x06, {0, 0x03, 0xFF, 1}, 0}));

    host.Click(dlg, kStatic);
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[1][1], (ZoneCommand{0x06, {0, 0x03, 0xFF, 0}, 0}));
    EXPECT_EQ(Icon(kFront), "Lsc_Front.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
    // Nothing more to leave.
    host.Click(dlg, kBreath);
    EXPECT_EQ(sender.sent.size(), 2u);
}

TEST_F(LscLedDlgTest, SwitchingOffAndOnSendsOnlyTheSwitches) {
    Start(0);
    host.Click(dlg, CLscLedDlg::kOnOff);
    EXPECT_EQ(Icon(CLscLedDlg::kOnOff), "Lsc_Off.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_D.ico");
    EXPECT_EQ(Icon(kStatic), "Lsc_Static_D.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kDefault), "Adv_Default_D.ico");
    host.Click(dlg, CLscLedDlg::kApply);
    host.Click(dlg, kBlue);
    host.Click(dlg, CLscLedDlg::kOnOff);
    EXPECT_EQ(sender.sent, (std::vector<ZoneSequence>{SwitchAllZones(0), SwitchAllZones(1)}));
    EXPECT_EQ(dlg.Zone(0, 0).colourIndex, 0);
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
}

TEST_F(LscLedDlgTest, DefaultRestoresTheControllerAndThePage) {
    Start(1);
    host.Click(dlg, CLscLedDlg::kTurbo);
    host.Click(dlg, kRear);
    host.Click(dlg, CLscLedDlg::kDefault);
    ASSERT_EQ(sender.sent.size(), 1u);
    ZoneLightingState expected;
    expected.layout = 1;
    EXPECT_EQ(sender.sent[0], RestoreZoneDefaults(expected));
    EXPECT_EQ(dlg.Zone(0, 2).mode, ZoneBreath);
    EXPECT_EQ(Icon(CLscLedDlg::kIdle), "Lsc_Idle_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kLogo), "Lsc_Logo_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kColour0 + 5), "Led_Blue_H.ico");
}

TEST_F(LscLedDlgTest, StatusTakeOverShowsIdleLogoSoAppSendsWhatIsShown) {
    Start(0);
    host.Click(dlg, CLscLedDlg::kTurbo);
    host.Click(dlg, kRear);
    dlg.TakeZoneStatus(PlainZoneStatus(0), true);
    EXPECT_EQ(Icon(CLscLedDlg::kIdle), "Lsc_Idle_H.ico");
    EXPECT_EQ(Icon(CLscLedDlg::kTurbo), "Lsc_Turbo_C.ico");
    host.Click(dlg, CLscLedDlg::kApply);
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0][0].payload, (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(sender.sent[0][1].payload, (std::vector<uint8_t>{0, 255, 0, 0, 1}));
}

TEST_F(LscLedDlgTest, BlankControllerIsProgrammedOnlyFromAWholeReply) {
    Start(0, ZoneStatusBytes{}, false);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(Icon(CLscLedDlg::kColour0 + 5), "Led_Blue_H.ico");
    dlg.TakeZoneStatus(ZoneStatusBytes{}, true);
    EXPECT_EQ(sender.sent, (std::vector<ZoneSequence>{InitialiseZoneController(0)}));
}

}  // namespace
