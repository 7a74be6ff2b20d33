#include "win32/BitmapStore.h"

#include <vector>

#include "win32/BitmapTrim.h"
#include "win32/PngResource.h"

namespace {

Size SizeOfBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

// Thread timers carry no context: the store each one sweeps (stores live on the UI thread).
std::map<UINT_PTR, BitmapStore*>& Sweepers() {
    static std::map<UINT_PTR, BitmapStore*> sweepers;
    return sweepers;
}

}  // namespace

BitmapStore::~BitmapStore() {
    if (sweepTimer) {
        KillTimer(nullptr, sweepTimer);
        Sweepers().erase(sweepTimer);
    }
}

BitmapStore::Entry* BitmapStore::Decoded(int resourceId, bool whole) {
    if (resourceId <= 0 || resourceId > 0xFFFF) return nullptr;
    Entry& entry = bitmaps[resourceId];
    if (entry.missing) return nullptr;
    if (entry.bitmap && whole && entry.trimmed) {
        entry.bitmap = GdiObject();
        entry.mask = GdiObject();
    }
    if (!entry.bitmap) {
        // A DIB section keeps the resource's own colours whatever the display's depth. The skin is
        // stored compressed; an uncompressed bitmap resource of the number is taken too.
        HBITMAP loaded = LoadPngResource(module, resourceId);
        if (!loaded)
            loaded = static_cast<HBITMAP>(
                LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        entry.sized = true;
        if (!loaded) {
            entry.missing = true;
            entry.size = {};
            return nullptr;
        }
        entry.size = SizeOfBitmap(loaded);
        entry.held = {0, 0, entry.size.width, entry.size.height};
        entry.trimmed = false;
        if (!whole) {
            if (HBITMAP part = TrimToPicture(loaded, entry.held, entry.frame)) {
                DeleteObject(loaded);
                loaded = part;
                entry.trimmed = true;
            }
        }
        entry.bitmap = GdiObject(loaded);
        ArmSweep();
    }
    entry.lastDrawn = GetTickCount();
    if (user) entry.users.insert(user);
    return &entry;
}

BitmapStore::Drawable BitmapStore::ForDrawing(int resourceId) {
    Entry* entry = Decoded(resourceId, false);
    if (!entry) return {};
    return {entry->bitmap.As<HBITMAP>(), entry->held, entry->frame};
}

HBITMAP BitmapStore::Get(int resourceId) {
    Entry* entry = Decoded(resourceId, true);
    return entry ? entry->bitmap.As<HBITMAP>() : nullptr;
}

HBITMAP BitmapStore::Pin(int resourceId) {
    Entry* entry = Decoded(resourceId, true);
    if (!entry) return nullptr;
    entry->pinned = true;
    return entry->bitmap.As<HBITMAP>();
}

Size BitmapStore::SizeOf(int resourceId) {
    if (resourceId <= 0 || resourceId > 0xFFFF) return {};
    Entry& entry = bitmaps[resourceId];
    if (!entry.sized) {
        Size fromHeader;
        if (PngResourceSize(module, resourceId, fromHeader)) {
            entry.size = fromHeader;
            entry.sized = true;
        } else {
            // Not compressed (or no resource at all): the bitmap itself tells.
            Decoded(resourceId, false);
        }
    }
    return entry.size;
}

HBITMAP BitmapStore::KeyMask(int resourceId, Color key) {
    Entry* entry = Decoded(resourceId, false);
    if (!entry) return nullptr;
    if (entry->mask && entry->maskKey == key) return entry->mask.As<HBITMAP>();
    entry->mask = GdiObject();
    const Size size = entry->held.GetSize();
    GdiObject mask(CreateBitmap(size.width, size.height, 1, 1, nullptr));
    HDC maskDc = CreateCompatibleDC(nullptr);
    HDC sourceDc = CreateCompatibleDC(nullptr);
    bool made = false;
    if (mask && maskDc && sourceDc) {
        HGDIOBJ oldMask = SelectObject(maskDc, mask.Get());
        HGDIOBJ oldSource = SelectObject(sourceDc, entry->bitmap.Get());
        // Copying colour to one bit sets exactly the pixels of the source DC's background colour.
        SetBkColor(sourceDc, key);
        made = oldMask && oldSource && BitBlt(maskDc, 0, 0, size.width, size.height, sourceDc, 0, 0, SRCCOPY);
        if (oldSource) SelectObject(sourceDc, oldSource);
        if (oldMask) SelectObject(maskDc, oldMask);
    }
    if (sourceDc) DeleteDC(sourceDc);
    if (maskDc) DeleteDC(maskDc);
    if (!made) return nullptr;
    entry->mask = std::move(mask);
    entry->maskKey = key;
    return entry->mask.As<HBITMAP>();
}

std::optional<Color> BitmapStore::TopLeftColor(int resourceId) {
    auto known = bitmaps.find(resourceId);
    if (known != bitmaps.end() && known->second.topLeftRead) return known->second.topLeft;
    Entry* entry = Decoded(resourceId, false);
    if (!entry) return std::nullopt;
    // The resource's own colour: kept when the pixels go. A trimmed bitmap's corners are its frame.
    entry->topLeftRead = true;
    PixelImage image;
    if (entry->trimmed) {
        entry->topLeft = entry->frame;
    } else if (ReadBitmapPixels(entry->bitmap.As<HBITMAP>(), image) == 0) {
        entry->topLeft = image.At(0, 0);
    }
    return entry->topLeft;
}

void BitmapStore::Adopt(int resourceId, HBITMAP bitmap) {
    Entry entry;
    entry.bitmap = GdiObject(bitmap);
    entry.size = SizeOfBitmap(bitmap);
    entry.held = {0, 0, entry.size.width, entry.size.height};
    entry.sized = true;
    entry.missing = !bitmap;
    entry.pinned = true;
    bitmaps[resourceId] = std::move(entry);
}

size_t BitmapStore::Loaded() const {
    size_t count = 0;
    for (const auto& [id, entry] : bitmaps) count += entry.bitmap ? 1 : 0;
    return count;
}

void BitmapStore::Prefetch(int resourceId) {
    for (int queued : prefetch)
        if (queued == resourceId) return;
    prefetch.push_back(resourceId);
}

bool BitmapStore::DecodeNextPrefetch() {
    while (!prefetch.empty()) {
        const int next = prefetch.front();
        prefetch.erase(prefetch.begin());
        auto known = bitmaps.find(next);
        if (known != bitmaps.end() && (known->second.bitmap || known->second.missing)) continue;
        Decoded(next, true);
        return true;
    }
    return false;
}

BitmapStore::UserScope::UserScope(BitmapStore& owner, HWND window) : store(owner), previous(owner.user) {
    HWND top = window ? GetAncestor(window, GA_ROOT) : nullptr;
    store.user = top ? top : window;
}

BitmapStore::UserScope::~UserScope() {
    store.user = previous;
}

void BitmapStore::ReleaseUser(HWND window) {
    if (!window) return;
    for (auto& [id, entry] : bitmaps) {
        if (entry.users.erase(window) == 0 || !entry.users.empty() || entry.pinned) continue;
        entry.bitmap = GdiObject();
        entry.mask = GdiObject();
    }
}

void BitmapStore::Sweep(DWORD now) {
    bool freeableLeft = false;
    for (auto& [id, entry] : bitmaps) {
        if (!entry.bitmap || entry.pinned) continue;
        if (now - entry.lastDrawn >= kUnusedMs) {
            entry.bitmap = GdiObject();
            entry.mask = GdiObject();
            entry.users.clear();
        } else {
            freeableLeft = true;
        }
    }
    if (!freeableLeft && sweepTimer) {
        KillTimer(nullptr, sweepTimer);
        Sweepers().erase(sweepTimer);
        sweepTimer = 0;
    }
}

void BitmapStore::ArmSweep() {
    if (sweepTimer) return;
    // Without a timer (none left, say) decoded bitmaps stay until their windows close.
    sweepTimer = SetTimer(nullptr, 0, kSweepEveryMs, SweepTimer);
    if (sweepTimer) Sweepers()[sweepTimer] = this;
}

void CALLBACK BitmapStore::SweepTimer(HWND, UINT, UINT_PTR id, DWORD now) {
    auto it = Sweepers().find(id);
    if (it == Sweepers().end()) {
        KillTimer(nullptr, id);
        return;
    }
    it->second->Sweep(now);
}

int ReadBitmapPixels(HBITMAP bitmap, PixelImage& image) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) == 0) return 1;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide) return 1;

    BITMAPINFO request = DibInfo(width, height, 32);
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
