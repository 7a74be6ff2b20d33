#include "win32/BitmapStore.h"

#include <vector>

#include "win32/PngResource.h"

BitmapStore::Entry* BitmapStore::Find(int resourceId) {
    if (resourceId <= 0 || resourceId > 0xFFFF) return nullptr;
    auto it = bitmaps.find(resourceId);
    if (it == bitmaps.end()) {
        Entry entry;
        // A DIB section keeps the resource's own colours whatever the display's depth. The skin is
        // stored compressed; an uncompressed bitmap resource of the number is taken too.
        HBITMAP loaded = LoadPngResource(module, resourceId);
        if (!loaded)
            loaded = static_cast<HBITMAP>(
                LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        entry.bitmap = GdiObject(loaded);
        BITMAP info{};
        if (entry.bitmap && GetObjectW(entry.bitmap.Get(), sizeof info, &info) == sizeof info) {
            entry.size = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
        }
        it = bitmaps.emplace(resourceId, std::move(entry)).first;
    }
    return it->second.bitmap ? &it->second : nullptr;
}

HBITMAP BitmapStore::Get(int resourceId) {
    Entry* entry = Find(resourceId);
    return entry ? entry->bitmap.As<HBITMAP>() : nullptr;
}

Size BitmapStore::SizeOf(int resourceId) {
    Entry* entry = Find(resourceId);
    return entry ? entry->size : Size{};
}

std::optional<Color> BitmapStore::TopLeftColor(int resourceId) {
    Entry* entry = Find(resourceId);
    if (!entry) return std::nullopt;
    if (!entry->topLeftRead) {
        entry->topLeftRead = true;
        PixelImage image;
        if (ReadBitmapPixels(entry->bitmap.As<HBITMAP>(), image) == 0) entry->topLeft = image.At(0, 0);
    }
    return entry->topLeft;
}

void BitmapStore::Adopt(int resourceId, HBITMAP bitmap) {
    Entry entry;
    entry.bitmap = GdiObject(bitmap);
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info) == sizeof info) {
        entry.size = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
    }
    bitmaps[resourceId] = std::move(entry);
}

int ReadBitmapPixels(HBITMAP bitmap, PixelImage& image) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) == 0) return 1;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide) return 1;

    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;  // rows from the top
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> bgra(size_t(width) * size_t(height));
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 1;
    const int rows = GetDIBits(dc, bitmap, 0, UINT(height), bgra.data(), &request, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != height) return 1;

    image.width = width;
    image.height = height;
    image.pixels.resize(bgra.size());
    for (size_t i = 0; i < bgra.size(); ++i) {
        // 0xAARRGGBB from the system, 0x00BBGGRR in the model.
        const uint32_t p = bgra[i];
        image.pixels[i] = Rgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
    }
    return 0;
}
