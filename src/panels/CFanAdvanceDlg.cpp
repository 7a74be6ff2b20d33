#include "panels/CFanAdvanceDlg.h"

#include <utility>

#include "controls/CButtonST.h"
#include "panels/CFanCurve.h"

CFanAdvanceDlg::CFanAdvanceDlg(UiHost& host, std::function<FanCurvePoints()> source,
                               std::function<void(const FanCurvePoints&)> apply)
    : CBkDialogST(host, kTemplateId), SidePanel(kSideFanCurve), curveSource(std::move(source)),
      applyCurve(std::move(apply)) {
    if (curveSource) initialCurve = curveSource();
}

void CFanAdvanceDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetTitle("Fan Curve");
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);

    CFanCurve& curve = Add<CFanCurve>(kCurveControl, kCurveRect);
    curve.SetGridBitmap(kGridBitmap);
    curve.SetPenColour(0xFFFFFF);
    Add<CButtonST>(kDefaultButton, Rect{100, 397, 78, 24}).SetIcons("Setting_Def.ico", "Setting_Def_H.ico");
    Add<CButtonST>(kApplyButton, Rect{270, 397, 78, 24}).SetIcons("Setting_Apply.ico", "Setting_Apply_H.ico");
    Add<CButtonST>(kCloseButton, Rect{415, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    ShowCurve(initialCurve);
}

void CFanAdvanceDlg::OnShowing() {
    // The main window's curve may have changed since the last opening (a profile, a start-up value);
    // edits that were not applied are dropped.
    if (curveSource) initialCurve = curveSource();
    ShowCurve(initialCurve);
}

void CFanAdvanceDlg::ShowCurve(const FanCurvePoints& curve) {
    if (CFanCurve* control = ControlAs<CFanCurve>(kCurveControl)) control->SetPoints(curve);
}

void CFanAdvanceDlg::OnCommand(int id) {
    switch (id) {
        case kDefaultButton:
            ShowCurve(defaultCurve);
            break;
        case kApplyButton:
            if (applyCurve) applyCurve(workingCurve);
            break;
        case kCloseButton:
            CloseFromButton();
            break;
        default:
            break;
    }
}

void CFanAdvanceDlg::OnMessage(uint32_t msg, intptr_t, intptr_t) {
    if (msg != kMsgFanCurveChanged) return;
    if (CFanCurve* control = ControlAs<CFanCurve>(kCurveControl)) workingCurve = control->Points();
}
