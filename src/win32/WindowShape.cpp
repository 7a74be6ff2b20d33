#include "win32/WindowShape.h"

#include <algorithm>
#include <vector>

#include "controls/ShapeRegion.h"
#include "win32/BitmapStore.h"
#include "win32/GdiObjects.h"

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

// A bitmap's rows are read a band at a time: widening a whole 1000x504 picture into fresh buffers
// took longer than everything else about the shape.
constexpr int kBandRows = 32;

// The shape runs of every row of the bitmap; false when its pixels cannot be read.
bool ReadShapeRuns(HBITMAP bitmap, std::vector<Rect>& runs) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) == 0) return false;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide) return false;
    // Rows from the bottom, as scan lines are counted.
    BITMAPINFO request = DibInfo(width, height, 32, true);
    std::vector<uint32_t> band(size_t(width) * kBandRows);
    PixelImage rows;
    rows.width = width;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    bool read = true;
    for (int top = 0; top < height && read; top += kBandRows) {
        const int count = std::min(kBandRows, height - top);
        read = GetDIBits(dc, bitmap, UINT(height - top - count), UINT(count), band.data(), &request,
                         DIB_RGB_COLORS) == count;
        rows.height = count;
        rows.pixels.resize(size_t(width) * size_t(count));
        for (int i = 0; i < count; ++i) {
            // The band's first row is the lowest; 0xAARRGGBB from the system, 0x00BBGGRR in the model.
            const uint32_t* in = band.data() + size_t(i) * size_t(width);
            Color* out = rows.pixels.data() + size_t(count - 1 - i) * size_t(width);
            for (int x = 0; x < width; ++x)
                out[x] = Rgb(uint8_t(in[x] >> 16), uint8_t(in[x] >> 8), uint8_t(in[x]));
        }
        for (Rect run : ComputeShapeRuns(rows)) {
            run.top += top;
            runs.push_back(run);
        }
    }
    DeleteDC(dc);
    return read;
}

GdiObject RegionFromRuns(const std::vector<Rect>& runs, Size size) {
    if (runs.empty()) return {};

    // One call with every run is far quicker than uniting them one by one.
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(runs.size());
    data->rdh.nRgnSize = DWORD(runs.size() * sizeof(RECT));
    data->rdh.rcBound = {0, 0, size.width, size.height};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < runs.size(); ++i) {
        rects[i] = {runs[i].left, runs[i].top, runs[i].Right(), runs[i].Bottom()};
    }
    GdiObject region(ExtCreateRegion(nullptr, DWORD(buffer.size()), data));
    return region ? std::move(region) : CombineRuns(runs);
}

}  // namespace

GdiObject CreateShapeRegion(const PixelImage& image) {
    return RegionFromRuns(ComputeShapeRuns(image), {image.width, image.height});
}

int ApplyWindowShape(HWND window, HBITMAP bitmap) {
    if (!bitmap) return SetWindowRgn(window, nullptr, TRUE) ? 0 : 1;
    std::vector<Rect> runs;
    if (!ReadShapeRuns(bitmap, runs)) return 1;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    GdiObject region =
        RegionFromRuns(runs, {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight});
    if (!region) return 1;
    // The window owns the region once it is set.
    if (!SetWindowRgn(window, region.As<HRGN>(), TRUE)) return 1;
    region.Release();
    return 0;
}
