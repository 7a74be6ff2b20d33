#pragma once
#include <windows.h>

#include "ui/UiTypes.h"

// Most skin pictures are a small drawing on a plain frame of one colour (a dial's needle on its
// transparent colour): only the drawing needs keeping. For a bitmap whose four corners share a
// colour, finds the smallest box holding every pixel of another colour and returns a new
// 24-bit DIB section of that box's pixels, with `held` (the box within the bitmap) and `frame` (the
// colour of every pixel outside it). nullptr, leaving the bitmap as it is, when the corners differ,
// the box saves less than a tenth of the pixels, or the system cannot read the bitmap or make the
// new one. A bitmap of the frame colour alone keeps its top-left pixel.
HBITMAP TrimToPicture(HBITMAP whole, Rect& held, Color& frame);
