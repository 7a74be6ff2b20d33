#include "win32/WindowShape.h"

#include <vector>

#include "controls/ShapeRegion.h"
#include "win32/BitmapStore.h"

namespace {

GdiObject CombineRuns(const std::vector<Rect>& runs) {
    GdiObject region(CreateRectRgn(0, 0, 0, 0));
    if (!region) return {};
    for (const Rect& run : runs) {
        HRGN piece = CreateRectRgn(run.left, run.top, run.Right(), run.Bottom());
        if (!piece) return {};
        CombineRgn(region.As<HRGN>(), region.As<HRGN>(), piece, RGN_OR);
        DeleteObject(piece);
    }
    return region;
}

}  // namespace

GdiObject CreateShapeRegion(const PixelImage& image) {
    const std::vector<Rect> runs = ComputeShapeRuns(image);
    if (runs.empty()) return {};

    // One call with every run is far quicker than uniting them one by one.
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(runs.size());
    data->rdh.nRgnSize = DWORD(runs.size() * sizeof(RECT));
    data->rdh.rcBound = {0, 0, image.width, image.height};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < runs.size(); ++i) {
        rects[i] = {runs[i].left, runs[i].top, runs[i].Right(), runs[i].Bottom()};
    }
    GdiObject region(ExtCreateRegion(nullptr, DWORD(buffer.size()), data));
    return region ? std::move(region) : CombineRuns(runs);
}

int ApplyWindowShape(HWND window, HBITMAP bitmap) {
    if (!bitmap) return SetWindowRgn(window, nullptr, TRUE) ? 0 : 1;
    PixelImage image;
    if (ReadBitmapPixels(bitmap, image) != 0) return 1;
    GdiObject region = CreateShapeRegion(image);
    if (!region) return 1;
    // The window owns the region once it is set.
    if (!SetWindowRgn(window, region.As<HRGN>(), TRUE)) return 1;
    region.Release();
    return 0;
}
