#include <gtest/gtest.h>

#include "panels/CFanVoltDlg.h"
#include "ui/HeadlessHost.h"
#include "zone_test_support.h"

namespace {

class FanVoltDlgTest : public ::testing::Test {
protected:
    HeadlessHost host{CORALVANE_SKIN_DIR};
    RecordingZoneSender sender;
    CFanVoltDlg dlg{host, sender};

    void SetUp() override { ASSERT_EQ(dlg.Create(), 0); }
};

TEST_F(FanVoltDlgTest, SwitchFollowsStatusAndEachClickSendsTheNewState) {
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kSwitch).iconNormal, "Fv_Off.ico");
    dlg.SetSwitchState(1);
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kSwitch).iconNormal, "Fv_On.ico");
    EXPECT_TRUE(sender.sent.empty());

    EXPECT_TRUE(host.Click(dlg, CFanVoltDlg::kSwitch));
    EXPECT_TRUE(host.Click(dlg, CFanVoltDlg::kSwitch));
    EXPECT_EQ(sender.sent, (std::vector<ZoneSequence>{FanVoltSwitch(0), FanVoltSwitch(1)}));
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kSwitch).iconNormal, "Fv_On.ico");
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kSwitch).iconHover, "Fv_On.ico");
}

TEST_F(FanVoltDlgTest, FailedWriteKeepsTheShownState) {
    sender.result = 1;
    host.Click(dlg, CFanVoltDlg::kSwitch);
    EXPECT_FALSE(dlg.SwitchOn());
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kSwitch).iconNormal, "Fv_Off.ico");
    sender.result = 0;
    host.Click(dlg, CFanVoltDlg::kSwitch);
    EXPECT_TRUE(dlg.SwitchOn());
}

TEST_F(FanVoltDlgTest, InertControlsSendNothing) {
    for (int id :
         {CFanVoltDlg::kDefault1, CFanVoltDlg::kApply1, CFanVoltDlg::kDefault2, CFanVoltDlg::kApply2}) {
        host.Click(dlg, id);
    }
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_FALSE(dlg.Control(CFanVoltDlg::kEdit1).visible);
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kEdit2).text, "0");
    EXPECT_FALSE(dlg.Control(CFanVoltDlg::kSlider1).slider.enabled);
    EXPECT_EQ(dlg.Control(CFanVoltDlg::kApply2).iconNormal, "Vemra_Apply_D.ico");
}

}  // namespace
