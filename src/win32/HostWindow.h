#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/CDialog.h"
#include "win32/FontCache.h"
#include "win32/GdiCanvas.h"
#include "win32/GdiObjects.h"
#include "win32/IconCache.h"

class Win32Host;

// Window classes of the host.
inline constexpr wchar_t kDialogClass[] = L"CoralvaneDialog";
inline constexpr wchar_t kSliderClass[] = L"CoralvaneSlider";
inline constexpr wchar_t kOwnerDrawnClass[] = L"CoralvaneOwnerDrawn";
inline constexpr wchar_t kQueueClass[] = L"CoralvaneHostQueue";
// The queue window's wake-up: run the posted work.
inline constexpr UINT kMsgRunPosted = WM_APP + 0x101;
// Control timers and dialog timers with ids the system cannot take get event ids from here on.
inline constexpr UINT_PTR kFirstSyntheticTimer = 0x10000;
// Combo boxes are created this much taller than their closed height, for the drop-down list.
inline constexpr int kComboListHeight = 200;

// What the host last gave the system for one control, so a sync changes only what changed.
struct ControlWindow {
    HWND hwnd = nullptr;
    ControlKind kind = ControlKind::None;
    Rect rect;
    bool visible = false;
    bool enabled = true;
    std::wstring text;
    FontSpec font;
    bool fontApplied = false;
    std::vector<std::string> items;
    int selection = -2;
    bool digitsOnly = false;
};

// Property of a top-level window: milliseconds of protocol pauses before its first paint, plus one.
inline constexpr wchar_t kPausedMsProperty[] = L"Coralvane.PausedMs";

// One dialog's window and everything the host keeps for it. Shared, so a handler or a modal loop
// that holds it survives the dialog being destroyed underneath it; `gone` then tells it to stop.
struct DialogWindow {
    Win32Host* host = nullptr;
    CDialog* dialog = nullptr;
    CDialog* parent = nullptr;
    HWND hwnd = nullptr;
    bool initialising = true;
    bool gone = false;
    bool placed = false;
    bool modal = false;
    bool ended = false;
    int result = kIdCancel;
    bool echoingText = false;       // the host itself is setting an edit's text
    bool releasingCapture = false;  // the model let the mouse go; not a capture lost to the system

    std::map<int, ControlWindow> controls;
    // A page made while hidden gets its control windows only when it is first shown or one of them
    // is needed; until then the model holds their state and this list the order the windows would
    // have been made in (their Z and Tab order), with the kind each was last seen as.
    bool controlsPending = false;
    std::vector<std::pair<int, ControlKind>> pendingControls;
    HWND lastFocus = nullptr;  // control to give the focus back to on activation
    Point lastMouse;

    std::map<std::pair<int, int>, UINT_PTR> timerEvents;  // (control, timer) -> event
    std::map<UINT_PTR, std::pair<int, int>> timerTargets;
    UINT_PTR nextTimerEvent = kFirstSyntheticTimer;
    HDEVNOTIFY deviceNotify = nullptr;
    CursorShape cursor = CursorShape::Arrow;

    std::wstring title;
    int shapeBitmap = 0;
    bool shapeApplied = true;  // shapeBitmap is the window's region (put off while it is hidden)
    bool topmost = false;
    int backgroundBitmap = 0;

    PaintResources paint;
    std::unique_ptr<IconCache> icons;
    std::map<int, GdiObject> patternBrushes;
    std::map<Color, GdiObject> solidBrushes;
    MemorySurface surface;  // the dialog as last painted: skin plus its own drawing
    bool surfaceCurrent = false;
    unsigned renders = 0;            // surfaces rendered so far
    bool copiesParent = false;       // the surface shows the parent's picture through it
    unsigned parentRendersSeen = 0;  // the parent's `renders` when that picture was copied
    bool pausesNoted = false;
};

inline Rect RectOf(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
