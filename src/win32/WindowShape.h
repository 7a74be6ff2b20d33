#pragma once
#include <windows.h>

#include "ui/BmpFile.h"
#include "win32/GdiObjects.h"

// The region of every pixel of `image` that is not the shape key colour, built from the rows' runs.
// Empty (no object) when the image has no such pixel or the system refuses the region.
GdiObject CreateShapeRegion(const PixelImage& image);

// Shapes the window by the bitmap; a missing bitmap (or none, nullptr) gives the plain rectangle back.
// 0 when the region was applied or removed as asked.
int ApplyWindowShape(HWND window, HBITMAP bitmap);
