#pragma once
#include <windows.h>

#include <map>
#include <optional>

#include "ui/BmpFile.h"
#include "ui/UiTypes.h"
#include "win32/GdiObjects.h"

// The skin's bitmaps, compiled into the executable as resources under their numbers (stored as PNG,
// decoded on load). Each is loaded once on first use and kept until the store ends; a number
// without a resource is remembered as missing and draws nothing.
class BitmapStore {
public:
    explicit BitmapStore(HINSTANCE module) : module(module) {}

    HBITMAP Get(int resourceId);
    Size SizeOf(int resourceId);
    // Colour of the top-left pixel: the transparent colour of a thumb drawn with a mask.
    std::optional<Color> TopLeftColor(int resourceId);
    // Takes ownership of a bitmap under a number, replacing any resource of that number.
    void Adopt(int resourceId, HBITMAP bitmap);
    size_t Loaded() const { return bitmaps.size(); }

private:
    struct Entry {
        GdiObject bitmap;
        Size size;
        std::optional<Color> topLeft;
        bool topLeftRead = false;
    };
    Entry* Find(int resourceId);

    HINSTANCE module;
    std::map<int, Entry> bitmaps;
};

// Pixels of a bitmap, rows from the top, in the model's colour layout. 0 on success.
int ReadBitmapPixels(HBITMAP bitmap, PixelImage& image);
