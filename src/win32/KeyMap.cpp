#include "win32/KeyMap.h"

#include "win32/WinApi.h"

Key KeyFromVirtualKey(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_RETURN:
            return Key::Enter;
        case VK_ESCAPE:
            return Key::Escape;
        case VK_PRIOR:
            return Key::PageUp;
        case VK_NEXT:
            return Key::PageDown;
        case VK_HOME:
            return Key::Home;
        case VK_END:
            return Key::End;
        case VK_LEFT:
            return Key::Left;
        case VK_RIGHT:
            return Key::Right;
        case VK_UP:
            return Key::Up;
        case VK_DOWN:
            return Key::Down;
        case VK_TAB:
            return Key::Tab;
        default:
            return Key::Other;
    }
}

bool MouseEventFromMessage(UINT msg, LPARAM lParam, MouseEvent& event) {
    switch (msg) {
        case WM_MOUSEMOVE:
            event = {MouseAction::Move, MouseButton::None, {}};
            break;
        case WM_LBUTTONDOWN:
            event = {MouseAction::Down, MouseButton::Left, {}};
            break;
        case WM_LBUTTONUP:
            event = {MouseAction::Up, MouseButton::Left, {}};
            break;
        case WM_LBUTTONDBLCLK:
            event = {MouseAction::DoubleClick, MouseButton::Left, {}};
            break;
        case WM_RBUTTONDOWN:
            event = {MouseAction::Down, MouseButton::Right, {}};
            break;
        case WM_RBUTTONUP:
            event = {MouseAction::Up, MouseButton::Right, {}};
            break;
        case WM_RBUTTONDBLCLK:
            event = {MouseAction::DoubleClick, MouseButton::Right, {}};
            break;
        case WM_MOUSELEAVE:
            event = {MouseAction::Leave, MouseButton::None, {}};
            return true;
        default:
            return false;
    }
    // Signed: with the mouse captured the pointer may be left of or above the window.
    event.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return true;
}
