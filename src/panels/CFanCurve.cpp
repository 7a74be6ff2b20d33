#include "panels/CFanCurve.h"

#include <algorithm>

#include "controls/CMemoryDC.h"
#include "ui/CDialog.h"

CFanCurve::CFanCurve(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {}

void CFanCurve::SetGridBitmap(int resourceId) {
    gridBitmap = resourceId;
    const Size size = Dialog().Host().BitmapSize(resourceId);
    cellWidth = std::max(size.width, 0) / kGridCells;
    cellHeight = std::max(size.height, 0) / kGridCells;
    Invalidate();
}

void CFanCurve::SetPoints(const FanCurvePoints& given) {
    {
        std::lock_guard<std::mutex> guard(drawing);
        points = given;
    }
    Changed();
}

void CFanCurve::Changed() {
    Invalidate();
    // Sent, not posted: the dialog's copy is current when this returns.
    Dialog().HandleMessage(kMsgFanCurveChanged, 0, 0);
}

bool CFanCurve::OnMouse(const MouseEvent& event) {
    if (event.action != MouseAction::Down || event.button != MouseButton::Left) return true;
    // Without a grid there are no cells to hit.
    if (cellWidth <= 0 || cellHeight <= 0) return true;
    // The control's last pixel column and row lie past the ten cells: they count as the last cell,
    // so a click never reaches a point beyond the ten.
    const int column = std::clamp(event.pt.x / cellWidth, 0, kGridCells - 1);
    const int row = std::clamp(event.pt.y / cellHeight, 0, kGridCells);
    {
        std::lock_guard<std::mutex> guard(drawing);
        FanCurvePoint& point = points[size_t(column)];
        point.step = column + 1;
        point.level = row;
    }
    Changed();
    return true;
}

std::vector<Point> CFanCurve::CurvePath() const {
    const Size size = State().rect.GetSize();
    std::vector<Point> path{{0, size.height}};
    int x = 0;
    for (const FanCurvePoint& point : points) {
        if (!point.enabled) continue;
        path.push_back({x * cellWidth, point.level * cellHeight});
        path.push_back({point.step * cellWidth, point.level * cellHeight});
        x = point.step;
    }
    path.push_back({x * cellWidth, 0});
    path.push_back({size.width, 0});
    return path;
}

void CFanCurve::OnPaint(Canvas& target) {
    std::lock_guard<std::mutex> guard(drawing);
    CMemoryDC canvas(target);
    canvas.DrawBitmap(gridBitmap, {0, 0});
    const std::vector<Point> path = CurvePath();
    for (size_t i = 1; i < path.size(); ++i) canvas.DrawLine(path[i - 1], path[i], penColour, 1, PenStyle::Solid);
}
