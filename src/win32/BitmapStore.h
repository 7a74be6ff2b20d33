#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "ui/BmpFile.h"
#include "ui/UiTypes.h"
#include "win32/GdiObjects.h"

// The skin's bitmaps, compiled into the executable as resources under their numbers (stored as PNG).
// Sizes come from the stored headers, so laying a window out decodes nothing; pixels are decoded on
// first draw. A number without a resource is remembered as missing and draws nothing.
// Decoded pixels are a cache, since windows keep what they composed: a bitmap goes when the last
// window that drew it closes, or when nothing has drawn it for kUnusedMs, and is decoded again when
// drawn later. Adopted and pinned bitmaps stay until the store ends. The wait is short: a window
// draws its background and page pictures once into the surface it keeps, and a dial shows a
// different picture for each reading, so pixels held longer are mostly pixels no one draws again.
class BitmapStore {
public:
    static constexpr DWORD kUnusedMs = 3000;
    // How often the thread's timer looks; a bitmap goes at most kUnusedMs + kSweepEveryMs after its
    // last drawing.
    static constexpr DWORD kSweepEveryMs = 1000;

    explicit BitmapStore(HINSTANCE module) : module(module) {}
    ~BitmapStore();
    BitmapStore(const BitmapStore&) = delete;
    BitmapStore& operator=(const BitmapStore&) = delete;

    // What drawing a bitmap needs: the pixels of its `held` part; every pixel outside it is `frame`
    // (a picture on a plain frame keeps only the picture, see TrimToPicture). Not to be held past
    // the call that asked; a null bitmap when there is none of the number.
    struct Drawable {
        HBITMAP bitmap = nullptr;
        Rect held;
        Color frame = 0;
    };
    Drawable ForDrawing(int resourceId);
    // The whole bitmap, for drawing at once; not to be held past the call that asked.
    HBITMAP Get(int resourceId);
    // For something that keeps using the bitmap (a pattern brush, say): never freed.
    HBITMAP Pin(int resourceId);
    Size SizeOf(int resourceId);
    // A one-bit mask of the pixels ForDrawing holds, set where a pixel is `key`, for drawing them with
    // those pixels left out; made on first use and freed with the pixels. Null when the bitmap or
    // the mask is missing.
    HBITMAP KeyMask(int resourceId, Color key);
    // Colour of the top-left pixel: the transparent colour of a thumb drawn with a mask.
    std::optional<Color> TopLeftColor(int resourceId);
    // Takes ownership of a bitmap under a number, replacing any resource of that number.
    void Adopt(int resourceId, HBITMAP bitmap);
    // Bitmaps decoded and held now.
    size_t Loaded() const;
    // A bitmap a window about to show will draw: decoded by DecodeNextPrefetch, when the UI thread has
    // time to spare (a pause of its own), else when first drawn.
    void Prefetch(int resourceId);
    // Decodes (whole) the oldest bitmap asked for by Prefetch and not decoded since; false when none.
    bool DecodeNextPrefetch();

    // While it lives, the bitmaps drawn count as drawn by `window`'s top-level window.
    class UserScope {
    public:
        UserScope(BitmapStore& store, HWND window);
        ~UserScope();
        UserScope(const UserScope&) = delete;
        UserScope& operator=(const UserScope&) = delete;

    private:
        BitmapStore& store;
        HWND previous;
    };
    // A top-level window closed: frees what only it drew.
    void ReleaseUser(HWND window);
    // Frees what nothing has drawn for kUnusedMs by `now` (a tick count); a timer of the thread calls
    // it while anything freeable is held.
    void Sweep(DWORD now);

private:
    struct Entry {
        GdiObject bitmap;
        Size size;
        bool sized = false;
        bool missing = false;  // no resource of the number
        bool pinned = false;   // adopted or pinned: never freed
        std::set<HWND> users;
        DWORD lastDrawn = 0;
        std::optional<Color> topLeft;
        bool topLeftRead = false;
        GdiObject mask;  // KeyMask's, for maskKey
        Color maskKey = 0;
        Rect held;          // the part `bitmap` holds
        bool trimmed = false;  // held is less than the whole; the rest is `frame`
        Color frame = 0;
    };
    // `whole`: the bitmap must hold every pixel (a trimmed one is decoded again).
    Entry* Decoded(int resourceId, bool whole);
    void ArmSweep();
    static void CALLBACK SweepTimer(HWND, UINT, UINT_PTR id, DWORD now);

    HINSTANCE module;
    std::map<int, Entry> bitmaps;
    std::vector<int> prefetch;
    HWND user = nullptr;
    UINT_PTR sweepTimer = 0;
};

// Pixels of a bitmap, rows from the top, in the model's colour layout. 0 on success.
int ReadBitmapPixels(HBITMAP bitmap, PixelImage& image);
