#pragma once
#include <optional>
#include <string>

#include "ui/Canvas.h"
#include "ui/ControlState.h"

// Pixel rules of the skinned controls, drawn through Canvas so they hold on any surface.

// Tiles a bitmap over `area` from its top-left corner; `bitmap` is the bitmap's size.
void TileBitmap(Canvas& canvas, int resourceId, Size bitmap, Size area);

// Where the thumb is drawn in a slider of `control` size: centred on its position's pixel, and
// vertically centred between the top and bottom margins. Empty without a thumb.
Rect SliderThumbRect(const SliderState& slider, Size control);

// The thumb bitmap drawn now: the active one while dragging (if there is one), else the normal one.
int SliderThumbBitmap(const SliderState& slider);

// A bitmap slider: the channel left of the thumb centre from the active channel bitmap and the rest
// from the normal one (the normal one whole when there is no active bitmap or input is off), then
// the thumb (the active thumb while dragging), leaving out `thumbKey` (the drawn thumb's top-left colour)
// when the thumb is transparent.
void PaintSliderSkin(Canvas& canvas, const SliderState& slider, std::optional<Color> thumbKey);

// The icon an icon button shows in its state: the disabled icon when disabled (if it has one), the
// hover icon while hovered (if it has one), else the normal icon.
const std::string& ButtonIconName(const ControlState& button);
