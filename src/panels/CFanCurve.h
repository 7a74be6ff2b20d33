#pragma once
#include <mutex>
#include <vector>

#include "app/FanCurve.h"
#include "ui/CWndControl.h"

// Message the curve control sends its dialog after every change of its points (wParam 0, lParam 0).
inline constexpr uint32_t kMsgFanCurveChanged = 0x464;

// The fan curve drawn as steps over a 10 × 10 grid bitmap: a horizontal run at each enabled point's
// fan level from the previous enabled point's temperature to its own, joined by vertical lines. A left
// click sets the point of the clicked column to that column and row.
class CFanCurve : public CWndControl {
public:
    static constexpr int kGridCells = 10;

    CFanCurve(CDialog& dialog, int id, const Rect& rect);

    // The grid bitmap; each cell is its size ÷ 10. Without the bitmap the cells are empty and clicks
    // do nothing.
    void SetGridBitmap(int resourceId);
    void SetPenColour(Color colour) { penColour = colour; }
    // Copies the points, redraws, and tells the dialog.
    void SetPoints(const FanCurvePoints& points);
    const FanCurvePoints& Points() const { return points; }
    Size CellSize() const { return {cellWidth, cellHeight}; }

    // The corners of the drawn curve, in control pixels.
    std::vector<Point> CurvePath() const;

    bool OnMouse(const MouseEvent& event) override;
    void OnPaint(Canvas& canvas) override;

private:
    void Changed();

    FanCurvePoints points = DefaultFanCurve();
    int gridBitmap = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    Color penColour = 0xFFFFFF;
    // Drawing reads the points under it.
    mutable std::mutex drawing;
};
