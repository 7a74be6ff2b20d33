#include "lighting/CLscAdvanceDlg.h"

#include <array>
#include <string>

#include "controls/CButtonST.h"
#include "controls/CPrettifyEdit.h"
#include "lighting/CLscLedDlg.h"
#include "lighting/ColourWheel.h"

namespace {

constexpr int kEditPattern = 299;
constexpr Color kWhite = Rgb(255, 255, 255);

Color ToColor(Rgb8 c) {
    return Rgb(uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue));
}

// The swatch: a rectangle filled with the editor's colour.
class CColourSwatch : public CWndControl {
public:
    CColourSwatch(CDialog& dialog, int id, const Rect& rect)
        : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {}
    void SetColour(Color c) {
        colour = c;
        Invalidate();
    }
    void OnPaint(Canvas& canvas) override {
        const Size size = canvas.GetSize();
        canvas.FillRect(Rect{0, 0, size.width, size.height}, colour);
    }

private:
    Color colour = kWhite;
};

}  // namespace

CLscAdvanceDlg::CLscAdvanceDlg(UiHost& host) : CBkDialogST(host, kTemplateId), SidePanel(kSideZoneAdvanced) {}

void CLscAdvanceDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetTitle("Coralvane colour");
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kShapeBitmap);
    SetEasyMove(true);
    Add<CButtonST>(kCloseButton, Rect{310, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    SetItemText(kCloseButton, "X");
    Add<CButtonST>(kCancelButton, Rect{90, 375, 78, 24}).SetIcons("Lsc_Cancel.ico", "Lsc_Cancel_H.ico");
    SetItemText(kCancelButton, "Def");
    Add<CButtonST>(kApplyButton, Rect{185, 375, 78, 24}).SetIcons("Setting_Apply.ico", "Setting_Apply_H.ico");
    SetItemText(kApplyButton, "App");
    for (int i = 0; i < 3; ++i) {
        auto& edit = Add<CPrettifyEdit>(kRedEdit + i, Rect{98 + 80 * i, 352, 46, 16});
        edit.SetLookMode(1);
        edit.SetBackgroundBitmap(kEditPattern);
        edit.SetFontName("DINPro");
        edit.SetFontSize(120);
        edit.SetTextColor(kWhite);
        edit.SetDigitsOnly(true);
        SetItemText(kRedEdit + i, "0");
    }
    Add<CColourSwatch>(kSwatch, Rect{45, 345, 30, 30});
    ApplyStoredTranslucency();
    Redraw();
}

void CLscAdvanceDlg::Close() {
    CloseFromButton();
}

void CLscAdvanceDlg::EditZoneColour(int set, int zone, int red, int green, int blue) {
    targetSet = set;
    targetZone = zone;
    colour = {red, green, blue};
    ShowColourInEdits();
    const Hsv hsv = RgbToHsv(red, green, blue);
    hue = hsv.hue;
    saturation = hsv.saturation;
    value = hsv.value;
    Redraw();
    WriteEditsIntoZone();
}

void CLscAdvanceDlg::OnCommand(int id) {
    if (id == kCloseButton || id == kCancelButton) {
        Close();
    } else if (id == kApplyButton && targetPanel) {
        const Rgb8 typed = ReadEdits();
        targetPanel->SetZoneColour(targetSet, targetZone,
                                   ZoneRgb{uint8_t(typed.red), uint8_t(typed.green), uint8_t(typed.blue)});
        targetPanel->ApplyFromEditor();
    }
}

void CLscAdvanceDlg::OnMouse(const MouseEvent& event) {
    const bool press = event.action == MouseAction::Down || event.action == MouseAction::DoubleClick;
    if (press && event.button == MouseButton::Left) {
        dragMode = ColourWheel::DragModeAt(event.pt);
        if (dragMode != ColourWheel::kDragNone) {
            // A press on the wheel or the bar picks (and drags the pick); anywhere else moves the window.
            CaptureMouse();
            PickAt(event.pt);
            return;
        }
    } else if (event.action == MouseAction::Move) {
        if (dragMode != ColourWheel::kDragNone && HasCapture()) PickAt(event.pt);
    } else if (event.action == MouseAction::Up && event.button == MouseButton::Left) {
        if (HasCapture()) ReleaseMouse();
        dragMode = ColourWheel::kDragNone;
    }
    CBkDialogST::OnMouse(event);
}

void CLscAdvanceDlg::PickAt(Point pt) {
    if (dragMode == ColourWheel::kDragWheel) {
        ColourWheel::PickWheel(pt, hue, saturation);
    } else if (dragMode == ColourWheel::kDragBar) {
        value = ColourWheel::PickBar(pt);
    } else {
        return;
    }
    colour = HsvToRgb(hue, saturation, value);
    ShowColourInEdits();
    WriteEditsIntoZone();
    Redraw();
}

void CLscAdvanceDlg::OnEditCommit(int id) {
    if (id < kRedEdit || id > kBlueEdit) return;
    for (int edit = kRedEdit; edit <= kBlueEdit; ++edit) {
        const std::string text = GetItemText(edit);
        if (ParseColourComponent(text) == 255 && text != "255") SetItemText(edit, "255");
    }
    colour = ReadEdits();
    const Hsv hsv = RgbToHsv(colour.red, colour.green, colour.blue);
    hue = hsv.hue;
    saturation = hsv.saturation;
    value = hsv.value;
    Redraw();
}

void CLscAdvanceDlg::OnEditChanged(int id) {
    if (id < kRedEdit || id > kBlueEdit) return;
    const std::string text = GetItemText(id);
    if (text.size() > 3) SetItemText(id, text.substr(0, 3));
}

void CLscAdvanceDlg::ShowColourInEdits() {
    SetItemText(kRedEdit, std::to_string(colour.red));
    SetItemText(kGreenEdit, std::to_string(colour.green));
    SetItemText(kBlueEdit, std::to_string(colour.blue));
}

Rgb8 CLscAdvanceDlg::ReadEdits() const {
    return {ParseColourComponent(GetItemText(kRedEdit)), ParseColourComponent(GetItemText(kGreenEdit)),
            ParseColourComponent(GetItemText(kBlueEdit))};
}

void CLscAdvanceDlg::WriteEditsIntoZone() {
    if (!targetPanel) return;
    const Rgb8 typed = ReadEdits();
    targetPanel->SetZoneColour(targetSet, targetZone,
                               ZoneRgb{uint8_t(typed.red), uint8_t(typed.green), uint8_t(typed.blue)});
}

void CLscAdvanceDlg::Redraw() {
    if (auto* swatch = dynamic_cast<CColourSwatch*>(FindControl(kSwatch))) swatch->SetColour(ToColor(colour));
    Invalidate();
}

void CLscAdvanceDlg::OnPaint(Canvas& canvas) {
    using namespace ColourWheel;
    for (int i = 0; i < kBarHeight; ++i) {
        const int y = kBarBottom - i;
        canvas.DrawLine({kBarLeft, y}, {kBarRight + 1, y},
                        ToColor(HsvToRgb(hue, saturation, BarLineValue(i))));
    }
    // The markers are drawn inverting what lies below, so they show on any colour of the wheel.
    canvas.SetDrawMode(DrawMode::Xor);
    const Point wheel = WheelMarker(hue, saturation);
    canvas.FrameRect(Rect{wheel.x - 5, wheel.y - 5, 10, 10}, kWhite);
    const int y = BarMarkerY(value);
    const std::array<Point, 3> left{Point{277, y}, Point{271, y - 6}, Point{271, y + 6}};
    const std::array<Point, 3> right{Point{308, y}, Point{314, y + 6}, Point{314, y - 6}};
    canvas.FillPolygon(left, kWhite);
    canvas.FillPolygon(right, kWhite);
    canvas.SetDrawMode(DrawMode::Copy);
}
