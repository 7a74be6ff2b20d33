#pragma once
#include <windows.h>

#include "ui/UiTypes.h"

// Owns one GDI object (font, brush, pen, bitmap or region) and deletes it at the end.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object);
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    HGDIOBJ Get() const { return handle; }
    template <class T>
    T As() const {
        return static_cast<T>(handle);
    }
    explicit operator bool() const { return handle != nullptr; }
    // Hands the object to the system (a window region belongs to the window once set).
    HGDIOBJ Release();
    void Reset();

private:
    HGDIOBJ handle = nullptr;
};

// Undoes a SelectObject when it ends.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc(dc), old(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (old) SelectObject(dc, old);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// The header of an uncompressed RGB picture of that size and depth (24 or 32 bits a pixel), rows
// from the top unless bottomUp.
inline BITMAPINFO DibInfo(LONG width, LONG height, WORD bits, bool bottomUp = false) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A memory DC with a compatible bitmap of its own selected: an off-screen drawing surface.
class MemorySurface {
public:
    MemorySurface() = default;
    ~MemorySurface() { Reset(); }
    MemorySurface(MemorySurface&& other) noexcept;
    MemorySurface& operator=(MemorySurface&& other) noexcept;
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    // 0 on success; an empty size or a failing system call leaves the surface invalid (1).
    int Create(HDC reference, Size size);
    // A surface kept between paints: 24-bit colour, three bytes a pixel where the screen's surfaces
    // take four (the same colours on a true-colour screen); a screen-compatible one when no such
    // section can be made.
    int CreateKept(HDC reference, Size size);
    void Reset();
    bool IsValid() const { return dc != nullptr; }
    HDC Dc() const { return dc; }
    Size GetSize() const { return size; }

private:
    // Takes a memory DC and the bitmap made for it, selected into it.
    void Hold(HDC memory, HBITMAP made, Size wanted);

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    Size size;
};

// A memory DC with an existing bitmap selected, to copy from it; the bitmap stays its owner's.
class BitmapDc {
public:
    BitmapDc(HDC reference, HBITMAP bitmap);
    ~BitmapDc();
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;
    // False when the DC could not be made or the bitmap could not be selected (it may be selected
    // into another DC already).
    bool IsValid() const { return dc != nullptr && old != nullptr; }
    HDC Dc() const { return dc; }

private:
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};
