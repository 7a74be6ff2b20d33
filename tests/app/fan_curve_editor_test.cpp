#include <gtest/gtest.h>

#include <vector>

#include "panels/CFanAdvanceDlg.h"
#include "panels/CFanCurve.h"
#include "ui/HeadlessHost.h"

namespace {

using Dlg = CFanAdvanceDlg;

// The curve as painted: the corners of its lines, in order.
std::vector<Point> PaintedPath(const std::vector<DrawCall>& calls) {
    std::vector<Point> path;
    for (const DrawCall& call : calls) {
        if (call.op != DrawOp::Line) continue;
        if (path.empty()) path.push_back(call.from);
        EXPECT_EQ(call.from, path.back()) << "one connected line";
        EXPECT_EQ(call.color, Color(0xFFFFFF));
        path.push_back(call.to);
    }
    return path;
}

class FanCurveEditorTest : public ::testing::Test {
protected:
    void Open(HeadlessHost& on) {
        dlg = std::make_unique<Dlg>(on, [this] { return mainCurve; },
                                    [this](const FanCurvePoints& curve) { applied.push_back(curve); });
        ASSERT_EQ(dlg->Create(), 0);
        dlg->ShowWindow(ShowCommand::Show);
    }
    CFanCurve& Curve() { return *dlg->ControlAs<CFanCurve>(Dlg::kCurveControl); }
    void ClickCurve(HeadlessHost& on, Point pt) {
        on.MouseDown(*dlg, {Dlg::kCurveRect.left + pt.x, Dlg::kCurveRect.top + pt.y});
        on.MouseUp(*dlg, {Dlg::kCurveRect.left + pt.x, Dlg::kCurveRect.top + pt.y});
    }

    HeadlessHost host{CORALVANE_SKIN_DIR};
    FanCurvePoints mainCurve = DefaultFanCurve();
    std::vector<FanCurvePoints> applied;
    std::unique_ptr<Dlg> dlg;
};

TEST_F(FanCurveEditorTest, OpensOnTheMainCurveWithItsLayout) {
    mainCurve[2] = {3, 5, 1};
    Open(host);
    EXPECT_EQ(dlg->Window().rect.GetSize(), (Size{453, 445}));
    EXPECT_EQ(dlg->Window().backgroundBitmap, 290);
    EXPECT_EQ(dlg->Window().shapeBitmap, 290);
    EXPECT_EQ(dlg->Control(Dlg::kCurveControl).rect, (Rect{84, 74, 291, 291}));
    EXPECT_EQ(dlg->Control(Dlg::kDefaultButton).rect, (Rect{100, 397, 78, 24}));
    EXPECT_EQ(dlg->Control(Dlg::kDefaultButton).iconNormal, "Setting_Def.ico");
    EXPECT_EQ(dlg->Control(Dlg::kApplyButton).rect, (Rect{270, 397, 78, 24}));
    EXPECT_EQ(dlg->Control(Dlg::kApplyButton).iconHover, "Setting_Apply_H.ico");
    EXPECT_EQ(dlg->Control(Dlg::kCloseButton).rect, (Rect{415, 2, 16, 14}));
    EXPECT_EQ(Curve().CellSize(), (Size{29, 29}));
    EXPECT_EQ(Curve().Points(), mainCurve);
    EXPECT_EQ(dlg->WorkingCurve(), mainCurve);
}

TEST_F(FanCurveEditorTest, ClicksSetThePointOfTheirColumn) {
    Open(host);
    ClickCurve(host, {100, 40});
    EXPECT_EQ(Curve().Points()[3], (FanCurvePoint{1, 4, 1})) << "90 % up to 40 °C";
    EXPECT_EQ(dlg->WorkingCurve()[3], (FanCurvePoint{1, 4, 1})) << "mirrored at once";

    // The last pixel column and row lie past the ten cells: they edit the last point, not an 11th.
    ClickCurve(host, {290, 290});
    EXPECT_EQ(Curve().Points()[9], (FanCurvePoint{10, 10, 1}));
    ClickCurve(host, {0, 0});
    EXPECT_EQ(Curve().Points()[0], (FanCurvePoint{0, 1, 1}));

    // The right button does nothing; a disabled point takes its numbers but stays out of the curve.
    const FanCurvePoints before = Curve().Points();
    host.MouseDown(*dlg, {84 + 150, 74 + 150}, MouseButton::Right);
    EXPECT_EQ(Curve().Points(), before);
    FanCurvePoints partly = before;
    partly[5].enabled = 0;
    Curve().SetPoints(partly);
    ClickCurve(host, {150, 200});
    EXPECT_EQ(dlg->WorkingCurve()[5], (FanCurvePoint{6, 6, 0}));
    EXPECT_EQ(Curve().CurvePath().size(), 1u + 2 * 9 + 2);
}

TEST_F(FanCurveEditorTest, WithoutTheGridBitmapClicksDoNothing) {
    HeadlessHost bare;  // no skin: every bitmap is missing
    Open(bare);
    EXPECT_EQ(Curve().CellSize(), (Size{0, 0}));
    ClickCurve(bare, {100, 40});
    EXPECT_EQ(Curve().Points(), DefaultFanCurve());
}

TEST_F(FanCurveEditorTest, DrawsTheCurveAsSteps) {
    Open(host);
    std::vector<Point> expected{{0, 291}};
    for (int k = 0; k < 10; ++k) {
        expected.push_back({29 * k, 29 * (9 - k)});
        expected.push_back({29 * (k + 1), 29 * (9 - k)});
    }
    expected.push_back({290, 0});
    expected.push_back({291, 0});
    const std::vector<DrawCall> calls = host.Paint(*dlg, Dlg::kCurveControl);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].op, DrawOp::Bitmap);
    EXPECT_EQ(calls[0].bitmap, 291);
    EXPECT_EQ(PaintedPath(calls), expected);

    FanCurvePoints two = DefaultFanCurve();
    for (FanCurvePoint& point : two) point.enabled = 0;
    two[3].enabled = two[7].enabled = 1;
    Curve().SetPoints(two);
    EXPECT_EQ(PaintedPath(host.Paint(*dlg, Dlg::kCurveControl)),
              (std::vector<Point>{{0, 291}, {0, 174}, {116, 174}, {116, 58}, {232, 58}, {232, 0}, {291, 0}}));
}

TEST_F(FanCurveEditorTest, DefaultApplyAndReopeningDiscardsWhatWasNotApplied) {
    mainCurve[0] = {5, 3, 1};
    Open(host);
    ASSERT_TRUE(host.Click(*dlg, Dlg::kDefaultButton));
    EXPECT_EQ(dlg->WorkingCurve(), DefaultFanCurve());
    EXPECT_TRUE(applied.empty()) << "nothing reaches the fan before Apply";
    ASSERT_TRUE(host.Click(*dlg, Dlg::kApplyButton));
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], DefaultFanCurve());

    ClickCurve(host, {100, 40});
    ASSERT_TRUE(host.Click(*dlg, Dlg::kCloseButton));
    EXPECT_FALSE(dlg->Window().visible);
    mainCurve[1] = {7, 2, 1};
    dlg->OnShowing();
    EXPECT_EQ(Curve().Points(), mainCurve) << "the main window's curve, not the unapplied edit";
    EXPECT_EQ(dlg->WorkingCurve(), mainCurve);
    EXPECT_EQ(applied.size(), 1u);
}

}  // namespace
