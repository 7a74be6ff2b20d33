#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "accessory/CVemraDlg.h"
#include "accessory/CardAccessoryImport.h"
#include "app/CMsgDlg.h"
#include "card_accessory_status.h"
#include "sim/hid/SimAccessory.h"
#include "support/FakeClock.h"
#include "ui/HeadlessHost.h"

namespace {

using Command = std::vector<uint8_t>;
using Settings = std::array<uint8_t, 10>;

// The accessory's ten settings bytes (Idle front mode, colour, rear mode, colour, the same for Turbo,
// front off, rear off): its defaults, Idle "----" blue / "~" blue, Turbo "----" red / "--" red, lit.
constexpr Settings kReported = SimAccessory::kDefaults;

// The page in a window of its own, with simulated accessories on a simulated HID system.
class VemraDlgTest : public ::testing::Test {
protected:
    VemraDlgTest() {
        AddSimAccessory(hid, accessory, u"A1", 0);
        dlg.SetCardFrameSender([this](const CardFrame& frame) {
            frames.push_back(frame);
            // Every send runs under the wait cursor with the mouse held.
            EXPECT_EQ(host.Cursor(dlg), CursorShape::Wait);
            EXPECT_TRUE(dlg.HasCapture());
        });
    }

    void Create() { ASSERT_EQ(dlg.Create(), 0); }

    void StartOnCard(const std::array<uint8_t, 140>& status) {
        Create();
        dlg.SetLightingTransport(CVemraDlg::kTransportCard);
        dlg.ImportCardLightingState(status);
        frames.clear();
    }

    // Connects as the main window does when it shows the page, lets the connection timer fire and
    // waits (real time, bounded) for the state the reader thread hands to this, the UI thread.
    void StartOnUsb(const Settings& settings = kReported) {
        accessory->SetSettings(settings);
        Create();
        ASSERT_EQ(dlg.ConnectAccessory(), 1);
        ASSERT_TRUE(host.FireTimer(dlg, AccessoryConnection::kConnectionTimer));
        ASSERT_TRUE(WaitForState());
    }
    bool WaitForState() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (dlg.AwaitingAccessoryState()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            host.RunPosted();
        }
        return true;
    }

    std::string Icon(int id) const { return dlg.Control(id).iconNormal; }

    HeadlessHost host{CORALVANE_SKIN_DIR};
    SimHidSystem hid;
    std::shared_ptr<SimAccessory> accessory = std::make_shared<SimAccessory>();
    FakeClock clock;
    CVemraDlg dlg{host, &hid, clock};
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
    Create();
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
    Create();
    EXPECT_TRUE(dlg.AwaitingAccessoryState());
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0_D.ico");
    EXPECT_EQ(Icon(idle.frontPalette0), "Led_Clr_D.ico");
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_OnOffD.ico");
    EXPECT_EQ(Icon(CVemraDlg::kApplyButton), "Adv_Apply_D.ico");
    EXPECT_EQ(dlg.Control(idle.frontSwatch).bitmap, CVemraDlg::kSwatchNotReported);
    // Connected, but the accessory never answers with its state.
    accessory->SetStateMark('X');
    ASSERT_EQ(dlg.ConnectAccessory(), 1);
    for (int id :
         {idle.frontModes[1], idle.rearModes[1], idle.frontColor, idle.frontCycle, CVemraDlg::kFrontSwitch,
          CVemraDlg::kRearSwitch, CVemraDlg::kDefaultButton, CVemraDlg::kApplyButton}) {
        host.Click(dlg, id);
    }
    EXPECT_TRUE(accessory->Commands().empty());
    EXPECT_EQ(dlg.State(), VemraState{});
    // The tabs still work.
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    EXPECT_EQ(dlg.ShownPage(), 1);
    EXPECT_EQ(Icon(CVemraDlg::kTurboTab), "Vemra_Turbo_H.ico");
    EXPECT_TRUE(dlg.Control(turbo.frontModes[0]).visible);
}

TEST_F(VemraDlgTest, UsbReportedStateLocksTheFrontBesideBreathingRear) {
    StartOnUsb();
    EXPECT_EQ(dlg.State().stateKnown, 0);
    EXPECT_EQ(dlg.State().turboRearMode, 1);
    // Idle: "----" beside "~": the other front modes are locked.
    EXPECT_EQ(Icon(idle.frontModes[0]), "Front_Mode0_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[1]), "Front_Mode1_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[2]), "Front_Mode2_D.ico");
    EXPECT_EQ(Icon(idle.frontModes[3]), "Front_Mode3_H.ico");
    EXPECT_EQ(Icon(idle.rearModes[0]), "Rear_Mode0_H.ico");
    EXPECT_EQ(Icon(idle.frontPalette0 + 4), "Led_Blue_H.ico");
    EXPECT_EQ(Icon(CVemraDlg::kApplyButton), "Adv_Apply.ico");
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
    StartOnUsb({1, 4, 1, 4, 3, 0, 0, 0, 0, 0});
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    ASSERT_TRUE(host.Click(dlg, turbo.rearModes[1]));
    EXPECT_EQ(dlg.State().turboRearMode, 1);
    EXPECT_EQ(dlg.State().turboFrontMode, 3);
    EXPECT_EQ(dlg.State().idleFrontMode, 1);
    EXPECT_EQ(Icon(turbo.frontModes[1]), "Front_Mode1.ico");
}

TEST_F(VemraDlgTest, UsbFrontModeBesideBreathingRearTakesTheSteadyRear) {
    // The accessory may report "->->" beside "~": picking another front shows and stores "--".
    StartOnUsb({1, 4, 0, 4, 3, 0, 1, 0, 0, 0});
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
    EXPECT_EQ(accessory->Commands().back(), (Command{0xF0, 3, 7, 0, 4, 0, 0}));
    // Now the palette takes clicks.
    ASSERT_TRUE(host.Click(dlg, idle.frontPalette0 + 1));
    EXPECT_EQ(dlg.State().idleFrontColour, 1);
}

TEST_F(VemraDlgTest, UsbReportedCycleKeepsThePaletteOpenWithCycleSelected) {
    StartOnUsb({3, 4, 0, 7, 3, 0, 1, 0, 0, 0});
    EXPECT_EQ(Icon(idle.rearCycle), "Led_Cycle_H.ico");
    EXPECT_TRUE(dlg.Flags(0).rearPaletteOpen);
    ASSERT_TRUE(host.Click(dlg, idle.rearPalette0 + 5));
    EXPECT_EQ(dlg.State().idleRearColour, 5);
}

TEST_F(VemraDlgTest, UsbButtonsSendTheAccessoryCommands) {
    StartOnUsb();
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));  // Idle
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kFrontSwitch));
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_OFF.ico");
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kTurboTab));
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kApplyButton));
    ASSERT_TRUE(host.Click(dlg, CVemraDlg::kDefaultButton));
    EXPECT_EQ(accessory->Commands(), (std::vector<Command>{{0xF5, 0, 0, 0, 0, 0, 0},
                                                           {0xF0, 3, 4, 0, 4, 0, 0},
                                                           // bytes 3 and 4 keep what 0xF0 left there
                                                           {0xF3, 1, 0, 0, 4, 0, 0},
                                                           {0xF1, 3, 0, 1, 0, 0, 0},
                                                           {0xF4, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(dlg.State().idleFrontOff, 0);
    EXPECT_EQ(Icon(CVemraDlg::kFrontSwitch), "LED_ON.ico");
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{200}));
    EXPECT_TRUE(frames.empty());
}

TEST_F(VemraDlgTest, ListLinesStandForTheirOwnEntries) {
    // Entry 1 is an accessory without a serial number: it gets no line.
    auto unnamed = std::make_shared<SimAccessory>();
    auto b2 = std::make_shared<SimAccessory>();
    AddSimAccessory(hid, unnamed, u"", 1);
    AddSimAccessory(hid, b2, u"B2", 2);
    Create();
    dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
    dlg.SetLightingTransport(CVemraDlg::kTransportUsb);
    EXPECT_EQ(dlg.Control(CVemraDlg::kAccessoryList).items, (std::vector<std::string>{"USB 0", "USB 2"}));
    EXPECT_EQ(dlg.Control(CVemraDlg::kAccessoryList).selection, 0);
    ASSERT_TRUE(host.SelectItem(dlg, CVemraDlg::kAccessoryList, 1));
    EXPECT_EQ(dlg.SelectedEntry(), 2);
    ASSERT_TRUE(host.FireTimer(dlg, AccessoryConnection::kConnectionTimer));
    EXPECT_EQ(b2->Commands().size(), 1u);
    EXPECT_TRUE(unnamed->Commands().empty());
    EXPECT_TRUE(accessory->Commands().empty());

    dlg.SetLightingTransport(CVemraDlg::kTransportCard);
    EXPECT_TRUE(dlg.Control(CVemraDlg::kAccessoryList).items.empty());
}

TEST_F(VemraDlgTest, ConnectingWithoutAccessoryOrToAnOpenFailureSaysSo) {
    hid.Unplug(0);
    Create();
    host.AnswerModal(kIdOk);  // the message has OK and No, either just closes it
    EXPECT_EQ(dlg.ConnectAccessory(), 0);
    hid.Replug(0);
    dlg.Connection().BuildDeviceList();
    hid.Change(0, [](SimHidInterface& it) { it.openError = kHidErrorAccessDenied; });
    host.AnswerModal(kIdOk);
    EXPECT_EQ(dlg.ConnectAccessory(), 0);
    hid.Change(0, [](SimHidInterface& it) {
        it.openError = 0;
        it.heldByOther = SimHidHolder::Exclusive;
    });
    EXPECT_EQ(dlg.ConnectAccessory(), 0);  // in use elsewhere: silent
    ASSERT_EQ(host.ModalRuns().size(), 2u);
    EXPECT_EQ(host.ModalRuns()[0].Text(CMsgDlg::kTextId), "错误：无法找到设备！");
    EXPECT_EQ(host.ModalRuns()[1].Text(CMsgDlg::kTextId), "错误：不能打开HID设备！");
}

}  // namespace
