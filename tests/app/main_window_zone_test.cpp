#include <gtest/gtest.h>

#include <memory>

#include "lighting/CLscAdvanceDlg.h"
#include "lighting/CLscLedDlg.h"
#include "main_window_fixture.h"
#include "panels/CFanVoltDlg.h"
#include "sim/SimLighting.h"

namespace {

constexpr int kFront = CLscLedDlg::kLogo + 1;
constexpr int kRear = CLscLedDlg::kLogo + 2;

class MainWindowZoneTest : public MainWindowTest {
protected:
    // The program's GPU `index` (of the cards given to UseCards) as the simulator holds it.
    SimGpu& Card(size_t index) {
        auto& gpus = sim.Model().gpus;
        return gpus.at(gpus.size() - 1 - index);
    }
    SimZoneController& AttachZone(size_t index, uint8_t layout) {
        I2cBus(Card(index)).Attach(kSimLightingAddress, std::make_unique<SimZoneController>(layout));
        return *I2cBus(Card(index)).DeviceAs<SimZoneController>(kSimLightingAddress);
    }
    TestMainDlg& StartWithZonePage() {
        realDetection = true;
        realPagePanels = true;
        TestMainDlg& main = Start();
        page = main.ZonePage();
        panel = main.FanVoltPanel();
        EXPECT_NE(page, nullptr);
        EXPECT_NE(panel, nullptr);
        return main;
    }
    // The data of every I2C write that reached the card's bus since `from`.
    std::vector<std::vector<uint8_t>> WritesSince(size_t index, size_t from) {
        std::vector<std::vector<uint8_t>> writes;
        const auto& transfers = I2cBus(Card(index)).transfers;
        for (size_t i = from; i < transfers.size(); ++i) {
            if (transfers[i].write) writes.push_back(transfers[i].data);
        }
        return writes;
    }
    size_t Transfers(size_t index) { return I2cBus(Card(index)).transfers.size(); }
    void Click(CDialog& dialog, std::initializer_list<int> ids) {
        for (int id : ids) EXPECT_TRUE(host.Click(dialog, id)) << id;
    }

    CLscLedDlg* page = nullptr;
    CFanVoltDlg* panel = nullptr;
};

TEST_F(MainWindowZoneTest, AppliedZonesReadBackAfterDetectionWithTheEncodingsLosses) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AttachZone(0, 1);
    TestMainDlg& main = StartWithZonePage();
    ASSERT_TRUE(page && panel);
    EXPECT_EQ(page->Zone(0, 0).colourIndex, 6);  // the controller starts white
    EXPECT_TRUE(host.Click(main, CCoralvaneDlg::kLightingButton));
    EXPECT_TRUE(page->Window().visible);

    // Idle: logo strobing cyan at level 1, front breathing red at level 2, rear cycling.
    Click(*page, {CLscLedDlg::kMode0 + 2, CLscLedDlg::kColour0 + 4, CLscLedDlg::kBrightness0 + 1,
                  CLscLedDlg::kApply});
    Click(*page, {kFront, CLscLedDlg::kMode0 + 1, CLscLedDlg::kColour0, CLscLedDlg::kBrightness0 + 2,
                  CLscLedDlg::kApply});
    Click(*page, {kRear, CLscLedDlg::kMode0 + 3, CLscLedDlg::kApply});
    // Turbo: rear static with a custom colour, logo in the joined wave.
    Click(*page, {CLscLedDlg::kTurbo, kRear, CLscLedDlg::kMode0, CLscLedDlg::kCustom});
    ASSERT_EQ(main.OpenSidePanelId(), kSideZoneAdvanced);
    CLscAdvanceDlg* editor = dynamic_cast<CLscAdvanceDlg*>(main.FindSidePanel(kSideZoneAdvanced));
    ASSERT_NE(editor, nullptr);
    host.TypeText(*editor, CLscAdvanceDlg::kRedEdit, "10");
    host.TypeText(*editor, CLscAdvanceDlg::kGreenEdit, "20");
    host.TypeText(*editor, CLscAdvanceDlg::kBlueEdit, "30");
    EXPECT_TRUE(host.Click(*editor, CLscAdvanceDlg::kApplyButton));
    Click(*page, {CLscLedDlg::kLogo, CLscLedDlg::kWave, CLscLedDlg::kApply});
    EXPECT_FALSE(editor->Window().visible);

    // Detection again (the same GPU chosen again), and the page takes the status over.
    EXPECT_TRUE(host.Click(main, CCoralvaneDlg::kGpuButton0));
    ASSERT_EQ(main.Lighting(), LightingZone);
    const ZoneSettings& logo = page->Zone(0, 0);
    EXPECT_EQ(logo.mode, ZoneStrobe);
    EXPECT_EQ(logo.colourIndex, 4);
    EXPECT_EQ(logo.brightness, 1);
    const ZoneSettings& front = page->Zone(0, 1);
    EXPECT_EQ(front.mode, ZoneBreath);
    EXPECT_EQ(front.colourIndex, 0);
    EXPECT_EQ(front.brightness, 7);  // breathing is sent unscaled
    const ZoneSettings& rear = page->Zone(0, 2);
    EXPECT_EQ(rear.mode, ZoneCycle);
    EXPECT_EQ(rear.colourIndex, 6);  // cycling is sent as white
    const ZoneSettings& turboRear = page->Zone(1, 2);
    EXPECT_EQ(turboRear.mode, ZoneStatic);
    EXPECT_EQ(turboRear.Colour(), (ZoneRgb{10, 20, 30}));
    EXPECT_EQ(turboRear.colourIndex, kZoneCustomColour);
    const ZoneSettings& turboLogo = page->Zone(1, 0);
    EXPECT_EQ(turboLogo.mode, ZoneWave);
    EXPECT_EQ(turboLogo.colourIndex, 6);
    EXPECT_EQ(page->Lighting().zoneHighlight[1], 3);
    EXPECT_TRUE(page->Lighting().waveActive[1]);
    EXPECT_TRUE(page->Lighting().lightingOn);
}

TEST_F(MainWindowZoneTest, SwitchingTheLightingOffReadsBackOff) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AttachZone(0, 0);
    TestMainDlg& main = StartWithZonePage();
    ASSERT_TRUE(page);
    host.Click(main, CCoralvaneDlg::kLightingButton);
    EXPECT_TRUE(host.Click(*page, CLscLedDlg::kOnOff));
    host.Click(main, CCoralvaneDlg::kGpuButton0);
    EXPECT_FALSE(page->Lighting().lightingOn);
    EXPECT_EQ(page->Control(CLscLedDlg::kOnOff).iconNormal, "Lsc_Off.ico");
}

TEST_F(MainWindowZoneTest, FanVoltPanelSwapsWithTheZonePageAndItsSwitchSendsFrames) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AttachZone(0, 0);
    TestMainDlg& main = StartWithZonePage();
    ASSERT_TRUE(page && panel);
    EXPECT_TRUE(panel->SwitchOn());  // the controller's status says on

    host.Click(main, CCoralvaneDlg::kLightingButton);
    EXPECT_TRUE(main.Control(CCoralvaneDlg::kScrollUp).visible);
    EXPECT_TRUE(host.Click(main, CCoralvaneDlg::kScrollUp));
    EXPECT_TRUE(panel->Window().visible);
    EXPECT_FALSE(page->Window().visible);
    EXPECT_TRUE(main.Control(CCoralvaneDlg::kScrollDown).visible);

    const size_t from = Transfers(0);
    EXPECT_TRUE(host.Click(*panel, CFanVoltDlg::kSwitch));
    EXPECT_TRUE(host.Click(*panel, CFanVoltDlg::kSwitch));
    using Bytes = std::vector<uint8_t>;
    EXPECT_EQ(WritesSince(0, from),
              (std::vector<Bytes>{
                  {0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, 0x0C, 0x00, 0x01, 0x00, 0xFF, 0x55},
                  {0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, 0x0C, 0x00, 0x01, 0x01, 0xFF, 0x55}}));
    EXPECT_EQ(panel->Control(CFanVoltDlg::kSwitch).iconNormal, "Fv_On.ico");

    EXPECT_TRUE(host.Click(main, CCoralvaneDlg::kScrollDown));
    EXPECT_TRUE(page->Window().visible);
    EXPECT_FALSE(panel->Window().visible);
}

TEST_F(MainWindowZoneTest, EditorClosesOnEveryGpuChange) {
    UseCards({{0x1B80, "GeForce GTX 1080"}, {0x1B00, "TITAN X"}});
    AttachZone(0, 0);
    TestMainDlg& main = StartWithZonePage();
    ASSERT_TRUE(page);
    host.Click(main, CCoralvaneDlg::kLightingButton);
    EXPECT_TRUE(host.Click(*page, CLscLedDlg::kCustom));
    SidePanel* editor = main.FindSidePanel(kSideZoneAdvanced);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Dialog().Window().visible);
    // The editor docks to the main window's left edge.
    EXPECT_EQ(editor->Dialog().Window().rect.Right(), main.Window().rect.left);

    // The second card has no lighting: the editor must not stay to send there.
    host.Click(main, CCoralvaneDlg::kGpuButton0 + 1);
    ASSERT_EQ(main.Lighting(), LightingNone);
    EXPECT_FALSE(editor->Dialog().Window().visible);
    EXPECT_EQ(main.OpenSidePanelId(), kSideNone);
    EXPECT_FALSE(page->EditorOpen());
}

TEST_F(MainWindowZoneTest, BlankControllerIsProgrammedOnceFromItsWholeStatus) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    SimZoneController& zone = AttachZone(0, 2);
    zone.status.fill(0);
    StartWithZonePage();
    const SimZoneController& after = *I2cBus(Card(0)).DeviceAs<SimZoneController>(kSimLightingAddress);
    std::vector<SimFrame> programmed;
    for (const SimFrame& f : after.frames) {
        if (f.command != 0x01 && f.command != 0x0D) programmed.push_back(f);
    }
    const ZoneSequence init = InitialiseZoneController(2);
    ASSERT_EQ(programmed.size(), init.size());
    for (size_t i = 0; i < init.size(); ++i) {
        EXPECT_EQ(programmed[i].command, init[i].code);
        EXPECT_EQ(programmed[i].payload, init[i].payload);
    }
    EXPECT_EQ(after.status[68] << 8 | after.status[69], 0x0001);
}

TEST_F(MainWindowZoneTest, ReplyCutShortNeverProgramsTheController) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    // Answers every read with the start of a status reply and nothing more.
    I2cBus(Card(0)).Attach(kSimLightingAddress,
                           std::make_unique<SimI2cFixedReply>(std::vector<uint8_t>{
                               0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, 0x01, 0x01, 0x90}));
    TestMainDlg& main = StartWithZonePage();
    ASSERT_EQ(main.Lighting(), LightingZone);
    EXPECT_FALSE(main.LightingResults().zoneStatusComplete);
    size_t frames = 0;
    for (const auto& write : WritesSince(0, 0)) frames += write.size() > 4 ? 1 : 0;
    EXPECT_EQ(frames, 2u);  // the layout query and the status request only
}

}  // namespace
