#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/CPlot.h"
#include "ui/CDialog.h"
#include "ui/HeadlessHost.h"
#include "win32/FontCache.h"
#include "win32/GdiCanvas.h"

namespace {

// A 32-bit picture in a memory DC whose pixels the test reads back.
class Picture {
public:
    Picture(int width, int height) : size{width, height} {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* raw = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<uint32_t*>(raw);
        old = SelectObject(dc, bitmap);
    }
    ~Picture() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::vector<uint32_t> Pixels() const {
        GdiFlush();
        return {bits, bits + size_t(size.width) * size_t(size.height)};
    }
    GdiCanvas Canvas() const { return GdiCanvas(dc, size, {nullptr, fonts, nullptr}); }

    Size size;
    HDC dc = nullptr;

private:
    std::shared_ptr<FontCache> fonts = std::make_shared<FontCache>();
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

// Draws the way a chart drew before it kept pictures: no off-screen surface, every line on its own.
class LineByLine : public Canvas {
public:
    explicit LineByLine(Canvas& target) : target(target) {}
    Size GetSize() const override { return target.GetSize(); }
    void SetDrawMode(DrawMode mode) override { target.SetDrawMode(mode); }
    void DrawLine(Point from, Point to, Color color, int width, PenStyle style) override {
        target.DrawLine(from, to, color, width, style);
    }
    void FrameRect(const Rect& rect, Color color) override { target.FrameRect(rect, color); }
    void FillRect(const Rect& rect, Color color) override { target.FillRect(rect, color); }
    void FillPolygon(std::span<const Point> points, Color color) override { target.FillPolygon(points, color); }
    void DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                    unsigned format) override {
        target.DrawString(box, text, font, color, format);
    }
    void DrawBitmap(int id, const Rect& source, Point dest, std::optional<Color> key) override {
        target.DrawBitmap(id, source, dest, key);
    }
    Size BitmapSize(int id) const override { return target.BitmapSize(id); }
    std::unique_ptr<Canvas> CreateOffscreen(Size) override { return nullptr; }
    void DrawCanvas(const Canvas&, const Rect&, Point) override {}

private:
    Canvas& target;
};

TEST(GdiCanvas, OnePixelPolylineSetsThePixelsOfItsLinesDrawnOneByOne) {
    // Flat, steep, backwards and off-surface segments, in copy and in exclusive-or mode.
    const std::vector<Point> points = {{-5, 30}, {0, 12}, {1, 12}, {2, 40}, {3, 39}, {9, 39}, {9, 2},
                                       {10, 70}, {30, 0}, {22, 25}, {60, 25}, {61, 26}, {80, 90}};
    for (DrawMode mode : {DrawMode::Copy, DrawMode::Xor}) {
        Picture whole(64, 64);
        Picture bySegment(64, 64);
        GdiCanvas a = whole.Canvas();
        GdiCanvas b = bySegment.Canvas();
        for (GdiCanvas* canvas : {&a, &b}) {
            canvas->FillRect({0, 0, 64, 64}, Rgb(8, 36, 72));
            canvas->SetDrawMode(mode);
        }
        a.DrawPolyline(points, Rgb(0, 255, 0), 1, PenStyle::Solid);
        for (size_t i = 1; i < points.size(); ++i) b.DrawLine(points[i - 1], points[i], Rgb(0, 255, 0), 1, PenStyle::Solid);
        EXPECT_EQ(whole.Pixels(), bySegment.Pixels()) << int(mode);
    }
}

TEST(PlotPixels, AChartAfterManyPointsMatchesAFullRedrawLineByLine) {
    HeadlessHost host;
    CDialog dlg{host, 285};
    const Rect place{0, 0, 220, 82};
    rlcuv::CPlot& kept = dlg.Add<rlcuv::CPlot>(1153, place);
    rlcuv::CPlot& fresh = dlg.Add<rlcuv::CPlot>(1157, place);
    for (rlcuv::CPlot* plot : {&kept, &fresh}) {
        plot->gridColour = Rgb(0, 84, 107);
        plot->blend = 1.0f;
        plot->AddSeries(100, "s", 0, 1);
    }
    Picture shown(220, 82);
    GdiCanvas keptCanvas = shown.Canvas();
    // The kept chart paints after every point, as on screen; values sweep the range and beyond it.
    for (int n = 0; n < 300; ++n) {
        const int value = (n * 37) % 130 - 10;
        kept.AddPoint("s", value, n, "12:00:" + std::to_string(n), true);
        fresh.AddPoint("s", value, n, "12:00:" + std::to_string(n), false);
        if (n % 7 == 0 || n > 290) kept.OnPaint(keptCanvas);
    }
    Picture reference(220, 82);
    GdiCanvas referenceCanvas = reference.Canvas();
    LineByLine lineByLine(referenceCanvas);
    fresh.OnPaint(lineByLine);
    EXPECT_EQ(shown.Pixels(), reference.Pixels());

    // With the pointer over a column, its reading sits over the lines before it and under the rest.
    for (rlcuv::CPlot* plot : {&kept, &fresh}) plot->OnMouse({MouseAction::Move, MouseButton::None, {150, 40}});
    kept.OnPaint(keptCanvas);
    fresh.OnPaint(lineByLine);
    EXPECT_EQ(shown.Pixels(), reference.Pixels());

    // A new grid colour redraws the kept background.
    for (rlcuv::CPlot* plot : {&kept, &fresh}) plot->gridColour = Rgb(64, 64, 64);
    kept.OnPaint(keptCanvas);
    fresh.OnPaint(lineByLine);
    EXPECT_EQ(shown.Pixels(), reference.Pixels());
}

}  // namespace
