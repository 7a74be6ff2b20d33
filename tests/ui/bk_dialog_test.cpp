#include <gtest/gtest.h>

#include "BmpFixture.h"
#include "controls/CBkDialogST.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "controls/CPrettifyEdit.h"
#include "ui/HeadlessHost.h"

namespace {

class SkinDlg : public CBkDialogST {
public:
    explicit SkinDlg(UiHost& host) : CBkDialogST(host, 288) {}
    void OnInitDialog() override {
        SetWindowSize(350, 445);
        SetBitmap(288);
        ShapeFromBitmap(288);
        Add<CButtonST>(1179, Rect{312, 2, 16, 14});
        Add<CLabel>(1160, Rect{100, 40, 200, 14});
    }
};

TEST(BkDialog, BackgroundShapeAndEasyMove) {
    TempSkin skin;
    skin.Write(288, MakeBmp24(SolidImage(350, 445, Rgb(20, 30, 40))));
    HeadlessHost host(skin.Path());
    SkinDlg dlg(host);
    ASSERT_EQ(dlg.Create(), 0);
    dlg.ShowWindow(ShowCommand::Show);

    EXPECT_EQ(dlg.BackgroundSize(), (Size{350, 445}));
    EXPECT_EQ(dlg.Window().backgroundBitmap, 288);
    EXPECT_TRUE(dlg.Window().backgroundTiled);
    EXPECT_EQ(dlg.Window().shapeBitmap, 288);
    EXPECT_TRUE(dlg.Window().transparentStatics);

    host.MouseDown(dlg, {50, 50});
    EXPECT_EQ(host.WindowMoveStarts(dlg), 0);  // easy move is off at first
    dlg.SetEasyMove(true);
    host.MouseDown(dlg, {50, 50});
    host.MouseDown(dlg, {150, 45});  // on the label: statics let the press through
    host.MouseDown(dlg, {50, 50}, MouseButton::Right);
    host.MouseDown(dlg, {315, 5});  // on the button: no move
    EXPECT_EQ(host.WindowMoveStarts(dlg), 2);
    host.DoubleClick(dlg, {50, 50});  // a quick second press moves the window too
    EXPECT_EQ(host.WindowMoveStarts(dlg), 3);
}

TEST(BkDialog, LabelSetTextRepaintsTheAreaUnderIt) {
    HeadlessHost host;
    SkinDlg dlg(host);
    ASSERT_EQ(dlg.Create(), 0);
    auto* label = dlg.ControlAs<CLabel>(1160);
    ASSERT_NE(label, nullptr);
    const ControlState& s = dlg.Control(1160);
    EXPECT_TRUE(s.ownColors);
    EXPECT_FALSE(s.textColor.has_value());  // the system's colours until set
    EXPECT_FALSE(s.backColor.has_value());
    EXPECT_TRUE(s.font.IsDefault());

    label->SetText("1860 MHz").SetTextColor(0x01FFFF).SetFontName("DINPro").SetFontSize(11).SetFontBold(true);
    EXPECT_EQ(s.text, "1860 MHz");
    EXPECT_EQ(s.textColor, Color(0x01FFFF));
    EXPECT_EQ(s.font, (FontSpec{"DINPro", 11, 0, 700}));
    EXPECT_EQ(host.InvalidateCount(dlg, 1160), 1);
}

TEST(BkDialog, PrettifyEditStartsWithItsDocumentedLook) {
    HeadlessHost host;
    SkinDlg dlg(host);
    auto& edit = dlg.Add<CPrettifyEdit>(1224, Rect{0, 0, 30, 14});
    const ControlState& s = dlg.Control(1224);
    EXPECT_EQ(s.kind, ControlKind::Edit);
    EXPECT_EQ(s.edit.lookMode, 0);
    EXPECT_EQ(s.font, (FontSpec{"宋体", 0, 80, 0}));
    EXPECT_EQ(s.textColor, Color(0));
    EXPECT_EQ(s.backColor, Color(0xFFFFFF));

    edit.SetLookMode(1);
    edit.SetBackgroundBitmap(299);
    edit.SetFontSize(120);
    edit.SetFontName("DINPro");
    edit.SetTextColor(Rgb(255, 255, 255));
    EXPECT_EQ(s.edit.patternBitmap, 299);
    EXPECT_EQ(s.font, (FontSpec{"DINPro", 0, 120, 0}));
    EXPECT_EQ(s.textColor, Rgb(255, 255, 255));
}

}  // namespace
