#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accessory/CVemraDlg.h"
#include "accessory/CardAccessoryImport.h"
#include "card_accessory_status.h"
#include "ui/HeadlessHost.h"

namespace {

// What the page asked the USB side to send, with the state it handed over.
class RecordingPort : public AccessoryCommandPort {
public:
    void SendIdleSetting(const VemraState& state) override { sent.push_back({"idle", state}); }
    void SendTurboSetting(const VemraState& state) override { sent.push_back({"turbo", state}); }
    void SendZoneSwitches(const VemraState& state) override { sent.push_back({"zones", state}); }
    void SendDefaults() override { sent.push_back({"defaults", {}}); }
    struct Sent {
        std::string what;
        VemraState state;
    };
    std::vector<Sent> sent;
};

// The state block of the accessory's reply in the page's codes: Idle "----" blue / "~" blue, Turbo
// "----" red / "--" red, both zones lit.
VemraState ReportedState() {
    VemraState s;
    s.idleFrontMode = 3;
    s.idleFrontColour = 4;
    s.idleRearMode = 0;
    s.idleRearColour = 4;
    s.turboFrontMode = 3;
    s.turboFrontColour = 0;
    s.turboRearMode = 1;
    s.turboRearColour = 0;
    s.idleFrontOff = s.turboFrontOff = 0;
    s.idleRearOff = s.turboRearOff = 0;
    return s;
}

class VemraDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.SetAccessoryCommandPort(&port);
        dlg.SetCardFrameSender([this](const CardFrame& frame) {
            frames.push_back(frame);
            // Every send runs under the wait cursor with the mouse held.
            EXPECT_EQ(host.Cursor(dlg), CursorShape::Wait);
            EXPECT_TRUE(dlg.HasCapture());
        });
        ASSERT_EQ(dlg.Create(), 0);
    }

    void StartOnCard(const std::array<uint8_t, 140>& status) {
        dlg.SetLightingTransport(CVemraDlg::kTransportCard);
        dlg.ImportCardLightingState(status);
        frames.clear();
    }

    void StartOnUsb(const VemraState& reported = ReportedState()) {
        dlg.SetAccessoryEntries({0});
        dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
        dlg.TakeAccessoryState(reported);
    }

    std::string Icon(int id) const { return dlg.Control(id).iconNormal; }

    HeadlessHost host{CORALVANE_SKIN_DIR};
    CVemraDlg dlg{host};
    RecordingPort port;
    CardFrames frames;
    const CVemraDlg::PageIds& idle = CVemraDlg::kIdleIds;
    const CVemraDlg::PageIds& turbo = CVemraDlg::kTurboIds;
};

const SettingBytes kRedSteady{0, 0, 0, 0, 0, 5, kRedRgb, kRedRgb};  // "----" red, "--" red

TEST_F(VemraDlgTest, CardIdleApplyAfterEditingBothZonesSendsTheFrames) {
    StartOnCard(CardStatus(kRedSteady, kRedSteady));
    ASSERT_TRUE(host.Click(dlg, idle.frontModes[1]));  // "->->"
    ASSERT_TRUE(host.Click(dlg, idle.frontCycle));
    ASSERT_TRUE(host.Click(dlg, idle.rearModes[1]));  // "--"
    ASSERT_TRUE(host.Click(dlg, idle.rearColor));
    ASSERT_TRUE(host.Click(dlg, idle.rearPalette0 + 4));  // blue
    EXPECT_TRUE(frames.empty());
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    EXPECT_EQ(frames, (CardFrames{{0x0B, {1, 0}},
                                  {0x09, {1, 0xFF, 0xFF}},
                                  {0x08, {1, 11, 7, 0x0D, 9, 0, 3, 2}},
                                  {0x09, {0, 0xFF, 0xFF}},
                                  {0x08, {0, 0, 0, 0, 0, 0, 0, 0}},
                                  {0x04, {0, 0, 0, 255, 1}},
                                  {0x0B, {0, 0}}}));
    EXPECT_EQ(host.Cursor(dlg), CursorShape::Arrow);
    EXPECT_FALSE(dlg.HasCapture());
}

TEST_F(VemraDlgTest, CardTurboApplySendsTheTurboSetting) {
    StartOnCard(CardStatus(kRedSteady, {0, 0, 0, 8, 0, 5, kBlueRgb, kBlueRgb}));
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    EXPECT_FALSE(dlg.Control(idle.frontModes[0]).visible);
    ASSERT_TRUE(host.Click(dlg, turbo.frontModes[3]));
    ASSERT_TRUE(host.Click(dlg, turbo.frontPalette0));  // red
    ASSERT_TRUE(host.Click(dlg, turbo.rearModes[0]));   // "~": allowed beside any front on the card
    ASSERT_TRUE(host.Click(dlg, turbo.rearPalette0));   // red
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    EXPECT_EQ(frames, ApplyFrames(1, {3, 0, 0, 0}, true, true));
    EXPECT_EQ(frames.front(), (CardFrame{0x0B, {1, 1}}));
    EXPECT_EQ(frames[3], (CardFrame{0x04, {1, 255, 0, 0, 1}}));
}

TEST_F(VemraDlgTest, CardStatusWithoutSettingsRestoresAndSendsTheDefaults) {
    dlg.SetLightingTransport(CVemraDlg::kTransportCard);
    std::array<uint8_t, 140> empty{};
    empty[51] = 1;
    dlg.ImportCardLightingState(empty);
    EXPECT_EQ(frames, DefaultFrames());
    const VemraState& s = dlg.State();
    EXPECT_EQ((AccessorySet{s.idleFrontMode, s.idleFrontColour, s.idleRearMode, s.idleRearColour}),
              DefaultIdleSet());
    EXPECT_EQ((AccessorySet{s.turboFrontMode, s.turboFrontColour, s.turboRearMode, s.turboRearColour}),
              DefaultTurboSet());
    EXPECT_FALSE(dlg.AwaitingAccessoryState());
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_ON.ico");
    EXPECT_EQ(Icon(CVemraDlg::kApplyButton), "Adv_Apply.ico");
    EXPECT_EQ(Icon(idle.frontModes[3]), "Front_Mode3_H.ico");
}

TEST_F(VemraDlgTest, CardColourThatMatchesNothingShowsAsNotRecognised) {
    StartOnCard(CardStatus({0, 0, 0, 0, 0, 5, kRedRgb, kOrangeRgb}, kRedSteady));
    EXPECT_EQ(dlg.State().idleFrontColour, kNotRecognised);
    // No chip is marked, none is unavailable.
    EXPECT_EQ(Icon(idle.frontPalette0), "Led_Red.ico");
    EXPECT_EQ(Icon(idle.frontPalette0 + 6), "Led_White.ico");
    EXPECT_EQ(Icon(idle.frontColor), "Led_Color.ico");
    EXPECT_EQ(Icon(idle.frontCycle), "Led_Cycle.ico");
    EXPECT_EQ(dlg.Control(idle.frontSwatch).bitmap, CVemraDlg::kSwatchNotReported);
    EXPECT_TRUE(dlg.Flags(0).frontPaletteOpen);

    // Apply leaves the front colour alone; a chip then gives it a colour again.
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    for (const CardFrame& frame : frames) EXPECT_FALSE(frame.command == 0x04 && frame.payload[0] == 1);
    ASSERT_TRUE(host.Click(dlg, idle.frontPalette0 + 2));
    EXPECT_EQ(dlg.State().idleFrontColour, 2);
    EXPECT_EQ(Icon(idle.frontPalette0 + 2), "Led_Green_H.ico");
    EXPECT_EQ(Icon(idle.frontColor), "Led_Color_H.ico");
}

TEST_F(VemraDlgTest, CardZoneSwitchesSendBothSettingsAndRerenderCyclingOnes) {
    // Idle: both zones cycling beside a steady rear; Turbo plain.
    StartOnCard(CardStatus({0, 0, 0, 3, 3, 1, kRedRgb, kRedRgb}, kRedSteady));
    ASSERT_EQ(dlg.State().idleFrontColour, kColourCycle);
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kFrontSwitch));
    EXPECT_EQ(frames, FrontSwitchFrames(false, {3, 7, 1, 7}, {3, 0, 1, 0}));
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_OFF.ico");
    EXPECT_EQ(dlg.State().idleFrontOff, 1);

    // Apply with the dark front leaves it out.
    frames.clear();
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    EXPECT_EQ(frames.front(), (CardFrame{0x09, {0, 0, 0}}));
    EXPECT_EQ(frames, ApplyFrames(0, {3, 7, 1, 7}, false, true));

    frames.clear();
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kRearSwitch));
    EXPECT_EQ(frames, RearSwitchFrames(false, {3, 7, 1, 7}, {3, 0, 1, 0}));
    EXPECT_EQ(Icon(CVemraDlg::kRearSwitch), "LED_OFF.ico");
}

TEST_F(VemraDlgTest, NothingChangesOrSendsUntilTheAccessoryReports) {
    dlg.SetAccessoryEntries({0});
    dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
    EXPECT_TRUE(dlg.AwaitingAccessoryState());
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0_D.ico");
    EXPECT_EQ(Icon(idle.frontPalette0), "Led_Clr_D.ico");
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_OnOffD.ico");
    EXPECT_EQ(Icon(CVemraDlg::kApplyButton), "Adv_Apply_D.ico");
    EXPECT_EQ(dlg.Control(idle.frontSwatch).bitmap, CVemraDlg::kSwatchNotReported);
    for (int id :
         {idle.frontModes[1], idle.rearModes[1], idle.frontColor, idle.frontCycle, CVemraDlg::kFrontSwitch,
          CVemraDlg::kRearSwitch, CVemraDlg::kDefaultButton, CVemraDlg::kApplyButton}) {
        host.Click(dlg, id);
    }
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(dlg.State(), VemraState{});
    // The tabs still work.
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    EXPECT_EQ(dlg.ShownPage(), 1);
    EXPECT_EQ(Icon(CVemraDlg::kTurboTab), "Vemra_Turbo_H.ico");
    EXPECT_TRUE(dlg.Control(turbo.frontModes[0]).visible);
}

TEST_F(VemraDlgTest, UsbReportedStateLocksTheFrontBesideBreathingRear) {
    StartOnUsb();
    EXPECT_FALSE(dlg.AwaitingAccessoryState());
    EXPECT_EQ(dlg.State().stateKnown, 0);
    // Idle: "----" beside "~": the other front modes are locked.
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[1]), "Front_Mode1_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[2]), "Front_Mode2_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[3]), "Front_Mode3_H.ico");
    EXPECT_EQ(Icon(idle.rearModes[0]), "Rear_Mode0_H.ico");
    EXPECT_EQ(Icon(idle.frontPalette0 + 4), "Led_Blue_H.ico");
    ASSERT_TRUE(host.Click(dlg, idle.frontModes[0]));
    EXPECT_EQ(dlg.State().idleFrontMode, 3);

    // "--" frees the front again at "----".
    ASSERT_TRUE(host.Click(dlg, idle.rearModes[1]));
    EXPECT_EQ(dlg.State().idleRearMode, 1);
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0.ico");
    ASSERT_TRUE(host.Click(dlg, idle.frontModes[0]));
    EXPECT_EQ(dlg.State().idleFrontMode, 0);
    // Beside "->" the rear "~" is unavailable and ignores clicks.
    EXPECT_EQ(Icon(idle.rearModes[0]), "Rear_Mode0_D.ico");
    ASSERT_TRUE(host.Click(dlg, idle.rearModes[0]));
    EXPECT_EQ(dlg.State().idleRearMode, 1);
}

TEST_F(VemraDlgTest, UsbRearSteadyOnTurboPageSetsOnlyTheTurboFront) {
    VemraState reported = ReportedState();
    reported.turboRearMode = 0;
    reported.turboFrontMode = 3;
    reported.idleFrontMode = 1;
    reported.idleRearMode = 1;
    StartOnUsb(reported);
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    ASSERT_TRUE(host.Click(dlg, turbo.rearModes[1]));
    EXPECT_EQ(dlg.State().turboRearMode, 1);
    EXPECT_EQ(dlg.State().turboFrontMode, 3);
    EXPECT_EQ(dlg.State().idleFrontMode, 1);
    EXPECT_EQ(Icon(turbo.frontModes[1]), "Front_Mode1.ico");
}

TEST_F(VemraDlgTest, UsbFrontModeBesideBreathingRearTakesTheSteadyRear) {
    // A reported "->->" beside "~" (the accessory's own state): picking another front shows and stores "--".
    VemraState reported = ReportedState();
    reported.idleFrontMode = 1;
    StartOnUsb(reported);
    ASSERT_TRUE(host.Click(dlg, idle.frontModes[3]));
    EXPECT_EQ(dlg.State().idleRearMode, 1);
    EXPECT_EQ(Icon(idle.rearModes[1]), "Rear_Mode1_H.ico");
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0.ico");
    EXPECT_TRUE(dlg.Flags(0).frontModesOn);
}

TEST_F(VemraDlgTest, UsbCycleClosesThePaletteUntilColorAndApplySendsTheCycle) {
    StartOnUsb();
    ASSERT_TRUE(host.Click(dlg, idle.frontCycle));
    EXPECT_EQ(dlg.State().idleFrontColour, kColourCycle);
    EXPECT_EQ(Icon(idle.frontCycle), "Led_Cycle_H.ico");
    EXPECT_EQ(dlg.Control(idle.frontSwatch).bitmap, CVemraDlg::kSwatchCycle);
    ASSERT_TRUE(host.Click(dlg, idle.frontPalette0 + 1));
    EXPECT_EQ(dlg.State().idleFrontColour, kColourCycle);
    ASSERT_TRUE(host.Click(dlg, idle.frontColor));
    EXPECT_EQ(dlg.State().idleFrontColour, kColourCycle);
    EXPECT_EQ(Icon(idle.frontColor), "Led_Color_H.ico");
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].what, "idle");
    EXPECT_EQ(port.sent[0].state.idleFrontColour, kColourCycle);
    // Now the palette takes clicks.
    ASSERT_TRUE(host.Click(dlg, idle.frontPalette0 + 1));
    EXPECT_EQ(dlg.State().idleFrontColour, 1);
}

TEST_F(VemraDlgTest, UsbReportedCycleKeepsThePaletteOpenWithCycleSelected) {
    VemraState reported = ReportedState();
    reported.idleRearColour = kColourCycle;
    StartOnUsb(reported);
    EXPECT_EQ(Icon(idle.rearCycle), "Led_Cycle_H.ico");
    EXPECT_TRUE(dlg.Flags(0).rearPaletteOpen);
    ASSERT_TRUE(host.Click(dlg, idle.rearPalette0 + 5));
    EXPECT_EQ(dlg.State().idleRearColour, 5);
}

TEST_F(VemraDlgTest, UsbButtonsSendTheirCommands) {
    StartOnUsb();
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kFrontSwitch));
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_OFF.ico");
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kDefaultButton));
    ASSERT_EQ(port.sent.size(), 3u);
    EXPECT_EQ(port.sent[0].what, "turbo");
    EXPECT_EQ(port.sent[1].what, "zones");
    EXPECT_EQ(port.sent[1].state.idleFrontOff, 1);
    EXPECT_EQ(port.sent[1].state.idleRearOff, 0);
    EXPECT_EQ(port.sent[2].what, "defaults");
    EXPECT_EQ(dlg.State().idleFrontOff, 0);
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_ON.ico");
    EXPECT_TRUE(frames.empty());
}

TEST_F(VemraDlgTest, ListLinesStandForTheirOwnEntries) {
    dlg.SetAccessoryEntries({0, 2});  // entry 1 has no serial number: no line
    dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
    dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
    EXPECT_EQ(dlg.Control(CVemraDlg::kAccessoryList).items, (std::vector<std::string>{"USB 0", "USB 2"}));
    EXPECT_EQ(dlg.Control(CVemraDlg::kAccessoryList).selection, 0);
    ASSERT_TRUE(host.SelectItem(dlg, CVemraDlg::kAccessoryList, 1));
    EXPECT_EQ(dlg.SelectedEntry(), 2);

    dlg.SetLightingTransport(CVemraDlg::kTransportCard);
    EXPECT_TRUE(dlg.Control(CVemraDlg::kAccessoryList).items.empty());
}

}  // namespace
