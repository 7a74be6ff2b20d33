#include <gtest/gtest.h>

#include <vector>

#include "BmpFixture.h"
#include "controls/CBitmapSlider.h"
#include "ui/HeadlessHost.h"

namespace {

struct Note {
    uint32_t msg;
    int id;
    int position;
    friend bool operator==(const Note&, const Note&) = default;
};

constexpr int kSlider = 1011;
constexpr int kThumb = 142;

// A 120-pixel slider with a 20-pixel thumb: 100 pixels of travel for 0..100, one pixel per position.
class SliderDlg : public CDialog {
public:
    explicit SliderDlg(UiHost& host) : CDialog(host, 900) {
        slider = &Add<CBitmapSlider>(kSlider, Rect{10, 5, 120, 15});
    }
    void OnSliderNotify(uint32_t msg, int id, int position) override { notes.push_back({msg, id, position}); }
    CBitmapSlider* slider;
    std::vector<Note> notes;
};

class BitmapSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.SetBitmapSize(kThumb, {20, 15});
        ASSERT_EQ(dlg.Create(), 0);
        dlg.ShowWindow(ShowCommand::Show);
        dlg.slider->SetBitmapThumb(kThumb, kThumb + 1, true);
    }
    // Dialog coordinates of the pixel where the thumb centre of `position` is drawn.
    Point CentreOf(int position) const {
        const ControlState& s = dlg.Control(kSlider);
        return {s.rect.left + s.slider.ThumbCentre(position, s.rect.width), s.rect.top + 7};
    }
    HeadlessHost host;
    SliderDlg dlg{host};
};

TEST_F(BitmapSliderTest, DraggingPostsEveryPositionPassedAndOneMovedOnRelease) {
    ASSERT_TRUE(host.DragSlider(dlg, kSlider, 40));

    std::vector<Note> expected;
    for (int p = 1; p <= 40; ++p) expected.push_back({kMsgSliderMoving, kSlider, p});
    expected.push_back({kMsgSliderMoved, kSlider, 40});
    EXPECT_EQ(dlg.notes, expected);
    EXPECT_EQ(dlg.slider->GetPos(), 40);
    EXPECT_FALSE(dlg.slider->IsDragging());
    EXPECT_FALSE(host.HasCapture(dlg, kSlider));
    EXPECT_EQ(dlg.FocusId(), kSlider);
}

TEST_F(BitmapSliderTest, SettingFromCodeClampsAndPostsNothing) {
    dlg.slider->SetPos(150);
    EXPECT_EQ(dlg.slider->GetPos(), 100);
    dlg.slider->SetPos(-3);
    EXPECT_EQ(dlg.slider->GetPos(), 0);
    dlg.slider->SetPos(60);
    dlg.slider->SetRange(0, 50);
    EXPECT_EQ(dlg.slider->GetPos(), 50);
    dlg.slider->SetRange(30, -30);  // reversed: taken the right way round
    EXPECT_EQ(dlg.slider->GetRangeMin(), -30);
    EXPECT_EQ(dlg.slider->GetRangeMax(), 30);
    EXPECT_EQ(dlg.slider->GetPos(), 30);
    host.RunPosted();
    EXPECT_TRUE(dlg.notes.empty());
    EXPECT_TRUE(host.PostedMessages().empty());
}

TEST_F(BitmapSliderTest, PressOnThumbKeepsGripAndChangesNothingUntilMoved) {
    dlg.slider->SetPos(30);
    const Point centre = CentreOf(30);
    host.MouseDown(dlg, {centre.x + 4, centre.y});
    EXPECT_TRUE(dlg.notes.empty());
    EXPECT_TRUE(host.HasCapture(dlg, kSlider));
    host.MouseMove(dlg, {centre.x + 14, centre.y});
    host.MouseUp(dlg, {centre.x + 14, centre.y});
    EXPECT_EQ(dlg.notes,
              (std::vector<Note>{{kMsgSliderMoving, kSlider, 40}, {kMsgSliderMoved, kSlider, 40}}));
}

TEST_F(BitmapSliderTest, PressOnAThumbSharingItsPixelWithOtherPositionsKeepsThePosition) {
    dlg.slider->SetRange(0, 400);  // four positions per pixel
    dlg.slider->SetPos(203);
    host.MouseDown(dlg, CentreOf(203));
    host.MouseUp(dlg, CentreOf(203));
    EXPECT_EQ(dlg.notes, (std::vector<Note>{{kMsgSliderMoved, kSlider, 203}}));
}

TEST_F(BitmapSliderTest, DraggingToEitherEndReachesTheEndValueWhenPositionsShareThePixel) {
    dlg.slider->SetRange(0, 400);  // four positions per pixel: 1-3 are drawn at the first pixel
    const struct {
        int from;
        int towardX;
        int expected;
    } cases[] = {{3, -50, 0}, {398, 500, 400}};
    for (const auto& c : cases) {
        dlg.slider->SetPos(c.from);
        dlg.notes.clear();
        host.MouseDown(dlg, CentreOf(c.from));
        host.MouseMove(dlg, {c.towardX, CentreOf(c.from).y});
        host.MouseUp(dlg, {c.towardX, CentreOf(c.from).y});
        EXPECT_EQ(dlg.slider->GetPos(), c.expected) << "from " << c.from;
        EXPECT_EQ(dlg.notes.back(), (Note{kMsgSliderMoved, kSlider, c.expected}));
    }
}

TEST_F(BitmapSliderTest, EnterAndEscapeOnAFocusedSliderDoNotCloseItsDialog) {
    host.SetFocus(dlg, kSlider);
    EXPECT_TRUE(host.PressKey(dlg, Key::Enter));
    EXPECT_TRUE(host.PressKey(dlg, Key::Escape));
    EXPECT_TRUE(dlg.Window().visible);
    EXPECT_TRUE(dlg.notes.empty());

    host.SetFocus(dlg, 0);
    host.PressKey(dlg, Key::Escape);
    EXPECT_FALSE(dlg.Window().visible) << "without the slider focused the dialog key still works";
}

TEST_F(BitmapSliderTest, PressBesideThumbJumpsThereAndDragStaysInsideTheTrack) {
    host.MouseDown(dlg, CentreOf(75));
    EXPECT_EQ(dlg.notes, (std::vector<Note>{{kMsgSliderMoving, kSlider, 75}}));
    host.MouseMove(dlg, {CentreOf(100).x + 50, 300});  // far outside the control, still captured
    host.MouseUp(dlg, {CentreOf(100).x + 50, 300});
    EXPECT_EQ(dlg.slider->GetPos(), 100);
    EXPECT_EQ(dlg.notes.back(), (Note{kMsgSliderMoved, kSlider, 100}));
    EXPECT_EQ(dlg.notes.size(), 3u);
}

TEST_F(BitmapSliderTest, KeysMoveByStepPageOrToTheEndsAndPostMoved) {
    struct Case {
        Key key;
        int from;
        int expected;
    };
    const Case cases[] = {
        {Key::PageUp, 50, 30}, {Key::PageDown, 50, 70},  {Key::Home, 50, 0},  {Key::End, 50, 100},
        {Key::Right, 50, 51},  {Key::Down, 50, 51},      {Key::Left, 50, 49}, {Key::Up, 50, 49},
        {Key::PageUp, 5, 0},   {Key::PageDown, 95, 100}, {Key::Left, 0, 0},   {Key::Right, 100, 100},
    };
    host.SetFocus(dlg, kSlider);
    for (const Case& c : cases) {
        dlg.slider->SetPos(c.from);
        dlg.notes.clear();
        EXPECT_TRUE(host.PressKey(dlg, c.key));
        EXPECT_EQ(dlg.slider->GetPos(), c.expected) << "key " << int(c.key) << " from " << c.from;
        EXPECT_EQ(dlg.notes, (std::vector<Note>{{kMsgSliderMoved, kSlider, c.expected}}));
    }
}

TEST_F(BitmapSliderTest, DisabledSliderIgnoresClicksAndKeys) {
    dlg.slider->SetPos(20);
    dlg.slider->Enable(false);
    host.MouseDown(dlg, CentreOf(80));
    host.MouseMove(dlg, CentreOf(90));
    host.MouseUp(dlg, CentreOf(90));
    host.SetFocus(dlg, kSlider);
    host.PressKey(dlg, Key::End);
    host.PressKey(dlg, Key::PageDown);
    EXPECT_EQ(dlg.slider->GetPos(), 20);
    EXPECT_TRUE(dlg.notes.empty());
    EXPECT_FALSE(host.HasCapture(dlg, kSlider));

    dlg.slider->Enable(true);
    host.PressKey(dlg, Key::End);
    EXPECT_EQ(dlg.slider->GetPos(), 100);
}

TEST_F(BitmapSliderTest, DisablingDuringADragReleasesTheMouse) {
    host.MouseDown(dlg, CentreOf(0));
    ASSERT_TRUE(host.HasCapture(dlg, kSlider));
    dlg.slider->Enable(false);
    EXPECT_FALSE(host.HasCapture(dlg, kSlider));
    host.MouseUp(dlg, CentreOf(10));
    EXPECT_TRUE(dlg.notes.empty());
}

TEST(SliderMapping, CentresFollowTheFormulaAndMapBackWithMargins) {
    struct Case {
        int min, max, width, marginLeft, marginRight, thumb;
    };
    const Case cases[] = {
        {0, 100, 215, 0, 0, 15},     // more pixels than positions
        {-200, 200, 215, 3, 4, 15},  // fewer pixels than positions, negative range
        {0, 100, 160, 5, 5, 10},     // exactly one pixel per position
        {0, 20000, 215, 2, 2, 11},   // pixel clock range
    };
    for (const Case& c : cases) {
        SliderState s;
        s.min = c.min;
        s.max = c.max;
        s.marginLeft = c.marginLeft;
        s.marginRight = c.marginRight;
        s.thumbBitmap = 1;
        s.thumbSize = {c.thumb, 15};
        const int length = c.width - c.marginLeft - c.marginRight - c.thumb;
        ASSERT_EQ(s.UsableLength(c.width), length);
        for (int p = c.min; p <= c.max; ++p) {
            const int centre = s.ThumbCentre(p, c.width);
            ASSERT_EQ(centre,
                      c.marginLeft + int(int64_t(length) * (p - c.min) / (c.max - c.min)) + c.thumb / 2);
        }
        // Back from pixels: the truncated inverse, checked against the formula in whole numbers.
        for (int x = c.marginLeft + c.thumb / 2; x <= c.marginLeft + c.thumb / 2 + length; ++x) {
            const int64_t travelled = x - c.thumb / 2 - c.marginLeft;
            ASSERT_EQ(s.PositionAt(x, c.width), c.min + int(travelled * (c.max - c.min) / length)) << "pixel " << x;
        }
        EXPECT_EQ(s.PositionAt(-1000, c.width), c.min);
        EXPECT_EQ(s.PositionAt(5000, c.width), c.max);
    }
}

TEST(SliderMapping, APixelStandsForThePositionTruncatedNotRoundedUp) {
    // 150 pixels of travel for 0..100 (thumb 10, no margins) and 100 pixels for 0..250.
    struct Case {
        int max, width, centre, expected;
    };
    const Case cases[] = {
        {100, 160, 5, 0},   {100, 160, 6, 0},    {100, 160, 7, 1},   {100, 160, 8, 2},
        {100, 160, 153, 98}, {100, 160, 154, 99}, {100, 160, 155, 100}, {250, 110, 6, 2},
        {250, 110, 7, 5},   {250, 110, 104, 247},
    };
    for (const Case& c : cases) {
        SliderState s;
        s.max = c.max;
        s.thumbBitmap = 1;
        s.thumbSize = {10, 8};
        EXPECT_EQ(s.PositionAt(c.centre, c.width), c.expected) << c.max << " at " << c.centre;
    }
}

TEST(SliderMapping, DegenerateGeometryStaysAtTheMinimum) {
    SliderState s;
    s.min = 7;
    s.max = 7;
    EXPECT_EQ(s.PositionAt(50, 100), 7);
    EXPECT_EQ(s.ThumbCentre(7, 100), 0);
    s.max = 10;
    s.thumbSize = {30, 10};
    EXPECT_EQ(s.UsableLength(20), 0);  // thumb wider than the control
    EXPECT_EQ(s.PositionAt(15, 20), 7);
}

TEST(SliderBitmaps, ControlTakesTheChannelBitmapSizeFromTheSkin) {
    TempSkin skin;
    skin.Write(140, MakeBmp24(SolidImage(215, 15, Rgb(1, 2, 3))));
    skin.Write(141, {'B', 'M', 0, 0});  // truncated: no bitmap
    HeadlessHost host(skin.Path());
    SliderDlg dlg(host);
    ASSERT_EQ(dlg.Create(), 0);

    dlg.slider->SetBitmapChannel(140, 141);
    EXPECT_EQ(dlg.Control(kSlider).rect, (Rect{10, 5, 215, 15}));
    dlg.MoveItem(kSlider, {0, 0, 50, 9});
    dlg.slider->SetBitmapChannel(141, 141);
    EXPECT_EQ(dlg.Control(kSlider).rect, (Rect{0, 0, 50, 9}));
    dlg.slider->SetBitmapChannel(999, 999);
    EXPECT_EQ(dlg.Control(kSlider).rect, (Rect{0, 0, 50, 9}));

    dlg.slider->SetBitmapThumb(143, 143, true);  // missing thumb file: drawn without thumb width
    EXPECT_EQ(dlg.Control(kSlider).slider.thumbSize, (Size{}));
    dlg.slider->RemoveThumb();
    EXPECT_FALSE(dlg.Control(kSlider).slider.HasThumb());
}

}  // namespace
