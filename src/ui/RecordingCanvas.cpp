#include "ui/RecordingCanvas.h"

RecordingCanvas::RecordingCanvas(Size canvasSize, BitmapSizer sizer, std::shared_ptr<DrawLog> sharedLog)
    : RecordingCanvas(canvasSize, std::move(sizer), std::move(sharedLog), 0) {}

RecordingCanvas::RecordingCanvas(Size canvasSize, BitmapSizer sizer, std::shared_ptr<DrawLog> sharedLog,
                                 int surfaceId)
    : size(canvasSize), bitmapSizes(std::move(sizer)), log(std::move(sharedLog)), surface(surfaceId) {
    if (!log) log = std::make_shared<DrawLog>();
}

std::vector<DrawCall> RecordingCanvas::CallsOf(DrawOp op) const {
    std::vector<DrawCall> matching;
    for (const DrawCall& call : log->calls) {
        if (call.op == op) matching.push_back(call);
    }
    return matching;
}

DrawCall& RecordingCanvas::Record(DrawOp op) {
    DrawCall& call = log->calls.emplace_back();
    call.op = op;
    call.surface = surface;
    call.mode = mode;
    return call;
}

void RecordingCanvas::SetDrawMode(DrawMode newMode) {
    mode = newMode;
    Record(DrawOp::SetMode);
}

void RecordingCanvas::DrawLine(Point from, Point to, Color color, int width, PenStyle style) {
    DrawCall& call = Record(DrawOp::Line);
    call.from = from;
    call.to = to;
    call.color = color;
    call.width = width;
    call.pen = style;
}

void RecordingCanvas::FrameRect(const Rect& rect, Color color) {
    DrawCall& call = Record(DrawOp::Frame);
    call.rect = rect;
    call.color = color;
}

void RecordingCanvas::FillRect(const Rect& rect, Color color) {
    DrawCall& call = Record(DrawOp::Fill);
    call.rect = rect;
    call.color = color;
}

void RecordingCanvas::FillPolygon(std::span<const Point> points, Color color) {
    DrawCall& call = Record(DrawOp::Polygon);
    call.points.assign(points.begin(), points.end());
    call.color = color;
}

void RecordingCanvas::DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                                 unsigned format) {
    DrawCall& call = Record(DrawOp::String);
    call.rect = box;
    call.text = std::string(text);
    call.font = font;
    call.color = color;
    call.format = format;
}

void RecordingCanvas::DrawBitmap(int resourceId, const Rect& source, Point dest, std::optional<Color> key) {
    DrawCall& call = Record(DrawOp::Bitmap);
    call.bitmap = resourceId;
    call.rect = source;
    call.to = dest;
    call.key = key;
}

Size RecordingCanvas::BitmapSize(int resourceId) const {
    return bitmapSizes ? bitmapSizes(resourceId) : Size{};
}

std::unique_ptr<Canvas> RecordingCanvas::CreateOffscreen(Size offscreenSize) {
    const int id = log->nextSurface++;
    return std::unique_ptr<Canvas>(new RecordingCanvas(offscreenSize, bitmapSizes, log, id));
}

void RecordingCanvas::DrawCanvas(const Canvas& source, const Rect& from, Point dest) {
    DrawCall& call = Record(DrawOp::Blit);
    call.to = dest;
    const auto* recorded = dynamic_cast<const RecordingCanvas*>(&source);
    call.sourceSurface = recorded ? recorded->surface : -1;
    call.rect = from;
}
