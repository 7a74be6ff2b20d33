#include "win32/BitmapTrim.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/BmpFile.h"
#include "win32/GdiObjects.h"

namespace {

struct Pixels {
    const BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    long stride = 0;
    const BYTE* Row(int y) const { return bits + stride * y; }
    bool Is(int x, int y, const BYTE* colour) const { return std::memcmp(Row(y) + 3 * x, colour, 3) == 0; }
};

}  // namespace

HBITMAP TrimToPicture(HBITMAP whole, Rect& held, Color& frame) {
    BITMAP info{};
    if (!whole || GetObjectW(whole, sizeof info, &info) != sizeof info) return nullptr;
    Pixels image;
    image.width = info.bmWidth;
    image.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxBmpSide || image.height > kMaxBmpSide)
        return nullptr;
    // The pixels as the system gives them, 24-bit rows from the top, whatever the bitmap's layout.
    image.stride = (long(image.width) * 3 + 3) & ~3L;
    std::vector<BYTE> rows(size_t(image.stride) * size_t(image.height));
    BITMAPINFO request = DibInfo(image.width, image.height, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    const int read = GetDIBits(dc, whole, 0, UINT(image.height), rows.data(), &request, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (read != image.height) return nullptr;
    image.bits = rows.data();

    const BYTE* corner = image.Row(0);
    const int lastX = image.width - 1;
    const int lastY = image.height - 1;
    if (!image.Is(lastX, 0, corner) || !image.Is(0, lastY, corner) || !image.Is(lastX, lastY, corner))
        return nullptr;

    int left = image.width, top = image.height, right = -1, bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.Is(x, y, corner)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    Rect box = right < 0 ? Rect{0, 0, 1, 1} : Rect{left, top, right - left + 1, bottom - top + 1};
    const long kept = long(box.width) * box.height;
    const long all = long(image.width) * image.height;
    if (kept * 10 > all * 9) return nullptr;

    BITMAPINFO partInfo = request;
    partInfo.bmiHeader.biWidth = box.width;
    partInfo.bmiHeader.biHeight = -box.height;
    void* bits = nullptr;
    HBITMAP part = CreateDIBSection(nullptr, &partInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!part || !bits) {
        if (part) DeleteObject(part);
        return nullptr;
    }
    const long stride = (long(box.width) * 3 + 3) & ~3L;
    for (int y = 0; y < box.height; ++y) {
        std::memcpy(static_cast<BYTE*>(bits) + stride * y, image.Row(box.top + y) + 3 * box.left,
                    size_t(box.width) * 3);
    }
    GdiFlush();
    held = box;
    // DIB rows hold blue, green, red.
    frame = Rgb(corner[2], corner[1], corner[0]);
    return part;
}
