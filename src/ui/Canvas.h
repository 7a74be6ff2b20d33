#pragma once
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "ui/UiTypes.h"

// How lines, frames and fills combine with what is already drawn. Exclusive-or drawing is undone by
// drawing the same thing again (markers that move over a picture).
enum class DrawMode { Copy, Xor, NotXor };

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

// Text layout flags; the values are those of the Windows DT_ flags so the host passes them through.
enum TextFormat : unsigned {
    kTextLeft = 0x0,
    kTextCenter = 0x1,
    kTextRight = 0x2,
    kTextVCenter = 0x4,
    kTextWordBreak = 0x10,
    kTextSingleLine = 0x20,
    kTextNoClip = 0x100,
};

// The drawing surface owner-drawn controls and dialogs paint on. Coordinates are relative to the
// surface's top-left corner. Bitmaps are resource numbers; a missing bitmap draws nothing.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual Size GetSize() const = 0;
    virtual void SetDrawMode(DrawMode mode) = 0;
    // Like a pen's move-to/line-to: the end point itself is not drawn. Width 0 or 1 is one pixel.
    virtual void DrawLine(Point from, Point to, Color color, int width = 1,
                          PenStyle style = PenStyle::Solid) = 0;
    // Connected lines through `points`, each drawn as DrawLine draws it (a surface may draw a solid
    // one-pixel run in one call; the pixels are the same).
    virtual void DrawPolyline(std::span<const Point> points, Color color, int width = 1,
                              PenStyle style = PenStyle::Solid) {
        for (size_t i = 1; i < points.size(); ++i) DrawLine(points[i - 1], points[i], color, width, style);
    }
    virtual void FrameRect(const Rect& rect, Color color) = 0;
    virtual void FillRect(const Rect& rect, Color color) = 0;
    virtual void FillPolygon(std::span<const Point> points, Color color) = 0;
    // Text (UTF-8) on a transparent background, laid out in `box` by TextFormat flags.
    virtual void DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                            unsigned format) = 0;
    // Copies `source` of a bitmap (the whole bitmap when `source` is empty) to `dest`; pixels of
    // `transparentKey` are left out.
    virtual void DrawBitmap(int resourceId, const Rect& source, Point dest,
                            std::optional<Color> transparentKey = std::nullopt) = 0;
    virtual Size BitmapSize(int resourceId) const = 0;
    // An off-screen surface compatible with this one, and the copy of such a surface (`from` of it)
    // back onto it.
    virtual std::unique_ptr<Canvas> CreateOffscreen(Size size) = 0;
    virtual void DrawCanvas(const Canvas& source, const Rect& from, Point dest) = 0;

    void DrawCanvas(const Canvas& source, Point dest) {
        DrawCanvas(source, Rect{0, 0, source.GetSize().width, source.GetSize().height}, dest);
    }

    void DrawBitmap(int resourceId, Point dest, std::optional<Color> transparentKey = std::nullopt) {
        DrawBitmap(resourceId, Rect{}, dest, transparentKey);
    }
};
