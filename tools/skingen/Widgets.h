#pragma once

#include <string_view>

#include "Canvas.h"
#include "Font.h"

namespace skingen {

inline constexpr int kTitleBarHeight = 24;

// A shaped window background: key colour outside the cut corners, a gradient body, a bevelled rim and a
// title bar with the title drawn at its left.
Canvas ShapedWindow(int width, int height, std::string_view title);
// A child panel background (no shape): flat fill, so slider channels and edits match it exactly.
Canvas PanelBackground(int width, int height, std::string_view title);

// Finishes a keyed picture's anti-aliased edges against what lies under it; only what lies fully
// outside stays transparent (the key colour in the file).
// Makes everything outside the shape transparent and draws a dark outer and a light inner rim along its
// edge; pixels inside `interior` are known to be away from the edge and are left alone.
void CutShape(Canvas& canvas, const Sdf& shape, Box interior);
Canvas FlattenKeyed(const Canvas& image, const Canvas& backdrop);

void Well(Canvas& canvas, float x, float y, float w, float h, float radius = 2);
void Plate(Canvas& canvas, float x, float y, float w, float h, float radius = 3);
void Frame(Canvas& canvas, float x, float y, float w, float h, float radius = 2);
void SectionLabel(Canvas& canvas, float x, float y, std::string_view text);
void Caption(Canvas& canvas, float x, float y, std::string_view text, Rgb colour, float scale = 1.0f,
             bool bold = false);
void Divider(Canvas& canvas, float x, float y, float w);

}  // namespace skingen
