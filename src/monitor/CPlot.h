#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/CWndControl.h"

namespace rlcuv {

// One sample of a series: where it was last drawn, its value in percent of the chart's range (-1:
// no point yet), the reading in display units and the text shown under its column on hover.
struct PlotSample {
    int y = 0;
    int x = 0;
    int value = -1;
    int raw = 0;
    std::string text;
};

// A named window of samples, one per pixel column, oldest first.
struct PlotSeries {
    std::string name;
    Color colour = Rgb(0, 255, 0);
    PenStyle penStyle = PenStyle::Solid;
    int penWidth = 0;
    int rangeMin = 0;
    int rangeMax = 0;
    std::vector<PlotSample> samples;
    int Count() const { return int(samples.size()); }
};

// A scrolling line chart: every new point shifts its series one column to the left and lands at the
// right edge. Values are percentages of the range (the owner computes them); the chart clamps what
// it draws into its plot area, draws over a 5-pixel grid, and shows the reading of the column under
// the pointer. One lock, shared by every chart, serialises adding points, drawing and resizing.
class CPlot : public CWndControl {
public:
    static constexpr int kScrollTimer = 1;
    static constexpr int kNoScrolling = -1;

    CPlot(CDialog& dialog, int id, const Rect& rect);

    // Appends a series sized to the control; false (nothing added) when its samples cannot be made.
    bool AddSeries(int rangeMax, std::string_view name, int rangeMin, int penWidth);
    // Appends a point to every series of that name (compared without regard to case). With `redraw`
    // the chart is repainted when the point changes what it shows.
    void AddPoint(std::string_view name, int value, int raw, std::string_view text, bool redraw);
    // The control's new size: each series keeps its newest values, the new columns start at its
    // range bottom. A size without room leaves the series empty.
    void Resize(Size size);
    // Grid scrolling period; kNoScrolling stops it.
    void SetScrollInterval(int intervalMs);

    // The pixel row a value is drawn at, clamped into the plot area.
    int ValueToY(int value) const;
    // The pen colour of a series: its colour blended into the grid colour by `blend`.
    Color SeriesPenColour(const PlotSeries& series) const;

    const std::vector<PlotSeries>& Series() const { return series; }

    void OnPaint(Canvas& canvas) override;
    bool OnMouse(const MouseEvent& event) override;
    void OnTimer(int timerId) override;

    Color backgroundColour = Rgb(8, 36, 72);
    Color gridColour = Rgb(64, 96, 64);
    bool gridOn = true;
    bool axesOn = false;
    bool majorTicksOn = false;
    bool minorTicksOn = false;
    float blend = 0.0f;
    PenStyle penStyle = PenStyle::Solid;
    int gridOffsetX = -2;
    int gridOffsetY = 0;
    int scrollIntervalMs = 1000;
    int majorDivisions = 10;
    int minorPerMajor = 5;
    FontSpec font{"微软雅黑", -10, 0, 100};
    bool samplesFollowGrid = true;
    // Called when the right button is released over the chart, with the point in the chart's area.
    std::function<void(Point)> onContextMenu;

    int plotLeft = 0;
    int plotTop = 0;
    int plotRight = 0;
    int plotBottom = 0;
    int plotWidth = 0;
    int plotHeight = 0;
    int rangeMax = 0;
    int rangeMin = 0;
    std::string rangeMaxText;
    std::string rangeMinText;
    std::string title;

private:
    // What the background (fill, grid, axes and ticks) is drawn from; a change redraws it.
    struct BackgroundLook {
        Size size;
        Color background = 0;
        Color grid = 0;
        bool gridOn = false;
        bool axesOn = false;
        bool majorTicksOn = false;
        bool minorTicksOn = false;
        PenStyle penStyle = PenStyle::Solid;
        int gridOffsetX = 0;
        int gridOffsetY = 0;
        int majorDivisions = 0;
        int minorPerMajor = 0;
        FontSpec font;
        Rect plot;
        friend bool operator==(const BackgroundLook&, const BackgroundLook&) = default;
    };
    // The row a sample is drawn at; samples without a value share a row of their own.
    int RowOf(int value) const;
    BackgroundLook CurrentLook(Size size) const;
    void DrawBackground(Canvas& canvas, Size size) const;
    void DrawGrid(Canvas& canvas, Size size) const;
    void DrawAxesAndTicks(Canvas& canvas, Size size) const;
    void DrawSeries(Canvas& canvas, PlotSeries& line);

    std::vector<PlotSeries> series;
    // The background as last drawn, kept between paints: a new point only redraws the lines.
    std::unique_ptr<Canvas> backgroundPicture;
    BackgroundLook backgroundLook;
    std::vector<Point> run;
    bool pointerInside = false;
    Point pointer;
};

}  // namespace rlcuv
