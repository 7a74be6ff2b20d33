#pragma once
#include <functional>

#include "app/FanCurve.h"
#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"

// The fan curve editor side window: the curve control with Default, Apply and Close. Each opening
// starts from the main window's curve; nothing reaches the fan until Apply, so closing without it
// discards the edits.
class CFanAdvanceDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 289;
    static constexpr int kBackgroundBitmap = 290;
    static constexpr int kGridBitmap = 291;
    static constexpr int kWidth = 453;
    static constexpr int kHeight = 445;
    static constexpr int kCloseButton = 1181;
    static constexpr int kApplyButton = 1182;
    static constexpr int kCurveControl = 1183;
    static constexpr int kDefaultButton = 1184;
    static constexpr Rect kCurveRect{84, 74, 291, 291};

    // `curveSource` gives the main window's curve (every point enabled); `applyCurve` hands the edited
    // one back to it.
    CFanAdvanceDlg(UiHost& host, std::function<FanCurvePoints()> curveSource,
                   std::function<void(const FanCurvePoints&)> applyCurve);

    CDialog& Dialog() override { return *this; }
    void OnShowing() override;

    const FanCurvePoints& InitialCurve() const { return initialCurve; }
    const FanCurvePoints& WorkingCurve() const { return workingCurve; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) override;

private:
    void ShowCurve(const FanCurvePoints& curve);

    std::function<FanCurvePoints()> curveSource;
    std::function<void(const FanCurvePoints&)> applyCurve;
    FanCurvePoints initialCurve = DefaultFanCurve();
    const FanCurvePoints defaultCurve = DefaultFanCurve();
    FanCurvePoints workingCurve = DefaultFanCurve();
};
