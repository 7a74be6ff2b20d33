#pragma once
#include <vector>

#include "ui/BmpFile.h"
#include "ui/UiTypes.h"

// The colour a skin bitmap uses for "outside the window".
constexpr Color kShapeKeyColor = Rgb(77, 0, 85);

// The window region of a shaped dialog: one rectangle, one pixel high, for every run of pixels not
// of `key`, row by row from the top. The host unites them into the system's region.
std::vector<Rect> ComputeShapeRuns(const PixelImage& image, Color key = kShapeKeyColor);
