#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Canvas.h"

enum class DrawOp { SetMode, Line, Frame, Fill, Polygon, String, Bitmap, Blit };

// One recorded drawing call. `surface` is 0 for the canvas handed to the painter and n for the
// n-th off-screen surface made from it; a Blit copies `sourceSurface` onto `surface` at `to`.
struct DrawCall {
    DrawOp op = DrawOp::Line;
    int surface = 0;
    Point from;
    Point to;
    Rect rect;
    Color color = 0;
    int width = 0;
    PenStyle pen = PenStyle::Solid;
    DrawMode mode = DrawMode::Copy;  // the mode in force for this call
    std::string text;
    FontSpec font;
    unsigned format = 0;
    int bitmap = 0;
    std::optional<Color> key;
    std::vector<Point> points;
    int sourceSurface = 0;
};

struct DrawLog {
    std::vector<DrawCall> calls;
    int nextSurface = 1;
};

// A canvas that draws nothing and remembers every call, for tests of owner drawing.
class RecordingCanvas : public Canvas {
public:
    using BitmapSizer = std::function<Size(int)>;
    explicit RecordingCanvas(Size size, BitmapSizer bitmapSizes = {},
                             std::shared_ptr<DrawLog> log = std::make_shared<DrawLog>());

    const std::vector<DrawCall>& Calls() const { return log->calls; }
    std::vector<DrawCall> CallsOf(DrawOp op) const;
    int SurfaceId() const { return surface; }

    Size GetSize() const override { return size; }
    void SetDrawMode(DrawMode newMode) override;
    void DrawLine(Point from, Point to, Color color, int width, PenStyle style) override;
    void FrameRect(const Rect& rect, Color color) override;
    void FillRect(const Rect& rect, Color color) override;
    void FillPolygon(std::span<const Point> points, Color color) override;
    void DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                    unsigned format) override;
    void DrawBitmap(int resourceId, const Rect& source, Point dest,
                    std::optional<Color> transparentKey) override;
    Size BitmapSize(int resourceId) const override;
    std::unique_ptr<Canvas> CreateOffscreen(Size offscreenSize) override;
    void DrawCanvas(const Canvas& source, const Rect& from, Point dest) override;
    using Canvas::DrawCanvas;
    using Canvas::DrawBitmap;

private:
    RecordingCanvas(Size size, BitmapSizer bitmapSizes, std::shared_ptr<DrawLog> log, int surface);
    DrawCall& Record(DrawOp op);

    Size size;
    BitmapSizer bitmapSizes;
    std::shared_ptr<DrawLog> log;
    int surface = 0;
    DrawMode mode = DrawMode::Copy;
};
