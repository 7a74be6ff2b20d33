#pragma once
#include <cstdint>
#include <string>

// Value types shared by the UI model, its hosts and the control kit. Names avoid every identifier
// that <windows.h> turns into a macro (PostMessage, DrawText, DELETE, ...), because the Win32 host
// includes both.

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Size&, const Size&) = default;
};

// Left, top, width, height: the form every layout in the product is given in.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool Contains(Point p) const { return p.x >= left && p.x < Right() && p.y >= top && p.y < Bottom(); }
    Size GetSize() const { return {width, height}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour in the Windows layout 0x00BBGGRR, so values quoted as Windows colour values (0x01FFFF)
// and RGB(r, g, b) triples both mean what they say.
using Color = uint32_t;
constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr uint8_t RedOf(Color c) {
    return uint8_t(c & 0xFF);
}
constexpr uint8_t GreenOf(Color c) {
    return uint8_t((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(Color c) {
    return uint8_t((c >> 16) & 0xFF);
}

// A font description. `height` follows the Windows convention (negative: character height in pixels,
// positive: cell height); `pointTenths`, when non-zero, asks for a size in tenths of a point instead.
// An empty face with no size means the system's default GUI font.
struct FontSpec {
    std::string face;
    int height = 0;
    int pointTenths = 0;
    int weight = 0;  // 0 normal, 700 bold
    bool underline = false;
    bool IsDefault() const {
        return face.empty() && height == 0 && pointTenths == 0 && weight == 0 && !underline;
    }
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class ControlKind { None, Button, Slider, Label, Edit, Picture, ComboBox, OwnerDrawn };

enum class Key { Enter, Escape, PageUp, PageDown, Home, End, Left, Right, Up, Down, Tab, Other };

enum class MouseAction { Down, Up, Move, Leave, DoubleClick };
enum class MouseButton { None, Left, Right };

// Coordinates are in the client area of the window that receives the event: the control's own
// area for a control, the dialog's client area for the dialog surface.
struct MouseEvent {
    MouseAction action = MouseAction::Move;
    MouseButton button = MouseButton::None;
    Point pt;
};

enum class CursorShape { Arrow, Hand, Wait };

enum class ShowCommand { Hide, Show, Minimise, Restore };

// Custom notifications a bitmap slider posts to its dialog: wParam = control id, lParam = position.
constexpr uint32_t kMsgSliderMoving = 0x28D1;
constexpr uint32_t kMsgSliderMoved = 0x28D2;

// Standard dialog results and the command ids of the standard dialog keys.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Focus id of a dialog whose window lost the keyboard focus to another window.
constexpr int kFocusElsewhere = -1;
// DoModal's answer when the dialog could not run.
constexpr int kModalFailed = -1;
