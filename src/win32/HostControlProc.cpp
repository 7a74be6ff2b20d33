#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/KeyMap.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

constexpr UINT_PTR kSubclassId = 0xC0A1;

bool WantsAllKeys(CDialog& dialog, int id) {
    const CWndControl* control = dialog.FindControl(id);
    return control && control->WantsAllKeys();
}

}  // namespace

void Win32Host::RouteMouse(HWND window, UINT msg, LPARAM lParam) {
    MouseEvent event;
    if (!MouseEventFromMessage(msg, lParam, event)) return;
    const Target target = TargetOf(window);
    if (!target.window) return;
    target.window->lastMouse = event.pt;
    target.window->dialog->HandleMouse(target.id, event);
}

void Win32Host::ReportFocus(HWND window, bool gained, HWND other) {
    const Target target = TargetOf(window);
    if (!target.window) return;
    DialogWindow& record = *target.window;
    if (gained) {
        if (target.id != 0) record.lastFocus = window;
        record.dialog->HandleFocusChanged(target.id);
        return;
    }
    // A move between the dialog's own windows is reported by the one that gains the focus.
    if (other && (other == record.hwnd || IsChild(record.hwnd, other))) return;
    record.dialog->HandleFocusChanged(kFocusElsewhere);
}

void Win32Host::OnCaptureLost(HWND window, HWND newCapture) {
    if (newCapture == window) return;
    const Target target = TargetOf(window);
    if (!target.window || target.id == 0 || target.window->releasingCapture) return;
    const ControlState& state = target.window->dialog->Control(target.id);
    // A drag cut short by the system (another window took the mouse) ends as if the button came up,
    // so the slider does not stay stuck in dragging.
    if (state.kind != ControlKind::Slider || !state.slider.dragging) return;
    target.window->dialog->HandleMouse(target.id,
                                       {MouseAction::Up, MouseButton::Left, target.window->lastMouse});
}

LRESULT CALLBACK Win32Host::SkinControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE: {
            const Target target = TargetOf(hwnd);
            if (!target.window || !WantsAllKeys(*target.window->dialog, target.id)) break;
            // Every key while it has the focus, except while Tab is held (moving on).
            return GetKeyState(VK_TAB) < 0 ? 0 : DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const Target target = TargetOf(hwnd);
            if (!target.window) break;
            target.window->host->PaintSkinControl(hwnd);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            ReportFocus(hwnd, msg == WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureLost(hwnd, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MOUSELEAVE:
            RouteMouse(hwnd, msg, lParam);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Host::ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR) {
    switch (msg) {
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ControlSubclassProc, kSubclassId);
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
            ReportFocus(hwnd, msg == WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
            return result;
        }
        case WM_LBUTTONDBLCLK:
            RouteMouse(hwnd, msg, lParam);
            // The second click of a quick pair is a click too, not the button's double-click notice.
            return DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MOUSELEAVE:
            RouteMouse(hwnd, msg, lParam);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void Win32Host::SubclassControl(HWND control) {
    SetWindowSubclass(control, ControlSubclassProc, kSubclassId, 0);
}
