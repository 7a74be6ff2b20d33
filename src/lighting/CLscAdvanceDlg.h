#pragma once
#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"
#include "lighting/ColourSpace.h"

class CLscLedDlg;

// The custom colour editor for the zone being edited on the zone page: a hue/saturation wheel (in
// the background picture), a value bar, three decimal edits and a swatch. Picking writes the colour
// into the zone at once; App sends the zone to the card. The main window's side window 7.
class CLscAdvanceDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 297;
    static constexpr int kBackgroundBitmap = 298;
    static constexpr int kShapeBitmap = 288;
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 445;
    static constexpr int kCloseButton = 1221;
    static constexpr int kCancelButton = 1222;
    static constexpr int kApplyButton = 1223;
    static constexpr int kRedEdit = 1224;
    static constexpr int kGreenEdit = 1225;
    static constexpr int kBlueEdit = 1226;
    static constexpr int kSwatch = 1227;

    explicit CLscAdvanceDlg(UiHost& host);

    CDialog& Dialog() override { return *this; }
    void CloseForOther() override { Close(); }

    void SetTargetPanel(CLscLedDlg* panel) { targetPanel = panel; }
    // Starts editing a zone's colour: the edits, the bar and the swatch take it.
    void EditZoneColour(int set, int zone, int red, int green, int blue);
    // What X and Def do: the colour already written into the zone stays there.
    void Close();

    Hsv CurrentHsv() const { return {hue, saturation, value}; }
    Rgb8 CurrentColour() const { return colour; }
    int TargetSet() const { return targetSet; }
    int TargetZone() const { return targetZone; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnMouse(const MouseEvent& event) override;
    void OnPaint(Canvas& canvas) override;
    void OnEditCommit(int id) override;
    void OnEditChanged(int id) override;

private:
    void PickAt(Point pt);
    void ShowColourInEdits();
    Rgb8 ReadEdits() const;
    void WriteEditsIntoZone();
    void Redraw();

    CLscLedDlg* targetPanel = nullptr;
    int targetSet = 0;
    int targetZone = 0;
    int hue = 0;
    int saturation = 0;
    int value = 255;
    Rgb8 colour{255, 255, 255};
    int dragMode = 0;
};
