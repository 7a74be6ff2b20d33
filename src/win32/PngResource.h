#pragma once
#include "win32/WinApi.h"

// A skin bitmap stored compressed: resource type "PNG" under its number, decoded with the system's
// imaging component into the DIB section the uncompressed bitmap resource would have given
// (24-bit, rows from the bottom), so drawing cannot tell them apart. nullptr when the module has
// no such resource or it cannot be decoded.
HBITMAP LoadPngResource(HINSTANCE module, int resourceId);
