#pragma once
#include "ui/UiTypes.h"

// Geometry of the colour editor's hue/saturation wheel (part of its background) and value bar, in
// the editor's client pixels. Both picking ranges include their far edges, so the wheel's rim and
// the bar's ends can be picked.
namespace ColourWheel {

inline constexpr Point kCentre{150, 223};
inline constexpr int kRadius = 105;
// Pick area (45, 118)-(330, 328); value bar (280, 118)-(305, 328); the bar reacts 10 pixels wider.
inline constexpr int kPickLeft = 45, kPickTop = 118, kPickRight = 330, kPickBottom = 328;
inline constexpr int kBarLeft = 280, kBarRight = 305, kBarTop = 118, kBarBottom = 328;
inline constexpr int kBarHitLeft = 270, kBarHitRight = 315;
inline constexpr int kBarHeight = 210;

enum DragMode { kDragNone = 0, kDragWheel = 1, kDragBar = 2 };

// What a press at `pt` starts: the wheel within its radius, else the bar's hit area, else nothing.
DragMode DragModeAt(Point pt);
// Hue and saturation of a wheel point; saturation stops at 255 beyond the rim.
void PickWheel(Point pt, int& hue, int& saturation);
// Value of a bar point, 0 at the bottom to 255 at the top.
int PickBar(Point pt);
// Centre of the wheel marker for a hue and saturation.
Point WheelMarker(int hue, int saturation);
// Height of the bar marker's tips for a value.
int BarMarkerY(int value);
// The value drawn by the bar's line `i` (0 at the bottom, 209 at the top).
inline int BarLineValue(int i) {
    return i * 255 / kBarHeight;
}

}  // namespace ColourWheel
