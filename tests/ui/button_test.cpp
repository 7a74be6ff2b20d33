#include <gtest/gtest.h>

#include "controls/CButtonST.h"
#include "ui/HeadlessHost.h"

namespace {

class ButtonDlg : public CDialog {
public:
    explicit ButtonDlg(UiHost& host) : CDialog(host, 900) {
        Add<CButtonST>(1000, Rect{380, 100, 110, 34}).SetIcons("Advance.ICO", "AdvanceH.ICO");
        Add<CButtonST>(1001, Rect{510, 100, 110, 34}).SetIcon("VemraD.ICO");
    }
    void OnCommand(int id) override { clicks.push_back(id); }
    std::vector<int> clicks;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dlg.Create(), 0);
        dlg.ShowWindow(ShowCommand::Show);
    }
    HeadlessHost host;
    ButtonDlg dlg{host};
};

TEST_F(ButtonTest, HoverFollowsThePointerInAndOut) {
    const ControlState& adv = dlg.Control(1000);
    EXPECT_EQ(adv.iconNormal, "Advance.ICO");
    EXPECT_EQ(adv.iconHover, "AdvanceH.ICO");
    EXPECT_EQ(dlg.Control(1001).iconHover, "VemraD.ICO");
    EXPECT_FALSE(adv.hover);

    host.MouseMove(dlg, {400, 110});
    EXPECT_TRUE(dlg.Control(1000).hover);
    host.MouseMove(dlg, {401, 111});
    EXPECT_TRUE(dlg.Control(1000).hover);

    host.MouseMove(dlg, {520, 110});  // straight onto the neighbour
    EXPECT_FALSE(dlg.Control(1000).hover);
    EXPECT_TRUE(dlg.Control(1001).hover);

    host.MouseLeave(dlg);  // out of the window
    EXPECT_FALSE(dlg.Control(1001).hover);

    host.MouseMove(dlg, {400, 110});
    host.MouseMove(dlg, {10, 10});  // the bare surface
    EXPECT_FALSE(dlg.Control(1000).hover);
}

TEST_F(ButtonTest, DisabledButtonNeitherHoversNorClicks) {
    dlg.EnableItem(1000, false);
    host.MouseMove(dlg, {400, 110});
    EXPECT_FALSE(dlg.Control(1000).hover);
    EXPECT_FALSE(host.Click(dlg, 1000));
    dlg.EnableItem(1000, true);
    EXPECT_TRUE(host.Click(dlg, 1000));
    EXPECT_EQ(dlg.clicks, std::vector<int>{1000});
}

}  // namespace
