#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "monitor/CPlot.h"
#include "ui/CDialog.h"
#include "ui/HeadlessHost.h"

namespace {

using rlcuv::CPlot;

class PlotTest : public ::testing::Test {
protected:
    CPlot& Chart(Rect rect = {0, 0, 220, 82}) {
        CPlot& plot = dlg.Add<CPlot>(kChart, rect);
        if (!dlg.IsWindowCreated()) dlg.Create();
        return plot;
    }
    std::vector<DrawCall> Lines(Color colour) {
        std::vector<DrawCall> lines;
        for (const DrawCall& call : host.Paint(dlg, kChart)) {
            if (call.op == DrawOp::Line && call.color == colour) lines.push_back(call);
        }
        return lines;
    }

    static constexpr int kChart = 1153;
    static constexpr Color kSeriesColour = Rgb(0, 255, 0);
    HeadlessHost host;
    CDialog dlg{host, 285};
};

TEST_F(PlotTest, SeriesHasOneSamplePerGridColumnAndScrollsLeft) {
    CPlot& plot = Chart();
    ASSERT_TRUE(plot.AddSeries(100, "Gpu Utilization %", 0, 1));
    EXPECT_EQ(plot.plotWidth, 221);
    EXPECT_EQ(plot.plotHeight, 81);
    EXPECT_EQ(plot.plotBottom, 81);
    EXPECT_EQ(plot.rangeMaxText, "100");
    EXPECT_EQ(plot.title, "Gpu Utilization %");
    const rlcuv::PlotSeries& series = plot.Series().at(0);
    ASSERT_EQ(series.Count(), 221);
    EXPECT_EQ(series.samples.back().value, -1);

    plot.AddPoint("GPU UTILIZATION %", 10, 7, "a", true);
    plot.AddPoint("gpu utilization %", 20, 9, "b", false);
    EXPECT_EQ(series.samples[219].value, 10) << "the name matches in any letter case";
    EXPECT_EQ(series.samples[220].value, 20);
    EXPECT_EQ(series.samples[220].raw, 9);
    EXPECT_EQ(series.samples[220].text, "b");
    EXPECT_EQ(series.samples[218].value, -1);

    const int invalidations = host.InvalidateCount(dlg, kChart);
    plot.AddPoint("no such series", 50, 50, "", true);
    EXPECT_EQ(series.samples[220].value, 20);
    EXPECT_EQ(host.InvalidateCount(dlg, kChart), invalidations) << "nothing changed, nothing to repaint";
}

TEST_F(PlotTest, APointRepaintsOnlyWhenItChangesWhatTheChartShows) {
    // Rows: 0 and 1 percent both sit on row 80 of an 82-pixel chart, 50 on row 40.
    struct Case {
        const char* what;
        int filled;  // points before, all of value 0
        int next;
        bool pointer;
        bool repaints;
    };
    const Case cases[] = {
        {"a flat full chart and the same value", 221, 0, false, false},
        {"another value on the same row", 221, 1, false, false},
        {"a value on another row", 221, 50, false, true},
        {"the line still growing", 200, 0, false, true},
        {"the reading under the pointer moves", 221, 0, true, true},
    };
    for (const Case& c : cases) {
        HeadlessHost caseHost;
        CDialog caseDlg{caseHost, 285};
        CPlot& plot = caseDlg.Add<CPlot>(kChart, Rect{0, 0, 220, 82});
        caseDlg.Create();
        plot.AddSeries(100, "s", 0, 0);
        for (int n = 0; n < c.filled; ++n) plot.AddPoint("s", 0, n, "", true);
        if (c.pointer) caseHost.MouseMove(caseDlg, {100, 40});
        const int before = caseHost.InvalidateCount(caseDlg, kChart);
        plot.AddPoint("s", c.next, 7, "", true);
        EXPECT_EQ(caseHost.InvalidateCount(caseDlg, kChart) > before, c.repaints) << c.what;
    }
}

TEST_F(PlotTest, ValuesMapToRowsClampedIntoThePlot) {
    CPlot& plot = Chart();
    plot.AddSeries(100, "s", 0, 0);
    struct Case {
        int value;
        int y;
    };
    const Case cases[] = {{0, 80}, {29, 57}, {50, 40}, {100, 0}, {150, 0},
                          {std::numeric_limits<int>::max(), 0}, {std::numeric_limits<int>::min(), 80},
                          {-20, 80}};
    for (const Case& c : cases) EXPECT_EQ(plot.ValueToY(c.value), c.y) << c.value;
}

TEST_F(PlotTest, DrawsTheGridOnceAndOneLinePerPairOfPoints) {
    constexpr Color kGrid = Rgb(0, 84, 107);
    CPlot& plot = Chart();
    plot.gridColour = kGrid;
    plot.blend = 1.0f;
    plot.AddSeries(100, "s", 0, 0);

    // Grid: 45 vertical lines from x = -2 every 5 pixels, 17 horizontal ones, in the grid colour,
    // drawn on a picture the chart keeps.
    const std::vector<DrawCall> grid = Lines(kGrid);
    ASSERT_EQ(grid.size(), 45u + 17u);
    EXPECT_NE(grid[0].surface, 0) << "drawn off-screen";
    EXPECT_EQ(grid[0].from, (Point{-2, 0}));
    EXPECT_EQ(grid[0].to, (Point{-2, 81}));
    EXPECT_EQ(grid[44].from, (Point{218, 0}));
    EXPECT_EQ(grid[45].from, (Point{-1, 0}));
    EXPECT_EQ(grid[45].to, (Point{219, 0}));
    EXPECT_EQ(grid.back().from, (Point{-1, 80}));
    EXPECT_TRUE(Lines(kSeriesColour).empty()) << "a fresh series draws nothing";

    plot.AddPoint("s", 50, 5, "", true);
    const std::vector<DrawCall> next = host.Paint(dlg, kChart);
    EXPECT_TRUE(Lines(kSeriesColour).empty()) << "one sample is no line";
    EXPECT_TRUE(Lines(kGrid).empty()) << "a new point leaves the grid's picture as it is";
    EXPECT_TRUE(std::any_of(next.begin(), next.end(), [](const DrawCall& c) { return c.op == DrawOp::Blit; }));

    plot.AddPoint("s", 100, 9, "12:00:01", true);
    std::vector<DrawCall> lines = Lines(kSeriesColour);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, (Point{218, 40}));
    EXPECT_EQ(lines[0].to, (Point{219, 0}));

    // The pointer over a column shows that sample's reading and the end of its text.
    host.MouseMove(dlg, {218, 30});
    bool hoverShown = false;
    for (const DrawCall& call : host.Paint(dlg, kChart)) {
        if (call.op == DrawOp::String && call.text == "5") hoverShown = call.rect.left == 218 && call.rect.top == 25;
    }
    EXPECT_TRUE(hoverShown);

    // Whatever the grid is drawn from draws it again.
    plot.gridColour = Rgb(1, 2, 3);
    EXPECT_EQ(Lines(Rgb(1, 2, 3)).size(), 45u + 17u);
    plot.gridOffsetX = 0;
    EXPECT_EQ(Lines(Rgb(1, 2, 3)).front().from, (Point{0, 0}));
    plot.axesOn = true;
    EXPECT_EQ(Lines(Rgb(1, 2, 3)).size(), 45u + 17u);
    EXPECT_TRUE(Lines(Rgb(1, 2, 3)).empty());
}

TEST_F(PlotTest, PenColourBlendsTheSeriesIntoTheGrid) {
    CPlot& plot = Chart();
    plot.AddSeries(100, "s", 0, 0);
    plot.gridColour = Rgb(100, 0, 200);
    plot.blend = 0.5f;
    EXPECT_EQ(plot.SeriesPenColour(plot.Series()[0]), Rgb(50, 127, 100));
    plot.blend = 0.0f;
    EXPECT_EQ(plot.SeriesPenColour(plot.Series()[0]), Rgb(100, 0, 200));
}

TEST_F(PlotTest, ResizeKeepsTheNewestValuesAndNeverGoesNegative) {
    CPlot& plot = Chart();
    plot.AddSeries(100, "s", 7, 0);
    for (int v = 1; v <= 5; ++v) plot.AddPoint("s", v, v, "", false);
    plot.Resize({4, 82});
    const rlcuv::PlotSeries& series = plot.Series()[0];
    ASSERT_EQ(series.Count(), 4);
    EXPECT_EQ(series.samples[0].value, 2);
    EXPECT_EQ(series.samples[3].value, 5);
    plot.Resize({10, 82});
    EXPECT_EQ(series.samples[0].value, 7) << "new columns start at the range bottom";
    EXPECT_EQ(series.samples[9].value, 5);

    plot.majorTicksOn = true;
    plot.Resize({20, 82});
    EXPECT_EQ(series.Count(), 0) << "no room left beside the ticks";
    EXPECT_TRUE(Lines(kSeriesColour).empty());
}

TEST_F(PlotTest, TicksOnATinyChartEndAndScrollingFollowsItsInterval) {
    CPlot& plot = Chart({0, 0, 40, 4});
    plot.majorTicksOn = plot.minorTicksOn = true;
    plot.AddSeries(100, "s", 0, 0);
    EXPECT_FALSE(host.Paint(dlg, kChart).empty()) << "a span below the divisions still draws, with steps of 1";

    plot.SetScrollInterval(CPlot::kNoScrolling);
    EXPECT_FALSE(host.IsTimerRunning(dlg, CPlot::kScrollTimer, kChart));
    plot.SetScrollInterval(1000);
    ASSERT_TRUE(host.FireTimer(dlg, CPlot::kScrollTimer, kChart));
    EXPECT_EQ(plot.gridOffsetX, 5) << "-2 - 2 wraps to 5";
    ASSERT_TRUE(host.FireTimer(dlg, CPlot::kScrollTimer, kChart));
    EXPECT_EQ(plot.gridOffsetX, 3);
    plot.SetScrollInterval(CPlot::kNoScrolling);
    EXPECT_FALSE(host.FireTimer(dlg, CPlot::kScrollTimer, kChart));
    EXPECT_EQ(plot.gridOffsetX, 3);
}

}  // namespace
