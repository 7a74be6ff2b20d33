#pragma once
#include <windows.h>

// The system's SetLayeredWindowAttributes, looked up in user32.dll at run time: systems without it
// simply get no translucency.
using SetLayeredAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Calls `apply` with the function (nullptr when the system lacks it) while user32.dll is held.
class LayeredLookup {
public:
    virtual ~LayeredLookup() = default;
    virtual int WithFunction(int (*apply)(SetLayeredAttributesFn fn, void* context), void* context);
};

// Makes the window layered with alpha = percent × 255 ÷ 100 (the colour key 255 is passed, only the
// alpha flag is given). 0 when applied; 1 when the function does not exist, and then nothing
// changes.
int ApplyLayeredAlpha(HWND window, int percent, LayeredLookup& lookup);
int ApplyLayeredAlpha(HWND window, int percent);
// Takes the layered style away again: the window is fully opaque.
void RemoveLayeredStyle(HWND window);
