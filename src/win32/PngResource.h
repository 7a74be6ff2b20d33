#pragma once
#include "ui/UiTypes.h"
#include "win32/WinApi.h"

// A skin bitmap stored compressed: resource type "PNG" under its number, decoded with the system's
// imaging component into the DIB section the uncompressed bitmap resource would have given
// (24-bit), so drawing cannot tell them apart. nullptr when the module has no such resource or it
// cannot be decoded. The imaging component is loaded for the decoding and let go again once no
// decoding has been asked for a moment (windows decode their bitmaps in a burst as they open).
HBITMAP LoadPngResource(HINSTANCE module, int resourceId);
// The size a PNG resource will decode to, read from its header alone; false when there is no such
// resource or its header is not a PNG image's.
bool PngResourceSize(HINSTANCE module, int resourceId, Size& size);
// Whether the imaging component is loaded for decoding now.
bool PngCodecLoaded();
