#include "monitor/CPlot.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <mutex>
#include <new>

#include "controls/CMemoryDC.h"
#include "ui/CDialog.h"

namespace rlcuv {

namespace {

// Shared by every chart of the program.
std::mutex& ChartLock() {
    static std::mutex lock;
    return lock;
}

constexpr Color kAxisColour = Rgb(255, 255, 0);
constexpr Color kHoverColour = Rgb(222, 223, 222);
constexpr int kAxesLift = 15;
constexpr int kTickMargin = 30;
// No chart is wider than a screen; a bigger count is a damaged size, not a chart.
constexpr int kMaxSamples = 1 << 16;

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

int GridAligned(int length) {
    return (std::max(length, 0) / 5) * 5 + 1;
}

std::string NumberText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

void Label(Canvas& canvas, Point at, std::string_view text, const FontSpec& font, Color colour) {
    canvas.DrawString({at.x, at.y, 80, 16}, text, font, colour, kTextLeft | kTextSingleLine | kTextNoClip);
}

}  // namespace

CPlot::CPlot(CDialog& dialog, int id, const Rect& rect) : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {
    // The chart paints every pixel itself; nothing is erased or copied behind it.
    MutableState().transparentBackground = false;
    MutableState().coversArea = true;
    ChartLock();
}

bool CPlot::AddSeries(int max, std::string_view name, int min, int width) {
    const Size size = State().rect.GetSize();
    plotLeft = 0;
    plotTop = 0;
    plotRight = plotWidth = GridAligned(size.width);
    plotBottom = plotHeight = GridAligned(size.height);
    rangeMax = max;
    rangeMin = min;
    rangeMaxText = NumberText(max);
    rangeMinText = NumberText(min);
    title = std::string(name);

    const int count = std::clamp(samplesFollowGrid ? plotWidth : size.width, 0, kMaxSamples);
    PlotSeries added;
    try {
        added.samples.resize(size_t(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    added.name = std::string(name);
    added.penWidth = width;
    added.rangeMin = min;
    added.rangeMax = max;
    {
        std::lock_guard<std::mutex> guard(ChartLock());
        series.push_back(std::move(added));
    }
    Invalidate();
    return true;
}

void CPlot::AddPoint(std::string_view name, int value, int raw, std::string_view text, bool redraw) {
    // The reading under the pointer moves with every point; without it, a series whose samples all
    // sit on the new point's row shows the same lines after the shift.
    bool changed = pointerInside;
    {
        std::lock_guard<std::mutex> guard(ChartLock());
        for (PlotSeries& line : series) {
            if (!SameName(line.name, name) || line.samples.empty()) continue;
            const int row = RowOf(value);
            changed = changed || std::any_of(line.samples.begin(), line.samples.end(),
                                             [&](const PlotSample& sample) { return RowOf(sample.value) != row; });
            std::move(line.samples.begin() + 1, line.samples.end(), line.samples.begin());
            PlotSample& last = line.samples.back();
            last.value = value;
            last.raw = raw;
            last.text = std::string(text);
        }
    }
    if (redraw && changed) Invalidate();
}

int CPlot::RowOf(int value) const {
    return value == -1 ? std::numeric_limits<int>::min() : ValueToY(value);
}

void CPlot::Resize(Size size) {
    if (size.IsEmpty() || !State().visible) return;
    {
        std::lock_guard<std::mutex> guard(ChartLock());
        const int width = (majorTicksOn || minorTicksOn) ? size.width - kTickMargin : size.width;
        const int count = std::clamp(width, 0, kMaxSamples);
        for (PlotSeries& line : series) {
            std::vector<PlotSample> resized(static_cast<size_t>(count));
            for (PlotSample& sample : resized) sample.value = line.rangeMin;
            const int kept = std::min(count, line.Count());
            for (int k = 1; k <= kept; ++k) {
                resized[size_t(count - k)].value = line.samples[size_t(line.Count() - k)].value;
            }
            line.samples = std::move(resized);
        }
    }
    Invalidate();
}

void CPlot::SetScrollInterval(int intervalMs) {
    scrollIntervalMs = intervalMs;
    if (intervalMs == kNoScrolling || intervalMs <= 0) {
        KillTimer(kScrollTimer);
    } else {
        SetTimer(kScrollTimer, uint32_t(intervalMs));
    }
}

void CPlot::OnTimer(int timerId) {
    if (timerId != kScrollTimer) return;
    KillTimer(kScrollTimer);
    if (State().visible && scrollIntervalMs != kNoScrolling && gridOn) {
        gridOffsetX -= 2;
        if (gridOffsetX > 5) gridOffsetX = 0;
        if (gridOffsetX < 0) gridOffsetX = 5;
        if (gridOffsetY > 5) gridOffsetY = 0;
        Invalidate();
    }
    if (scrollIntervalMs != kNoScrolling && scrollIntervalMs > 0) SetTimer(kScrollTimer, uint32_t(scrollIntervalMs));
}

int CPlot::ValueToY(int value) const {
    // 64-bit, so a hostile percentage cannot overflow; the result stays inside the plot area.
    const int64_t y = int64_t(plotBottom) - int64_t(value) * plotHeight / 101 - 1;
    return int(std::clamp<int64_t>(y, plotTop, std::max(plotTop, plotBottom - 1)));
}

Color CPlot::SeriesPenColour(const PlotSeries& line) const {
    const float share = std::clamp(blend, 0.0f, 1.0f);
    auto mix = [share](uint8_t grid, uint8_t own) {
        return uint8_t((1.0f - share) * float(grid) + share * float(own));
    };
    return Rgb(mix(RedOf(gridColour), RedOf(line.colour)), mix(GreenOf(gridColour), GreenOf(line.colour)),
               mix(BlueOf(gridColour), BlueOf(line.colour)));
}

bool CPlot::OnMouse(const MouseEvent& event) {
    if (event.action == MouseAction::Move) {
        if (!pointerInside && Dialog().IsWindowCreated()) Dialog().Host().TrackMouseLeave(Dialog(), Id());
        pointerInside = true;
        if (pointer.x != event.pt.x) Invalidate();
        pointer = event.pt;
    } else if (event.action == MouseAction::Leave) {
        pointerInside = false;
        Invalidate();
    } else if (event.action == MouseAction::Up && event.button == MouseButton::Right && onContextMenu) {
        onContextMenu(event.pt);
        return true;
    }
    return false;
}

void CPlot::OnPaint(Canvas& target) {
    if (!State().visible) return;
    std::lock_guard<std::mutex> guard(ChartLock());
    const Size size = State().rect.GetSize();
    const BackgroundLook look = CurrentLook(size);
    if (!backgroundPicture || !(look == backgroundLook)) {
        backgroundPicture = target.CreateOffscreen(size);
        if (backgroundPicture) DrawBackground(*backgroundPicture, size);
        backgroundLook = look;
    }
    if (backgroundPicture) {
        // The kept picture covers every pixel in one copy, so the lines go straight onto the target
        // (the host paints controls off-screen and shows the result in one piece).
        target.DrawCanvas(*backgroundPicture, {0, 0});
        for (PlotSeries& line : series) DrawSeries(target, line);
        return;
    }
    CMemoryDC canvas(target);
    DrawBackground(canvas, size);
    for (PlotSeries& line : series) DrawSeries(canvas, line);
}

CPlot::BackgroundLook CPlot::CurrentLook(Size size) const {
    return {size,         backgroundColour, gridColour,      gridOn,        axesOn,         majorTicksOn,
            minorTicksOn, penStyle,         gridOffsetX,     gridOffsetY,   majorDivisions, minorPerMajor,
            font,         Rect{plotLeft, plotTop, plotWidth, plotHeight}};
}

void CPlot::DrawBackground(Canvas& canvas, Size size) const {
    canvas.FillRect({0, 0, size.width, size.height}, backgroundColour);
    if (gridOn) DrawGrid(canvas, size);
    if (axesOn || majorTicksOn || minorTicksOn) DrawAxesAndTicks(canvas, size);
}

void CPlot::DrawGrid(Canvas& canvas, Size size) const {
    const int bottom = GridAligned(size.height);
    for (int k = 0; k <= size.width / 5; ++k) {
        const int x = gridOffsetX + 5 * k;
        canvas.DrawLine({x, 0}, {x, bottom}, gridColour, 1, penStyle);
    }
    const int right = (std::max(size.width, 0) / 5) * 5 - 1;
    for (int k = 0; 5 * k < bottom; ++k) {
        const int y = gridOffsetY + 5 * k;
        canvas.DrawLine({-1, y}, {right, y}, gridColour, 1, penStyle);
    }
}

void CPlot::DrawAxesAndTicks(Canvas& canvas, Size size) const {
    const int w = size.width;
    const int h = size.height;
    if (axesOn) {
        canvas.DrawLine({plotLeft - 1, plotBottom - 1}, {plotRight - 2, plotBottom - 1}, kAxisColour, 1, penStyle);
        canvas.DrawLine({plotLeft - 1, plotBottom - 1}, {plotLeft - 1, plotTop - 1}, kAxisColour, 1, penStyle);
    }
    if (!majorTicksOn && !minorTicksOn) return;
    const int span = axesOn ? plotHeight - kAxesLift : h;
    // A step of 0 would never leave its loop: every step is at least one pixel.
    const int majorStep = std::max(1, span / std::max(1, majorDivisions));
    const int minorStep = std::max(1, span / std::max(1, majorDivisions) / std::max(1, minorPerMajor));
    for (int t = span; t >= 0; t -= majorStep) {
        if (majorTicksOn) {
            canvas.DrawLine({28, t}, {33, t}, kAxisColour, 1, penStyle);
            canvas.DrawLine({w, t}, {w - 4, t}, kAxisColour, 1, penStyle);
        }
        if (!minorTicksOn) continue;
        for (int u = t - minorStep; u > t - majorStep && u >= 0; u -= minorStep) {
            canvas.DrawLine({29, u}, {32, u}, kAxisColour, 1, penStyle);
            canvas.DrawLine({w, u}, {w - 3, u}, kAxisColour, 1, penStyle);
        }
    }
    Label(canvas, {0, 0}, "100%", font, kAxisColour);
    if (axesOn) {
        Label(canvas, {0, (plotHeight - kAxesLift) / 2 - 10}, " 50%", font, kAxisColour);
        Label(canvas, {0, plotHeight - 25}, "  0%", font, kAxisColour);
    } else {
        Label(canvas, {0, h / 2 - 10}, " 50%", font, kAxisColour);
        Label(canvas, {0, h - 10}, "  0%", font, kAxisColour);
    }
}

void CPlot::DrawSeries(Canvas& canvas, PlotSeries& line) {
    const Color colour = SeriesPenColour(line);
    const int lift = axesOn ? kAxesLift : 0;
    // A line joins each sample that has a value to the next one; consecutive lines go out as one
    // run. Fewer than two samples make no line.
    run.clear();
    auto flush = [&] {
        if (run.size() >= 2) canvas.DrawPolyline(run, colour, line.penWidth, line.penStyle);
        run.clear();
    };
    for (int i = 0; i + 1 < line.Count(); ++i) {
        PlotSample& from = line.samples[size_t(i)];
        PlotSample& to = line.samples[size_t(i + 1)];
        if (from.value == -1) {
            flush();
            continue;
        }
        from.y = ValueToY(from.value);
        to.y = ValueToY(to.value);
        from.x = plotLeft + i - 1;
        to.x = plotLeft + i;
        if (run.empty()) run.push_back({from.x, from.y - lift});
        run.push_back({to.x, to.y - lift});
        if (pointerInside && pointer.x == from.x) {
            // The reading under the pointer: over the lines up to its column, under the ones after.
            flush();
            Label(canvas, {from.x, from.y - 15}, NumberText(from.raw), font, kHoverColour);
            const std::string_view text = from.text;
            Label(canvas, {from.x, plotBottom}, text.substr(text.size() > 8 ? text.size() - 8 : 0), font,
                  kHoverColour);
        }
    }
    flush();
}

}  // namespace rlcuv
