#include "win32/GdiCanvas.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "win32/GdiTally.h"
#include "win32/TextConvert.h"

namespace {

int PenStyleOf(PenStyle style) {
    switch (style) {
        case PenStyle::Dash:
            return PS_DASH;
        case PenStyle::Dot:
            return PS_DOT;
        case PenStyle::DashDot:
            return PS_DASHDOT;
        case PenStyle::DashDotDot:
            return PS_DASHDOTDOT;
        case PenStyle::Solid:
            break;
    }
    return PS_SOLID;
}

}  // namespace

GdiCanvas::GdiCanvas(HDC targetDc, Size targetSize, PaintResources shared)
    : GdiCanvas(targetDc, targetSize, std::move(shared), nullptr, MemorySurface{}) {}

GdiCanvas::GdiCanvas(HDC targetDc, Size targetSize, PaintResources shared, HWND window, MemorySurface owned)
    : dc(targetDc),
      size(targetSize),
      resources(std::move(shared)),
      releaseWindow(window),
      surface(std::move(owned)) {
    savedState = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
}

std::unique_ptr<GdiCanvas> GdiCanvas::ForWindow(HWND window, PaintResources resources) {
    HDC windowDc = GetDC(window);
    if (!windowDc) return nullptr;
    GdiTally::Add(GdiKind::WindowDc);
    RECT client{};
    GetClientRect(window, &client);
    return std::unique_ptr<GdiCanvas>(new GdiCanvas(windowDc, {client.right, client.bottom},
                                                    std::move(resources), window, MemorySurface{}));
}

MemorySurface SurfacePool::Take(Size size) {
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (!(it->GetSize() == size)) continue;
        MemorySurface surface = std::move(*it);
        kept.erase(it);
        PatBlt(surface.Dc(), 0, 0, size.width, size.height, BLACKNESS);
        return surface;
    }
    return {};
}

void SurfacePool::Give(MemorySurface surface) {
    const Size size = surface.GetSize();
    if (!surface.IsValid() || long(size.width) * long(size.height) > kMaxPixels) return;
    if (kept.size() >= size_t(kKept)) kept.erase(kept.begin());
    kept.push_back(std::move(surface));
}

std::unique_ptr<GdiCanvas> GdiCanvas::Offscreen(HDC reference, Size wanted, PaintResources resources) {
    MemorySurface owned;
    if (resources.surfaces) owned = resources.surfaces->Take(wanted);
    if (!owned.IsValid() && owned.Create(reference, wanted) != 0) return nullptr;
    HDC memoryDc = owned.Dc();
    return std::unique_ptr<GdiCanvas>(
        new GdiCanvas(memoryDc, wanted, std::move(resources), nullptr, std::move(owned)));
}

GdiCanvas::~GdiCanvas() {
    if (savedState) RestoreDC(dc, savedState);
    if (surface.IsValid() && resources.surfaces) resources.surfaces->Give(std::move(surface));
    if (releaseWindow) {
        ReleaseDC(releaseWindow, dc);
        GdiTally::Remove(GdiKind::WindowDc);
    }
}

void GdiCanvas::SetDrawMode(DrawMode newMode) {
    mode = newMode;
    SetROP2(dc, mode == DrawMode::Xor ? R2_XORPEN : mode == DrawMode::NotXor ? R2_NOTXORPEN : R2_COPYPEN);
}

void GdiCanvas::DrawLine(Point from, Point to, Color color, int width, PenStyle style) {
    const bool simple = width <= 1 && style == PenStyle::Solid;
    GdiObject pen(simple ? nullptr : CreatePen(PenStyleOf(style), std::max(width, 1), color));
    if (simple) SetDCPenColor(dc, color);
    SelectGuard use(dc, simple ? GetStockObject(DC_PEN) : pen.Get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void GdiCanvas::DrawPolyline(std::span<const Point> points, Color color, int width, PenStyle style) {
    // A styled or wide pen would carry its pattern and joins across the corners: those go line by line.
    if (width > 1 || style != PenStyle::Solid || points.size() < 2) {
        Canvas::DrawPolyline(points, color, width, style);
        return;
    }
    // A one-pixel solid pen leaves out each segment's end point as LineTo does, so one Polyline
    // sets exactly the pixels of the lines drawn one by one.
    std::vector<POINT> corners(points.size());
    std::transform(points.begin(), points.end(), corners.begin(), [](Point p) { return POINT{p.x, p.y}; });
    SetDCPenColor(dc, color);
    SelectGuard use(dc, GetStockObject(DC_PEN));
    Polyline(dc, corners.data(), int(std::min<size_t>(corners.size(), INT_MAX)));
}

void GdiCanvas::FrameRect(const Rect& rect, Color color) {
    if (rect.width <= 0 || rect.height <= 0) return;
    // A polyline (not ::FrameRect) so the exclusive-or modes apply, each corner drawn once.
    const POINT corners[] = {{rect.left, rect.top},
                             {rect.Right() - 1, rect.top},
                             {rect.Right() - 1, rect.Bottom() - 1},
                             {rect.left, rect.Bottom() - 1},
                             {rect.left, rect.top}};
    SetDCPenColor(dc, color);
    SelectGuard use(dc, GetStockObject(DC_PEN));
    if (rect.width == 1 || rect.height == 1) {
        MoveToEx(dc, rect.left, rect.top, nullptr);
        LineTo(dc, rect.Right() - 1 + (rect.height == 1), rect.Bottom() - 1 + (rect.width == 1));
        return;
    }
    Polyline(dc, corners, 5);
}

void GdiCanvas::FillRect(const Rect& rect, Color color) {
    if (rect.width <= 0 || rect.height <= 0) return;
    SetDCBrushColor(dc, color);
    if (mode == DrawMode::Copy) {
        const RECT r{rect.left, rect.top, rect.Right(), rect.Bottom()};
        ::FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    // ::FillRect ignores the mix mode; a rectangle without outline honours it. Its interior stops
    // one pixel short on the right and bottom, hence the +1.
    SelectGuard brush(dc, GetStockObject(DC_BRUSH));
    SelectGuard pen(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, rect.left, rect.top, rect.Right() + 1, rect.Bottom() + 1);
}

void GdiCanvas::FillPolygon(std::span<const Point> points, Color color) {
    if (points.size() < 3) return;
    std::vector<POINT> corners;
    corners.reserve(points.size());
    for (const Point& p : points) corners.push_back({p.x, p.y});
    SetDCBrushColor(dc, color);
    SetDCPenColor(dc, color);
    SelectGuard brush(dc, GetStockObject(DC_BRUSH));
    SelectGuard pen(dc, GetStockObject(DC_PEN));
    Polygon(dc, corners.data(), int(corners.size()));
}

void GdiCanvas::DrawString(const Rect& box, std::string_view text, const FontSpec& font, Color color,
                           unsigned format) {
    const std::wstring wide = Utf8ToWide(text);
    if (wide.empty()) return;
    HFONT handle = resources.fonts ? resources.fonts->Get(font) : nullptr;
    SelectGuard use(dc, handle);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    RECT r{box.left, box.top, box.Right(), box.Bottom()};
    // The product's texts are literal: an ampersand is shown, never turned into an underline.
    DrawTextW(dc, wide.c_str(), int(wide.size()), &r, format | DT_NOPREFIX);
}

void GdiCanvas::DrawBitmap(int resourceId, const Rect& source, Point dest, std::optional<Color> key) {
    if (!resources.bitmaps) return;
    // Drawn outside a paint cycle, the bitmap counts as used by the window drawn on.
    std::optional<BitmapStore::UserScope> use;
    if (releaseWindow) use.emplace(*resources.bitmaps, releaseWindow);
    const BitmapStore::Drawable art = resources.bitmaps->ForDrawing(resourceId);
    HBITMAP bitmap = art.bitmap;
    if (!bitmap) return;
    const Size whole = resources.bitmaps->SizeOf(resourceId);
    Rect from = source.width > 0 && source.height > 0 ? source : Rect{0, 0, whole.width, whole.height};
    // Never read outside the bitmap, whatever the caller asked for.
    const int left = std::max(from.left, 0);
    const int top = std::max(from.top, 0);
    const int right = std::min(from.Right(), whole.width);
    const int bottom = std::min(from.Bottom(), whole.height);
    if (right <= left || bottom <= top) return;
    dest.x += left - from.left;
    dest.y += top - from.top;
    from = {left, top, right - left, bottom - top};

    // Outside the part the store holds every pixel is the frame colour: filled, unless it is the
    // key. The held part is then copied from its own bitmap's coordinates.
    if (!key || *key != art.frame) FillOutside(from, art.held, dest, art.frame, key ? SRCCOPY : RasterOp());
    const int heldLeft = std::max(from.left, art.held.left);
    const int heldTop = std::max(from.top, art.held.top);
    const int heldRight = std::min(from.Right(), art.held.Right());
    const int heldBottom = std::min(from.Bottom(), art.held.Bottom());
    if (heldRight <= heldLeft || heldBottom <= heldTop) return;
    dest.x += heldLeft - from.left;
    dest.y += heldTop - from.top;
    from = {heldLeft - art.held.left, heldTop - art.held.top, heldRight - heldLeft, heldBottom - heldTop};

    // The mask first: making it needs the bitmap not selected anywhere.
    HBITMAP mask = key ? resources.bitmaps->KeyMask(resourceId, *key) : nullptr;
    BitmapDc sourceDc(dc, bitmap);
    if (!sourceDc.IsValid()) return;
    if (key) {
        DrawKeyed(mask, sourceDc.Dc(), from, dest, *key);
    } else {
        BitBlt(dc, dest.x, dest.y, from.width, from.height, sourceDc.Dc(), from.left, from.top, RasterOp());
    }
}

DWORD GdiCanvas::RasterOp() const {
    return mode == DrawMode::Copy ? SRCCOPY : SRCINVERT;
}

void GdiCanvas::FillOutside(const Rect& from, const Rect& held, Point dest, Color colour, DWORD op) {
    // The bands of `from` above and below `held`, then left and right of it between them.
    const int midTop = std::clamp(held.top, from.top, from.Bottom());
    const int midBottom = std::clamp(held.Bottom(), midTop, from.Bottom());
    const int midLeft = std::clamp(held.left, from.left, from.Right());
    const int midRight = std::clamp(held.Right(), midLeft, from.Right());
    if (midTop == from.top && midBottom == from.Bottom() && midLeft == from.left && midRight == from.Right()) return;
    const Rect bands[] = {{from.left, from.top, from.width, midTop - from.top},
                          {from.left, midBottom, from.width, from.Bottom() - midBottom},
                          {from.left, midTop, midLeft - from.left, midBottom - midTop},
                          {midRight, midTop, from.Right() - midRight, midBottom - midTop}};
    // A copy of a pixel is the pattern's copy; its exclusive-or with the screen the pattern's.
    const DWORD patternOp = op == SRCCOPY ? PATCOPY : PATINVERT;
    const COLORREF oldColour = SetDCBrushColor(dc, colour);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    for (const Rect& band : bands) {
        if (band.width <= 0 || band.height <= 0) continue;
        PatBlt(dc, dest.x + band.left - from.left, dest.y + band.top - from.top, band.width, band.height, patternOp);
    }
    SelectObject(dc, oldBrush);
    SetDCBrushColor(dc, oldColour);
}

void GdiCanvas::DrawKeyed(HBITMAP mask, HDC source, const Rect& from, Point dest, Color key) {
    std::optional<BitmapDc> maskDc;
    if (mask) maskDc.emplace(dc, mask);
    if (!maskDc || !maskDc->IsValid()) {
        // gdi32's own export: msimg32 is no known DLL, and an elevated program must not import it.
        GdiTransparentBlt(dc, dest.x, dest.y, from.width, from.height, source, from.left, from.top, from.width,
                          from.height, key);
        return;
    }
    // The same pixels as a transparent copy, from a mask kept with the bitmap instead of one made on
    // every call: ((picture ^ bitmap) & mask) ^ bitmap keeps the picture where the mask is set (the
    // bitmap's key pixels) and gives the bitmap elsewhere. The mask's set bits become the background
    // colour (white), the clear ones the text colour (black).
    BitBlt(dc, dest.x, dest.y, from.width, from.height, source, from.left, from.top, SRCINVERT);
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, dest.x, dest.y, from.width, from.height, maskDc->Dc(), from.left, from.top, SRCAND);
    SetBkColor(dc, back);
    SetTextColor(dc, text);
    BitBlt(dc, dest.x, dest.y, from.width, from.height, source, from.left, from.top, SRCINVERT);
}

Size GdiCanvas::BitmapSize(int resourceId) const {
    return resources.bitmaps ? resources.bitmaps->SizeOf(resourceId) : Size{};
}

std::unique_ptr<Canvas> GdiCanvas::CreateOffscreen(Size wanted) {
    return Offscreen(dc, wanted, resources);
}

void GdiCanvas::DrawCanvas(const Canvas& source, const Rect& from, Point dest) {
    const auto* gdi = dynamic_cast<const GdiCanvas*>(&source);
    if (!gdi || gdi == this) return;
    BitBlt(dc, dest.x, dest.y, from.width, from.height, gdi->Dc(), from.left, from.top, SRCCOPY);
}
