#include <gtest/gtest.h>

#include <string>

#include "gpu/CGpuControl.h"
#include "panels/CInfoDlg.h"
#include "sim/SimDriver.h"
#include "ui/HeadlessHost.h"

namespace {

class InfoDlgTest : public ::testing::Test {
protected:
    void Open() {
        ASSERT_EQ(gpu.EnumGpus(), 0);
        ASSERT_EQ(dlg.Create(), 0);
    }
    std::string Text(int id) const { return dlg.GetItemText(id); }

    SimDriver sim;
    HeadlessHost host{CORALVANE_SKIN_DIR};
    CGpuControl gpu{sim.QueryInterface()};
    CInfoDlg dlg{host, gpu};
};

TEST_F(InfoDlgTest, ShowsTheDefaultCardAtItsPlaces) {
    sim.Model().gpus[0].memoryType = 8;
    sim.Model().gpus[0].memoryMaker = 6;
    Open();
    EXPECT_EQ(dlg.Window().rect.GetSize(), (Size{350, 445}));
    EXPECT_EQ(dlg.Window().backgroundBitmap, 288);
    EXPECT_EQ(dlg.Window().shapeBitmap, 288);
    EXPECT_EQ(Text(CInfoDlg::kGpuNumberLabel), "1");
    EXPECT_EQ(Text(CInfoDlg::kNameLabel), "GeForce GTX 1080");
    EXPECT_EQ(Text(CInfoDlg::kDriverLabel), "ForceWare 411.30");
    EXPECT_EQ(Text(CInfoDlg::kBiosLabel), "86.04.17.00.01");
    EXPECT_EQ(Text(CInfoDlg::kCoresLabel), "2560");
    EXPECT_EQ(Text(CInfoDlg::kMemoryLabel), "8192 MB GDDR5  Hynix");
    EXPECT_EQ(Text(CInfoDlg::kBusWidthLabel), "256 Bit");
    EXPECT_FALSE(Text(CInfoDlg::kBaseClockLabel).empty());
    EXPECT_EQ(Text(CInfoDlg::kVendorLabel), "10de");
    EXPECT_EQ(Text(CInfoDlg::kDeviceLabel), "1b80");
    EXPECT_EQ(Text(CInfoDlg::kSubVendorLabel), "10de");
    EXPECT_EQ(Text(CInfoDlg::kSubsystemLabel), "119e");
    EXPECT_EQ(Text(CInfoDlg::kVersionLabel), "V 2.0.0.023V-Info");

    const ControlState& number = dlg.Control(CInfoDlg::kGpuNumberLabel);
    EXPECT_EQ(number.rect, (Rect{145, 28, 30, 25}));
    EXPECT_EQ(number.font, (FontSpec{"DINPro", 25, 0, 700}));
    EXPECT_EQ(number.textColor, Color(0x01FFFF));
    EXPECT_EQ(dlg.Control(CInfoDlg::kMemoryLabel).rect, (Rect{105, 210, 200, 15}));
    EXPECT_EQ(dlg.Control(CInfoDlg::kSubsystemLabel).rect, (Rect{255, 342, 50, 15}));
    EXPECT_EQ(dlg.Control(CInfoDlg::kNameLabel).font, (FontSpec{"DINPro", 14, 0, 0}));
    EXPECT_EQ(dlg.Control(CInfoDlg::kCloseButton).rect, (Rect{310, 2, 16, 14}));
    EXPECT_EQ(dlg.Control(CInfoDlg::kCloseButton).iconHover, "CloseH.ico");
}

TEST_F(InfoDlgTest, EachFailingLineEmptiesOnlyItself) {
    struct Case {
        uint32_t query;
        int label;
        std::string shown;
    };
    const Case cases[] = {
        {QueryId::GetFullName, CInfoDlg::kNameLabel, ""},
        {QueryId::GetDisplayDriverVersion, CInfoDlg::kDriverLabel, ""},
        {QueryId::GetVbiosVersionString, CInfoDlg::kBiosLabel, ""},
        {QueryId::GetGpuCoreCount, CInfoDlg::kCoresLabel, ""},
        {QueryId::GetPhysicalFrameBufferSize, CInfoDlg::kMemoryLabel, "GDDR5X  Micron"},
        {QueryId::GetMemoryType, CInfoDlg::kMemoryLabel, "8192 MB   Micron"},
        {QueryId::GetMemoryBusWidth, CInfoDlg::kBusWidthLabel, ""},
        {QueryId::GetAllClockFrequencies, CInfoDlg::kBaseClockLabel, ""},
        {QueryId::GetPCIIdentifiers, CInfoDlg::kDeviceLabel, ""},
    };
    Open();
    for (const Case& c : cases) {
        sim.FailAlways(c.query, NvStatus::Error);
        dlg.Fill();
        sim.Model().failures.clear();
        EXPECT_EQ(Text(c.label), c.shown) << c.label;
        EXPECT_EQ(Text(CInfoDlg::kGpuNumberLabel), "1");
        if (c.label != CInfoDlg::kNameLabel) {
            EXPECT_EQ(Text(CInfoDlg::kNameLabel), "GeForce GTX 1080");
        }
        if (c.label != CInfoDlg::kBusWidthLabel) {
            EXPECT_EQ(Text(CInfoDlg::kBusWidthLabel), "256 Bit");
        }
    }
}

TEST_F(InfoDlgTest, UnknownMemoryCodesAndAMissingDriverVersionShowNothing) {
    Open();
    ASSERT_EQ(Text(CInfoDlg::kMemoryLabel), "8192 MB GDDR5X  Micron");
    sim.Model().gpus[0].memoryType = 200;
    sim.Model().gpus[0].memoryMaker = 200;
    sim.Model().driverVersion = 0;
    dlg.Fill();
    EXPECT_EQ(Text(CInfoDlg::kMemoryLabel), "8192 MB   ") << "not the previous card's type and maker";
    EXPECT_EQ(Text(CInfoDlg::kDriverLabel), "");
}

TEST_F(InfoDlgTest, SecondGpuShowsItsNumberAndCloseTellsTheOwner) {
    sim.Model().gpus.push_back(sim.Model().gpus[0]);
    sim.Model().gpus[0].name = "Second";
    Open();
    gpu.currentGpu = 1;
    dlg.OnGpuChanged();
    EXPECT_EQ(Text(CInfoDlg::kGpuNumberLabel), "2");

    struct Owner : SidePanelOwner {
        void CloseSidePanel(int id) override { closed = id; }
        int closed = 0;
    } owner;
    dlg.SetOwner(&owner);
    dlg.ShowWindow(ShowCommand::Show);
    ASSERT_TRUE(host.Click(dlg, CInfoDlg::kCloseButton));
    EXPECT_EQ(owner.closed, kSideInfo);
    EXPECT_FALSE(dlg.Window().visible);
}

}  // namespace
