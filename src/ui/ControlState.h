#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ui/UiTypes.h"

// Everything a host needs to show a bitmap slider; the behaviour that changes it is CBitmapSlider.
// Bitmaps are resource numbers, 0 meaning none.
struct SliderState {
    int min = 0;
    int max = 100;
    int position = 0;
    int page = 20;
    int channelBitmap = 0;
    int activeChannelBitmap = 0;
    int thumbBitmap = 0;
    int activeThumbBitmap = 0;
    bool thumbTransparent = false;  // mask from the thumb's top-left pixel colour
    Size thumbSize;                 // the thumb bitmap's size; empty without thumb
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    bool enabled = true;  // the slider's own input flag; the window itself stays enabled
    bool dragging = false;

    bool HasThumb() const { return thumbBitmap != 0; }
    // Pixels the thumb centre can travel: width - margins - thumb width (never negative).
    int UsableLength(int controlWidth) const;
    // Thumb centre for a position, relative to the control's left edge.
    int ThumbCentre(int position, int controlWidth) const;
    // The position a thumb centre stands for: min + trunc((centre - thumb/2 - left margin) x range /
    // usable length), clamped into [min, max]. Where pixels outnumber positions, the pixel a
    // position is drawn on can stand for the one before it.
    int PositionAt(int centreX, int controlWidth) const;
};

struct EditState {
    int lookMode = 0;       // 0 black on white, 1 pattern background, 2 solid colours
    int patternBitmap = 0;  // look mode 1: bitmap resource used as a pattern brush
    bool digitsOnly = false;
};

// One control as the model knows it. Icons are file names in the skin's icon folder ("Msg_Yes.ico");
// hosts resolve them (the Win32 host next to the executable in "Resources").
struct ControlState {
    int id = 0;
    ControlKind kind = ControlKind::None;
    Rect rect;  // in the dialog's client area
    bool visible = true;
    bool enabled = true;
    std::string text;  // UTF-8
    std::string iconNormal;
    std::string iconHover;
    std::string iconDisabled;
    bool hover = false;
    bool flat = true;
    int bitmap = 0;  // picture controls
    FontSpec font;
    std::optional<Color> textColor;  // none: the system's window-text colour
    std::optional<Color> backColor;  // none: the system's button-face colour
    bool transparentBackground = false;
    // An owner-drawn control that paints every pixel of its area: nothing is put under it first.
    bool coversArea = false;
    // The control answers the system's colour request itself (CLabel): its colours and font apply
    // and its background is backColor unless transparentBackground. Plain statics instead follow
    // the dialog's transparentStatics flag.
    bool ownColors = false;
    std::vector<std::string> items;  // combo box entries
    int selection = -1;
    SliderState slider;
    EditState edit;
};
