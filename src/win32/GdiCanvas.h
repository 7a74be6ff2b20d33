#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/Canvas.h"
#include "win32/BitmapStore.h"
#include "win32/FontCache.h"
#include "win32/GdiObjects.h"

// Off-screen surfaces let go by canvases that ended, kept for the next canvas of the same size: a
// control composing each frame off-screen (a dial, a chart) would otherwise make a new one per frame.
// Holds the few most recently let go, none bigger than kMaxPixels.
class SurfacePool {
public:
    static constexpr int kKept = 2;
    static constexpr long kMaxPixels = 300L * 300L;
    // One of exactly that size, all black as a new one is; an invalid surface when none is kept.
    MemorySurface Take(Size size);
    void Give(MemorySurface surface);
    size_t Kept() const { return kept.size(); }

private:
    std::vector<MemorySurface> kept;  // the most recently given last
};

// What drawing needs besides the DC: the skin's bitmaps, the window's fonts and, where set, the pool
// off-screen canvases take their surfaces from. Shared, so a canvas never outlives them.
struct PaintResources {
    std::shared_ptr<BitmapStore> bitmaps;
    std::shared_ptr<FontCache> fonts;
    std::shared_ptr<SurfacePool> surfaces;
};

// Canvas over a GDI device context. Every object it selects or creates is put back or deleted before
// the call returns, so the DC leaves as it came.
class GdiCanvas : public Canvas {
public:
    // Draws on a DC someone else owns (a paint or memory DC).
    GdiCanvas(HDC dc, Size size, PaintResources resources);
    // Draws on a window outside a paint cycle (GetDC/ReleaseDC); nullptr when the window has no DC.
    static std::unique_ptr<GdiCanvas> ForWindow(HWND window, PaintResources resources);
    // An off-screen surface compatible with `reference`; nullptr for an empty size.
    static std::unique_ptr<GdiCanvas> Offscreen(HDC reference, Size size, PaintResources resources);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC Dc() const { return dc; }

    Size GetSize() const override { return size; }
    void SetDrawMode(DrawMode mode) override;
    void DrawLine(Point from, Point to, Color color, int width, PenStyle style) override;
    void DrawPolyline(std::span<const Point> points, Color color, int width, PenStyle style) override;
    void FrameRect(const Rect& rect, Color color) override;
    void FillRect(const Rect& rect, Color color) override;
    void FillPolygon(std::span<const Point> points, Color color) override;
    void DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                    unsigned format) override;
    void DrawBitmap(int resourceId, const Rect& source, Point dest, std::optional<Color> key) override;
    Size BitmapSize(int resourceId) const override;
    std::unique_ptr<Canvas> CreateOffscreen(Size size) override;
    void DrawCanvas(const Canvas& source, const Rect& from, Point dest) override;
    using Canvas::DrawBitmap;
    using Canvas::DrawCanvas;

private:
    GdiCanvas(HDC dc, Size size, PaintResources resources, HWND window, MemorySurface surface);
    // Copies `from` of the bitmap selected into `source` to `dest`, leaving out its `key` pixels
    // (set in `mask`, when there is one).
    void DrawKeyed(HBITMAP mask, HDC source, const Rect& from, Point dest, Color key);
    // Paints the part of `from` (bitmap pixels, drawn at `dest`) outside `held` in one colour, as a
    // bitmap copy with raster operation `op` (SRCCOPY or SRCINVERT) of pixels of that colour would.
    void FillOutside(const Rect& from, const Rect& held, Point dest, Color colour, DWORD op);
    DWORD RasterOp() const;

    HDC dc;
    Size size;
    PaintResources resources;
    HWND releaseWindow = nullptr;  // set when the DC came from GetDC
    MemorySurface surface;         // set for an off-screen canvas
    int savedState = 0;
    DrawMode mode = DrawMode::Copy;
};
