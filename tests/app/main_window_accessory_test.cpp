#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "accessory/CVemraDlg.h"
#include "accessory/CardAccessoryFrames.h"
#include "main_window_fixture.h"
#include "sim/SimLighting.h"
#include "sim/hid/SimAccessory.h"

namespace {

using Command = std::vector<uint8_t>;

std::vector<SimFrame> AsSimFrames(const CardFrames& frames) {
    std::vector<SimFrame> out;
    for (const CardFrame& frame : frames) out.push_back({frame.command, frame.payload});
    return out;
}

// The main window with its real accessory page, lighting detection and accessory probe, on
// simulated cards and a simulated HID system.
class MainWindowAccessoryTest : public MainWindowTest {
protected:
    MainWindowAccessoryTest() {
        realDetection = true;
        realPagePanels = true;
        realAccessoryProbe = true;
        hid = &hidSystem;
    }

    SimCardAccessoryController& AttachCardAccessory() {
        auto& gpu = sim.Model().gpus.back();  // the program's GPU 0
        I2cBus(gpu).Attach(kSimLightingAddress, std::make_unique<SimCardAccessoryController>());
        return *I2cBus(gpu).DeviceAs<SimCardAccessoryController>(kSimLightingAddress);
    }
    SimCardAccessoryController& CardController() {
        return *I2cBus(sim.Model().gpus.back()).DeviceAs<SimCardAccessoryController>(kSimLightingAddress);
    }

    CVemraDlg& Page() { return *dynamic_cast<CVemraDlg*>(dlg->FindPagePanel(kPageVemra)); }

    // The lighting button on a USB accessory: connect, the connection timer, then the state the
    // reader thread reads (real time, bounded), applied on this, the UI thread.
    void OpenUsbPage() {
        ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kLightingButton));
        ASSERT_TRUE(host.FireTimer(Page(), AccessoryConnection::kConnectionTimer));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Page().AwaitingAccessoryState()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no state from the accessory";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            host.RunPosted();
        }
    }

    void ExpectHandedBack() {
        EXPECT_EQ(dlg->CurrentPage(), 0);
        EXPECT_EQ(dlg->Lighting(), LightingNone);
        EXPECT_TRUE(PageShown(kPageAdvance));
        EXPECT_FALSE(PageShown(kPageVemra));
        EXPECT_EQ(dlg->Control(CCoralvaneDlg::kLightingButton).iconNormal, "VemraD.ICO");
        EXPECT_EQ(dlg->Control(CCoralvaneDlg::kLightingButton).iconHover, "VemraD.ICO");
    }

    SimHidSystem hidSystem;
    std::shared_ptr<SimAccessory> a1 = std::make_shared<SimAccessory>();
    std::shared_ptr<SimAccessory> b2 = std::make_shared<SimAccessory>();
};

TEST_F(MainWindowAccessoryTest, CardControllerGetsTheFramesOfTheChangedFrontZone) {
    UseCards({{0x1B82, "GeForce GTX 1070 Ti"}});
    AttachCardAccessory();  // Idle: "----" red beside a steady blue rear
    Start();
    ASSERT_EQ(dlg->Lighting(), LightingCardAccessory);
    CVemraDlg& page = Page();
    EXPECT_EQ(page.Transport(), CVemraDlg::kTransportCard);
    EXPECT_FALSE(page.AwaitingAccessoryState());
    EXPECT_TRUE(page.Control(CVemraDlg::kAccessoryList).items.empty());

    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kLightingButton));
    EXPECT_TRUE(PageShown(kPageVemra));
    EXPECT_FALSE(PageShown(kPageAdvance));
    EXPECT_TRUE(dlg->calls.empty() || dlg->calls.back() != "ConnectAccessory");
    CardController().frames.clear();
    const size_t otherWrites = CardController().otherWrites;
    ASSERT_TRUE(host.Click(page, CVemraDlg::kIdleIds.frontModes[1]));
    ASSERT_TRUE(host.Click(page, CVemraDlg::kIdleIds.frontCycle));
    ASSERT_TRUE(host.Click(page, CVemraDlg::kApplyButton));
    EXPECT_EQ(CardController().frames, (std::vector<SimFrame>{{0x0B, {1, 0}},
                                                              {0x09, {1, 0xFF, 0xFF}},
                                                              {0x08, {1, 11, 7, 0x0D, 9, 0, 3, 2}},
                                                              {0x09, {0, 0xFF, 0xFF}},
                                                              {0x08, {0, 0, 0, 0, 0, 0, 0, 0}},
                                                              {0x04, {0, 0, 0, 255, 1}},
                                                              {0x0B, {0, 0}}}));
    EXPECT_EQ(CardController().otherWrites, otherWrites);
}

TEST_F(MainWindowAccessoryTest, CardControllerWithoutSettingsGetsTheDefaults) {
    UseCards({{0x1B82, "GeForce GTX 1070 Ti"}});
    SimCardAccessoryController& controller = AttachCardAccessory();
    controller.status[38] = controller.status[39] = controller.status[49] = controller.status[50] = 0;
    Start();
    const std::vector<SimFrame>& frames = CardController().frames;
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front().command, kFrameStatusRequest);
    EXPECT_EQ(std::vector<SimFrame>(frames.begin() + 1, frames.end()), AsSimFrames(DefaultFrames()));
    EXPECT_EQ(Page().State().idleFrontColour, 4);
}

TEST_F(MainWindowAccessoryTest, UsbAccessoryPageConnectsAndApplies) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AddSimAccessory(hidSystem, a1, u"A1", 0);
    Start();
    ASSERT_EQ(dlg->Lighting(), LightingUsbAccessory);
    EXPECT_EQ(Page().Transport(), CVemraDlg::kTransportUsb);
    EXPECT_EQ(Page().Control(CVemraDlg::kAccessoryList).items, (std::vector<std::string>{"USB 0"}));
    OpenUsbPage();
    EXPECT_TRUE(PageShown(kPageVemra));
    EXPECT_EQ(Page().State().idleRearMode, 0);
    ASSERT_TRUE(host.Click(Page(), CVemraDlg::kApplyButton));
    EXPECT_EQ(a1->Commands(), (std::vector<Command>{{0xF5, 0, 0, 0, 0, 0, 0}, {0xF0, 3, 4, 0, 4, 0, 0}}));

    // Closing the program shuts the connection down.
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kCloseButton));
    EXPECT_FALSE(Page().Connection().IsOpen());
}

TEST_F(MainWindowAccessoryTest, UnplugHandsBackOnlyForTheConnectedAccessoryAndReplugIsFoundAgain) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    const int first = AddSimAccessory(hidSystem, a1, u"A1", 0);
    const int second = AddSimAccessory(hidSystem, b2, u"B2", 1);
    Start();
    OpenUsbPage();

    // Another accessory goes: the open one still answers, nothing changes.
    hidSystem.Unplug(second);
    host.SendDeviceChange(Page(), AccessoryConnection::kDeviceRemoveComplete,
                          AccessoryConnection::kDeviceTypeInterface);
    EXPECT_EQ(dlg->Lighting(), LightingUsbAccessory);
    EXPECT_TRUE(PageShown(kPageVemra));
    EXPECT_TRUE(Page().Connection().IsOpen());

    // The connected one goes: back to the overclock page, no lighting.
    hidSystem.Unplug(first);
    host.SendDeviceChange(Page(), AccessoryConnection::kDeviceRemoveComplete,
                          AccessoryConnection::kDeviceTypeInterface);
    ExpectHandedBack();
    EXPECT_FALSE(Page().Connection().IsOpen());
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kLightingButton));
    EXPECT_EQ(dlg->CurrentPage(), 0);

    // Plugged in again: the next GPU selection finds it and the page reconnects.
    hidSystem.Replug(first);
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kGpuButton0));
    ASSERT_EQ(dlg->Lighting(), LightingUsbAccessory);
    EXPECT_TRUE(Page().AwaitingAccessoryState());
    OpenUsbPage();
    EXPECT_TRUE(Page().Connection().IsOpen());
    EXPECT_EQ(Page().Control(CVemraDlg::kAccessoryList).items, (std::vector<std::string>{"USB 0"}));
    ASSERT_TRUE(host.Click(Page(), CVemraDlg::kDefaultButton));
    EXPECT_EQ(a1->Commands().back(), (Command{0xF4, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(b2->Commands().empty());
}

TEST_F(MainWindowAccessoryTest, SwitchingTheCardLeavesNoUsbReaderRunning) {
    UseCards({{0x1B80, "GeForce GTX 1080"}, {0x1B82, "GeForce GTX 1070 Ti"}});
    AddSimAccessory(hidSystem, a1, u"A1", 0);
    // The accessory-model controller sits on the second card.
    I2cBus(sim.Model().gpus.front())
        .Attach(kSimLightingAddress, std::make_unique<SimCardAccessoryController>());
    a1->SetStateMark('X');  // the reader keeps waiting for a state
    Start();
    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kLightingButton));
    ASSERT_TRUE(host.FireTimer(Page(), AccessoryConnection::kConnectionTimer));
    ASSERT_TRUE(Page().Connection().IsOpen());

    ASSERT_TRUE(host.Click(*dlg, CCoralvaneDlg::kGpuButton0 + 1));
    ASSERT_EQ(dlg->Lighting(), LightingCardAccessory);
    EXPECT_EQ(Page().Transport(), CVemraDlg::kTransportCard);
    EXPECT_FALSE(Page().Connection().IsOpen());
    EXPECT_FALSE(Page().AwaitingAccessoryState());
}

}  // namespace
