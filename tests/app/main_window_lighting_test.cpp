#include <gtest/gtest.h>

#include <memory>

#include "lighting/CLedDlg.h"
#include "main_window_fixture.h"
#include "sim/SimLighting.h"

namespace {

class MainWindowLightingTest : public MainWindowTest {
protected:
    // Puts a controller on the bus of the program's GPU `index` (of the cards given to UseCards).
    void AttachLighting(size_t index, std::unique_ptr<SimI2cDevice> device) {
        auto& gpus = sim.Model().gpus;
        I2cBus(gpus.at(gpus.size() - 1 - index)).Attach(kSimLightingAddress, std::move(device));
    }
    SimRegisterController& RegisterController(size_t index) {
        auto& gpus = sim.Model().gpus;
        return *I2cBus(gpus.at(gpus.size() - 1 - index)).DeviceAs<SimRegisterController>(kSimLightingAddress);
    }
    TestMainDlg& StartDetecting() {
        realDetection = true;
        return Start();
    }
};

}  // namespace

TEST_F(MainWindowLightingTest, StartUpFindsTheRegisterControllerAndKeepsItsStatus) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AttachLighting(0, std::make_unique<SimRegisterController>(std::array<uint8_t, 10>{1, 2, 3, 4, 0x60}));
    TestMainDlg& main = StartDetecting();

    EXPECT_EQ(main.Lighting(), LightingRegister);
    EXPECT_EQ(main.LightingResults().ledStatus, (LedStatus{1, 2, 3, 4, 0x60, 0, 0, 0, 0, 0}));
    EXPECT_EQ(main.accessoryProbes, 0);
    EXPECT_EQ(main.Control(CCoralvaneDlg::kLightingButton).iconNormal, "Vemra_C.ICO");
}

TEST_F(MainWindowLightingTest, ZoneLayoutOneAtStartUpSelectsTheOtherProductLine) {
    UseCards({{0x1B80, "GeForce GTX 1080"}});
    AttachLighting(0, std::make_unique<SimZoneController>(1));
    TestMainDlg& main = StartDetecting();

    EXPECT_EQ(main.Lighting(), LightingZone);
    EXPECT_EQ(main.LightingResults().zoneLayout, 1);
    EXPECT_EQ(main.LightingResults().zoneStatus[kZoneStatusSwitchByte], 1);
    EXPECT_FALSE(main.ProductLineC());
}

TEST_F(MainWindowLightingTest, NothingOnTheCardAsksForTheUsbAccessory) {
    UseCards({{0x1B82, "GeForce GTX 1070 Ti"}});
    accessoryPlugged = true;
    TestMainDlg& main = StartDetecting();

    EXPECT_EQ(main.accessoryProbes, 1);
    EXPECT_EQ(main.Lighting(), LightingUsbAccessory);
    EXPECT_FALSE(main.AccessoryOnCard());
}

TEST_F(MainWindowLightingTest, GpuChangeDetectsAgainUnderTheWaitCursor) {
    UseCards({{0x1B80, "GeForce GTX 1080"}, {0x1B82, "GeForce GTX 1070 Ti"}});
    AttachLighting(0, std::make_unique<SimRegisterController>(std::array<uint8_t, 10>{2, 0, 4, 6, 0xA0}));
    AttachLighting(1, std::make_unique<SimCardAccessoryController>());
    TestMainDlg& main = StartDetecting();
    ASSERT_EQ(main.Lighting(), LightingRegister);

    std::vector<std::pair<CursorShape, bool>> duringPauses;
    clock.onSleep = [&] { duringPauses.emplace_back(host.Cursor(main), main.HasCapture()); };
    host.Click(main, CCoralvaneDlg::kGpuButton0 + 1);

    EXPECT_EQ(main.Lighting(), LightingCardAccessory);
    EXPECT_TRUE(main.AccessoryOnCard());
    EXPECT_EQ(main.LightingResults().ledStatus, LedStatus{});
    EXPECT_EQ(main.LightingResults().cardAccessoryStatus[51], 1);
    ASSERT_FALSE(duringPauses.empty());
    for (const auto& [cursor, captured] : duringPauses) {
        EXPECT_EQ(cursor, CursorShape::Wait);
        EXPECT_TRUE(captured);
    }
    EXPECT_EQ(host.Cursor(main), CursorShape::Arrow);
    EXPECT_FALSE(main.HasCapture());

    // Back to the first card: its controller is found again, with its own status.
    host.Click(main, CCoralvaneDlg::kGpuButton0);
    EXPECT_EQ(main.Lighting(), LightingRegister);
    EXPECT_FALSE(main.AccessoryOnCard());
    EXPECT_EQ(main.LightingResults().ledStatus[0], 2);
}

TEST_F(MainWindowLightingTest, RegisterPageShowsEachCardsStatusAndSendsToTheSelectedCard) {
    UseCards({{0x1B80, "GeForce GTX 1080"}, {0x1B06, "GeForce GTX 1080 Ti"}});
    AttachLighting(0, std::make_unique<SimRegisterController>(std::array<uint8_t, 10>{2, 3, 0, 0, 0xE0}));
    AttachLighting(1, std::make_unique<SimRegisterController>(std::array<uint8_t, 10>{1, 1, 5, 0, 0x20, 1}));
    realPagePanels = true;
    TestMainDlg& main = StartDetecting();
    CLedDlg* page = main.LedPage();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->Window().visible);
    EXPECT_EQ(page->Window().rect, main.PageRect());
    EXPECT_EQ(page->mode, CLedDlg::Cycle);
    EXPECT_TRUE(page->cycleOnDefault);

    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kLightingButton));
    EXPECT_TRUE(page->Window().visible);
    for (int id : {CLedDlg::kModeButton0, CLedDlg::kRow1Colour0 + 4, CLedDlg::kRow2Colour0 + 6,
                   CLedDlg::kBrightness0 + 5, CLedDlg::kApplyButton}) {
        EXPECT_TRUE(host.Click(*page, id)) << id;
    }
    EXPECT_EQ(RegisterController(0).commands, (std::vector<std::array<uint8_t, 4>>{{0xF0, 0x04, 0x06, 0xA0}}));

    // The second card's controller: logo only, breathing yellow, logo dark.
    host.Click(main, CCoralvaneDlg::kGpuButton0 + 1);
    EXPECT_FALSE(page->Window().visible);
    EXPECT_EQ(page->model, 1);
    EXPECT_EQ(page->mode, CLedDlg::Breath);
    EXPECT_EQ(page->colour1, 5);
    EXPECT_FALSE(page->logoLit);
    host.Click(main, CCoralvaneDlg::kLightingButton);
    host.Click(*page, CLedDlg::kLogoButton);
    EXPECT_EQ(RegisterController(1).commands, (std::vector<std::array<uint8_t, 4>>{{0xF7, 0, 0, 0}}));
    EXPECT_EQ(RegisterController(0).commands.size(), 1u);

    // Back to the first card: its controller kept what Apply sent.
    host.Click(main, CCoralvaneDlg::kGpuButton0);
    EXPECT_EQ(page->mode, CLedDlg::Static);
    EXPECT_EQ(page->colour1, 4);
    EXPECT_EQ(page->brightness, 5);
}

TEST_F(MainWindowLightingTest, RegisterPageDefaultFollowsTheStartUpProductLine) {
    UseCards({{0x1B80, "GeForce GTX 1080"}, {0x1B00, "TITAN X"}});
    AttachLighting(0, std::make_unique<SimZoneController>(1));
    AttachLighting(1, std::make_unique<SimRegisterController>(std::array<uint8_t, 10>{2, 3, 0, 0, 0xE0}));
    realPagePanels = true;
    TestMainDlg& main = StartDetecting();
    ASSERT_EQ(main.Lighting(), LightingZone);
    EXPECT_FALSE(main.ProductLineC());

    host.Click(main, CCoralvaneDlg::kGpuButton0 + 1);
    ASSERT_EQ(main.Lighting(), LightingRegister);
    CLedDlg* page = main.LedPage();
    ASSERT_NE(page, nullptr);
    host.Click(main, CCoralvaneDlg::kLightingButton);
    EXPECT_TRUE(page->Window().visible);
    host.Click(*page, CLedDlg::kDefaultButton);
    EXPECT_EQ(RegisterController(1).commands.back(), (std::array<uint8_t, 4>{0xF8, 0, 0, 0}));
    EXPECT_EQ(page->mode, CLedDlg::Static);
    EXPECT_EQ(page->colour1, 6);
    EXPECT_EQ(page->colour2, 6);
}
