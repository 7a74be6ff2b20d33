#include <gtest/gtest.h>

#include "controls/CMemoryDC.h"
#include "ui/HeadlessHost.h"
#include "ui/RecordingCanvas.h"
#include "ui/Translucency.h"

namespace {

TEST(MemoryDC, DrawsOffScreenAndCopiesOnceWhenDone) {
    RecordingCanvas screen({291, 291});
    {
        CMemoryDC memory(screen);
        memory.DrawBitmap(291, {0, 0});
        memory.SetDrawMode(DrawMode::Xor);
        memory.DrawLine({0, 29}, {58, 29}, 0xFFFFFF, 1, PenStyle::Solid);
        EXPECT_TRUE(screen.CallsOf(DrawOp::Blit).empty());
    }
    const auto& calls = screen.Calls();
    ASSERT_EQ(calls.size(), 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(calls[i].surface, 1);
    EXPECT_EQ(calls[2].mode, DrawMode::Xor);
    EXPECT_EQ(calls[3].op, DrawOp::Blit);
    EXPECT_EQ(calls[3].surface, 0);
    EXPECT_EQ(calls[3].sourceSurface, 1);
    EXPECT_EQ(calls[3].rect, (Rect{0, 0, 291, 291}));
}

class OwnerDrawn : public CWndControl {
public:
    OwnerDrawn(CDialog& dialog, int id, const Rect& rect)
        : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {}
    void OnPaint(Canvas& canvas) override {
        canvas.FillRect({0, 0, canvas.GetSize().width, canvas.GetSize().height}, 0);
        canvas.DrawString({0, 0, 45, 25}, "-12", FontSpec{"UniDreamLED", 0, 160, 0}, 0xFFFFFF, kTextRight);
    }
};

TEST(HostDrawing, PaintAndDirectDrawingAreRecordedPerControl) {
    HeadlessHost host;
    CDialog dlg(host, 102);
    dlg.Add<OwnerDrawn>(1073, Rect{38, 100, 286, 228});
    ASSERT_EQ(dlg.Create(), 0);

    const auto painted = host.Paint(dlg, 1073);
    ASSERT_EQ(painted.size(), 2u);
    EXPECT_EQ(painted[0].rect, (Rect{0, 0, 286, 228}));
    EXPECT_EQ(painted[1].text, "-12");
    EXPECT_EQ(painted[1].format, unsigned(kTextRight));

    dlg.BeginDraw(1073)->DrawBitmap(211, {0, 0}, Rgb(77, 0, 85));
    dlg.BeginDraw(1073)->DrawBitmap(159, {0, 0}, Rgb(77, 0, 85));
    ASSERT_EQ(host.Draws(dlg, 1073).size(), 2u);
    EXPECT_EQ(host.Draws(dlg, 1073)[1].bitmap, 159);
    EXPECT_EQ(host.Draws(dlg, 1073)[1].key, Rgb(77, 0, 85));
}

TEST(Translucency, AlphaIsPercentTimes255Over100WithinOneByte) {
    const std::pair<int, int> cases[] = {{85, 216}, {10, 25},   {100, 255}, {0, 0},
                                         {55, 140}, {150, 255}, {-5, 0}};
    for (auto [percent, alpha] : cases) EXPECT_EQ(AlphaForPercent(percent), alpha) << percent;
}

TEST(Translucency, AppliedThroughTheHostOrNotAtAll) {
    HeadlessHost host;
    CDialog dlg(host, 285);
    EXPECT_EQ(MakeTranslucent(dlg, 50), 1);  // no window yet
    ASSERT_EQ(dlg.Create(), 0);
    EXPECT_EQ(MakeTranslucent(dlg, 10), 0);
    EXPECT_EQ(host.Alpha(dlg), 25);
    EXPECT_EQ(dlg.Window().opacityPercent, 10);
    EXPECT_EQ(RemoveTranslucency(dlg), 0);
    EXPECT_EQ(host.Alpha(dlg), -1);
    EXPECT_EQ(dlg.Window().opacityPercent, -1);

    host.SetLayeredAvailable(false);
    EXPECT_EQ(MakeTranslucent(dlg, 40), 1);
    EXPECT_EQ(host.Alpha(dlg), -1);
    EXPECT_EQ(dlg.Window().opacityPercent, -1);
}

}  // namespace
