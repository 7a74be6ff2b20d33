#include "win32/GdiObjects.h"

#include <utility>

#include "win32/GdiTally.h"

GdiObject::GdiObject(HGDIOBJ object) : handle(object) {
    if (handle) GdiTally::Add(GdiKind::Object);
}

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept {
    if (this != &other) {
        Reset();
        handle = std::exchange(other.handle, nullptr);
    }
    return *this;
}

HGDIOBJ GdiObject::Release() {
    if (handle) GdiTally::Remove(GdiKind::Object);
    return std::exchange(handle, nullptr);
}

void GdiObject::Reset() {
    if (!handle) return;
    DeleteObject(handle);
    GdiTally::Remove(GdiKind::Object);
    handle = nullptr;
}

MemorySurface::MemorySurface(MemorySurface&& other) noexcept
    : dc(std::exchange(other.dc, nullptr)),
      bitmap(std::exchange(other.bitmap, nullptr)),
      oldBitmap(std::exchange(other.oldBitmap, nullptr)),
      size(std::exchange(other.size, {})) {}

MemorySurface& MemorySurface::operator=(MemorySurface&& other) noexcept {
    if (this != &other) {
        Reset();
        dc = std::exchange(other.dc, nullptr);
        bitmap = std::exchange(other.bitmap, nullptr);
        oldBitmap = std::exchange(other.oldBitmap, nullptr);
        size = std::exchange(other.size, {});
    }
    return *this;
}

int MemorySurface::Create(HDC reference, Size wanted) {
    Reset();
    if (wanted.IsEmpty()) return 1;
    HDC memory = CreateCompatibleDC(reference);
    if (!memory) return 1;
    // A bitmap compatible with the memory DC itself would be monochrome; it must match the reference.
    HDC screen = reference ? reference : GetDC(nullptr);
    HBITMAP made = screen ? CreateCompatibleBitmap(screen, wanted.width, wanted.height) : nullptr;
    if (!reference && screen) ReleaseDC(nullptr, screen);
    if (!made) {
        DeleteDC(memory);
        return 1;
    }
    Hold(memory, made, wanted);
    return 0;
}

int MemorySurface::CreateKept(HDC reference, Size wanted) {
    Reset();
    if (wanted.IsEmpty()) return 1;
    const BITMAPINFO info = DibInfo(wanted.width, wanted.height, 24);
    void* bits = nullptr;
    HBITMAP made = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = made ? CreateCompatibleDC(reference) : nullptr;
    if (!memory) {
        if (made) DeleteObject(made);
        return Create(reference, wanted);
    }
    Hold(memory, made, wanted);
    return 0;
}

void MemorySurface::Hold(HDC memory, HBITMAP made, Size wanted) {
    dc = memory;
    bitmap = made;
    oldBitmap = SelectObject(dc, bitmap);
    size = wanted;
    GdiTally::Add(GdiKind::MemoryDc);
    GdiTally::Add(GdiKind::Object);
}

void MemorySurface::Reset() {
    if (!dc) return;
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    GdiTally::Remove(GdiKind::MemoryDc);
    GdiTally::Remove(GdiKind::Object);
    dc = nullptr;
    bitmap = nullptr;
    oldBitmap = nullptr;
    size = {};
}

BitmapDc::BitmapDc(HDC reference, HBITMAP bitmap) {
    if (!bitmap) return;
    dc = CreateCompatibleDC(reference);
    if (!dc) return;
    GdiTally::Add(GdiKind::MemoryDc);
    old = SelectObject(dc, bitmap);
}

BitmapDc::~BitmapDc() {
    if (!dc) return;
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    GdiTally::Remove(GdiKind::MemoryDc);
}
