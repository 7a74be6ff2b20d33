#include <gtest/gtest.h>

#include "lighting/CLscAdvanceDlg.h"
#include "lighting/CLscLedDlg.h"
#include "lighting/ColourWheel.h"
#include "ui/HeadlessHost.h"
#include "zone_test_support.h"

namespace {

constexpr int kCustom = CLscLedDlg::kCustom;

class Owner : public SidePanelOwner {
public:
    void CloseSidePanel(int id) override { closed.push_back(id); }
    std::vector<int> closed;
};

class LscAdvanceDlgTest : public ::testing::Test {
protected:
    HeadlessHost host{CORALVANE_SKIN_DIR};
    RecordingZoneSender sender;
    CLscLedDlg page{host, sender};
    CLscAdvanceDlg editor{host};
    Owner owner;
    int shown = 0;

    void SetUp() override {
        ASSERT_EQ(page.Create(), 0);
        editor.SetOwner(&owner);
        editor.SetTargetPanel(&page);
        page.SetColourEditor(&editor, [this] {
            ++shown;
            if (!editor.IsWindowCreated()) editor.Create();
            editor.ShowWindow(ShowCommand::Show);
        });
        page.SetLayout(0);
        ZoneStatusBytes status = PlainZoneStatus(0);
        status[50] = 10, status[51] = 20, status[52] = 30;  // the idle rear zone: a custom colour
        page.TakeZoneStatus(status, true);
    }
    ZoneRgb ZoneColour(int set, int zone) const { return page.Zone(set, zone).Colour(); }
};

TEST_F(LscAdvanceDlgTest, CustomOpensTheEditorOnTheZonesColour) {
    host.Click(page, CLscLedDlg::kLogo + 2);
    ASSERT_TRUE(host.Click(page, kCustom));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(editor.Window().visible);
    EXPECT_TRUE(page.EditorOpen());
    EXPECT_EQ(editor.Control(CLscAdvanceDlg::kRedEdit).text, "10");
    EXPECT_EQ(editor.Control(CLscAdvanceDlg::kBlueEdit).text, "30");
    EXPECT_EQ(editor.CurrentHsv(), RgbToHsv(10, 20, 30));
    EXPECT_EQ(editor.TargetZone(), 2);
    EXPECT_EQ(page.Zone(0, 2).colourIndex, kZoneCustomColour);
    EXPECT_EQ(page.Control(kCustom).iconNormal, "Lsc_Custom_H.ico");
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LscAdvanceDlgTest, PickingWritesTheZoneLiveAndSendsNothing) {
    host.Click(page, kCustom);
    // The rim on the right: pure red at the current value (the logo was red at full strength).
    host.MouseDown(editor, {ColourWheel::kCentre.x + 105, ColourWheel::kCentre.y});
    host.MouseUp(editor, {ColourWheel::kCentre.x + 105, ColourWheel::kCentre.y});
    EXPECT_EQ(editor.CurrentHsv(), (Hsv{0, 255, 255}));
    EXPECT_EQ(ZoneColour(0, 0), (ZoneRgb{255, 0, 0}));

    // The bar halfway down, then the centre of the wheel: grey of that value.
    host.MouseDown(editor, {290, 223});
    host.MouseUp(editor, {290, 223});
    host.MouseDown(editor, ColourWheel::kCentre);
    EXPECT_EQ(editor.CurrentHsv(), (Hsv{0, 0, 127}));
    EXPECT_EQ(ZoneColour(0, 0), (ZoneRgb{127, 127, 127}));
    EXPECT_EQ(editor.Control(CLscAdvanceDlg::kGreenEdit).text, "127");
    // Dragging keeps picking while the button is down.
    host.MouseMove(editor, {ColourWheel::kCentre.x, ColourWheel::kCentre.y - 105});
    host.MouseUp(editor, {ColourWheel::kCentre.x, ColourWheel::kCentre.y - 105});
    EXPECT_EQ(editor.CurrentHsv().hue, 90);
    EXPECT_EQ(ZoneColour(0, 0), (ZoneRgb{63, 127, 0}));
    EXPECT_TRUE(sender.sent.empty());

    // X keeps the picked colour in the zone; App is what sends it.
    host.Click(editor, CLscAdvanceDlg::kCloseButton);
    EXPECT_FALSE(editor.Window().visible);
    EXPECT_EQ(owner.closed, (std::vector<int>{kSideZoneAdvanced}));
    EXPECT_EQ(ZoneColour(0, 0), (ZoneRgb{63, 127, 0}));
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LscAdvanceDlgTest, TypedValuesAreLimitedTo255) {
    host.Click(page, kCustom);
    host.TypeText(editor, CLscAdvanceDlg::kRedEdit, "999");
    host.TypeText(editor, CLscAdvanceDlg::kGreenEdit, "");
    host.CommitEdit(editor, CLscAdvanceDlg::kGreenEdit);
    EXPECT_EQ(editor.Control(CLscAdvanceDlg::kRedEdit).text, "255");
    EXPECT_EQ(editor.CurrentColour(), (Rgb8{255, 0, 0}));
    EXPECT_EQ(editor.CurrentHsv(), (Hsv{0, 255, 255}));

    host.TypeText(editor, CLscAdvanceDlg::kBlueEdit, "0300");
    EXPECT_EQ(editor.Control(CLscAdvanceDlg::kBlueEdit).text, "030");
    host.TypeText(editor, CLscAdvanceDlg::kGreenEdit, "777");
    ASSERT_TRUE(host.Click(editor, CLscAdvanceDlg::kApplyButton));
    EXPECT_EQ(ZoneColour(0, 0), (ZoneRgb{255, 255, 30}));
    ZoneLightingState copy = page.Lighting();
    EXPECT_EQ(sender.sent, (std::vector<ZoneSequence>{ApplyZone(copy, 0, 0)}));
    EXPECT_EQ(sender.sent[0][1].payload, (std::vector<uint8_t>{0, 255, 255, 30, 1}));
    EXPECT_TRUE(editor.Window().visible);
}

TEST_F(LscAdvanceDlgTest, AppSendsNothingWhileTheLightingIsOff) {
    host.Click(page, kCustom);
    host.Click(page, CLscLedDlg::kOnOff);
    EXPECT_FALSE(editor.Window().visible);
    sender.sent.clear();
    editor.ShowWindow(ShowCommand::Show);
    host.Click(editor, CLscAdvanceDlg::kApplyButton);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LscAdvanceDlgTest, BrightnessWaitsForAControlThatClosesTheEditor) {
    host.Click(page, kCustom);
    host.Click(page, CLscLedDlg::kBrightness0 + 2);
    EXPECT_EQ(page.Zone(0, 0).brightness, 7);
    host.Click(editor, CLscAdvanceDlg::kCancelButton);
    EXPECT_FALSE(editor.Window().visible);
    host.Click(page, CLscLedDlg::kBrightness0 + 2);
    EXPECT_EQ(page.Zone(0, 0).brightness, 7);
    host.Click(page, CLscLedDlg::kLogo);
    host.Click(page, CLscLedDlg::kBrightness0 + 2);
    EXPECT_EQ(page.Zone(0, 0).brightness, 2);
}

TEST_F(LscAdvanceDlgTest, ControlsThatCloseTheEditor) {
    for (int id : {CLscLedDlg::kLogo + 1, CLscLedDlg::kTurbo, CLscLedDlg::kColour0 + 3,
                   CLscLedDlg::kMode0 + 3, CLscLedDlg::kWave, CLscLedDlg::kDefault}) {
        host.Click(page, CLscLedDlg::kIdle);
        host.Click(page, CLscLedDlg::kLogo);
        host.Click(page, CLscLedDlg::kMode0);
        ASSERT_TRUE(host.Click(page, kCustom)) << id;
        ASSERT_TRUE(editor.Window().visible);
        host.Click(page, id);
        EXPECT_FALSE(editor.Window().visible) << id;
        EXPECT_FALSE(page.EditorOpen()) << id;
    }
    // Static keeps it open.
    host.Click(page, kCustom);
    host.Click(page, CLscLedDlg::kMode0 + 2);
    EXPECT_TRUE(editor.Window().visible);
}

TEST_F(LscAdvanceDlgTest, PaintDrawsTheValueBarMarkersAndSwatch) {
    host.Click(page, kCustom);  // the logo's red: hue 0, saturation 255, value 255
    std::vector<DrawCall> lines, frames, polygons;
    for (const DrawCall& call : host.Paint(editor)) {
        if (call.op == DrawOp::Line) lines.push_back(call);
        if (call.op == DrawOp::Frame) frames.push_back(call);
        if (call.op == DrawOp::Polygon) polygons.push_back(call);
    }
    ASSERT_EQ(lines.size(), 210u);
    EXPECT_EQ(lines.front().from, (Point{280, 328}));
    EXPECT_EQ(lines.front().color, Rgb(0, 0, 0));
    EXPECT_EQ(lines.back().from, (Point{280, 119}));
    EXPECT_EQ(lines.back().color, Rgb(253, 0, 0));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, (Rect{250, 218, 10, 10}));
    EXPECT_EQ(frames[0].mode, DrawMode::Xor);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].points.front(), (Point{277, 118}));
    EXPECT_EQ(polygons[1].mode, DrawMode::Xor);

    const auto swatch = host.Paint(editor, CLscAdvanceDlg::kSwatch);
    ASSERT_EQ(swatch.size(), 1u);
    EXPECT_EQ(swatch[0].color, Rgb(255, 0, 0));
}

}  // namespace
