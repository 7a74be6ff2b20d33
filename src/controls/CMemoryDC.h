#pragma once
#include <memory>

#include "ui/Canvas.h"

// Flicker-free painting: everything drawn on it goes to an off-screen surface, copied onto the
// target in one piece when the CMemoryDC ends. Without an off-screen surface it draws directly.
class CMemoryDC : public Canvas {
public:
    explicit CMemoryDC(Canvas& target);
    CMemoryDC(Canvas& target, Point origin, Size size);
    ~CMemoryDC() override;
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    Size GetSize() const override { return surface->GetSize(); }
    void SetDrawMode(DrawMode mode) override { surface->SetDrawMode(mode); }
    void DrawLine(Point from, Point to, Color color, int width, PenStyle style) override {
        surface->DrawLine(from, to, color, width, style);
    }
    void DrawPolyline(std::span<const Point> points, Color color, int width, PenStyle style) override {
        surface->DrawPolyline(points, color, width, style);
    }
    void FrameRect(const Rect& rect, Color color) override { surface->FrameRect(rect, color); }
    void FillRect(const Rect& rect, Color color) override { surface->FillRect(rect, color); }
    void FillPolygon(std::span<const Point> points, Color color) override {
        surface->FillPolygon(points, color);
    }
    void DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                    unsigned format) override {
        surface->DrawString(box, text, font, color, format);
    }
    void DrawBitmap(int resourceId, const Rect& source, Point dest, std::optional<Color> key) override {
        surface->DrawBitmap(resourceId, source, dest, key);
    }
    Size BitmapSize(int resourceId) const override { return surface->BitmapSize(resourceId); }
    std::unique_ptr<Canvas> CreateOffscreen(Size size) override { return surface->CreateOffscreen(size); }
    void DrawCanvas(const Canvas& source, const Rect& from, Point dest) override {
        surface->DrawCanvas(source, from, dest);
    }
    using Canvas::DrawCanvas;
    using Canvas::DrawBitmap;

private:
    Canvas& target;
    Point origin;
    std::unique_ptr<Canvas> offscreen;
    Canvas* surface;  // the off-screen surface, or the target itself when none could be made
};
