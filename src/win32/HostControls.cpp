#include <algorithm>

#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/TextConvert.h"
#include "win32/Win32Host.h"

namespace {

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    bool subclass;
};

WindowKind KindOf(const ControlState& state) {
    switch (state.kind) {
        case ControlKind::Button:
            return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, true};
        case ControlKind::Slider:
            return {kSliderClass, WS_TABSTOP, false};
        case ControlKind::Label:
        case ControlKind::Picture:
            // Without SS_NOTIFY a static lets the mouse through to the dialog (dragging by any point).
            return {L"STATIC", SS_OWNERDRAW, false};
        case ControlKind::Edit:
            return {L"EDIT", DWORD(ES_AUTOHSCROLL | WS_TABSTOP | (state.edit.digitsOnly ? ES_NUMBER : 0)),
                    true};
        case ControlKind::ComboBox:
            return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, true};
        case ControlKind::OwnerDrawn:
            return {kOwnerDrawnClass, 0, false};
        case ControlKind::None:
            break;
    }
    return {nullptr, 0, false};
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

int WindowHeight(const ControlState& state) {
    return state.kind == ControlKind::ComboBox ? state.rect.height + kComboListHeight : state.rect.height;
}

bool IsSkinned(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::Slider || kind == ControlKind::Label ||
           kind == ControlKind::Picture || kind == ControlKind::OwnerDrawn;
}

// A control of a page whose windows are put off takes its place in the order its window would have
// been made in: where it was first seen, or last, as a window made anew for a new kind would be.
void NotePendingControl(DialogWindow& window, const ControlState& state) {
    auto& pending = window.pendingControls;
    auto it =
        std::find_if(pending.begin(), pending.end(), [&](const auto& p) { return p.first == state.id; });
    if (it != pending.end()) {
        if (it->second == state.kind) return;
        pending.erase(it);
    }
    pending.emplace_back(state.id, state.kind);
}

}  // namespace

void Win32Host::RealiseControls(DialogWindow& window) {
    if (!window.controlsPending) return;
    window.controlsPending = false;
    const std::vector<std::pair<int, ControlKind>> pending = std::move(window.pendingControls);
    window.pendingControls.clear();
    for (const auto& entry : pending) SyncControl(*window.dialog, entry.first);
}

void Win32Host::SyncControl(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    const ControlState& state = dialog.Control(id);
    if (state.kind == ControlKind::None) return;
    if (window->controlsPending) {
        NotePendingControl(*window, state);
        return;
    }
    auto it = window->controls.find(id);
    if (it == window->controls.end() || it->second.kind != state.kind || !IsWindow(it->second.hwnd)) {
        if (it != window->controls.end() && IsWindow(it->second.hwnd)) DestroyWindow(it->second.hwnd);
        CreateControlWindow(*window, state);
    }
    ApplyControlState(*window, state);
}

void Win32Host::CreateControlWindow(DialogWindow& window, const ControlState& state) {
    const WindowKind kind = KindOf(state);
    ControlWindow& control = window.controls[state.id];
    control = ControlWindow{};
    control.kind = state.kind;
    control.text = Utf8ToWide(state.text);
    control.rect = state.rect;
    control.visible = state.visible;
    control.enabled = state.enabled;
    control.digitsOnly = state.edit.digitsOnly;
    const DWORD style =
        WS_CHILD | kind.style | (state.visible ? WS_VISIBLE : 0) | (state.enabled ? 0 : WS_DISABLED);
    window.echoingText = true;
    control.hwnd = CreateWindowExW(0, kind.className, control.text.c_str(), style, state.rect.left,
                                   state.rect.top, state.rect.width, WindowHeight(state), window.hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(state.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    window.echoingText = false;
    if (!control.hwnd) {
        window.controls.erase(state.id);
        return;
    }
    if (kind.subclass) SubclassControl(control.hwnd);
}

void Win32Host::ApplyControlState(DialogWindow& window, const ControlState& state) {
    auto it = window.controls.find(state.id);
    if (it == window.controls.end()) return;
    ControlWindow& control = it->second;
    HWND hwnd = control.hwnd;

    if (!(control.rect == state.rect)) {
        control.rect = state.rect;
        SetWindowPos(hwnd, nullptr, state.rect.left, state.rect.top, state.rect.width, WindowHeight(state),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (control.enabled != state.enabled) {
        control.enabled = state.enabled;
        EnableWindow(hwnd, state.enabled ? TRUE : FALSE);
    }
    const std::wstring text = Utf8ToWide(state.text);
    // What the user typed into an edit is only in the window; compare with that.
    if (state.kind == ControlKind::Edit) control.text = WindowText(hwnd);
    bool textSet = false;
    if (control.text != text && state.kind != ControlKind::ComboBox) {
        textSet = true;
        control.text = text;
        window.echoingText = true;
        if (state.kind == ControlKind::Label && timerDepth > 0) {
            // The window keeps the text without the static painting itself at once: the label is
            // drawn with the tick's other repaints.
            DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            RepaintControl(hwnd, state.kind);
        } else {
            SetWindowTextW(hwnd, text.c_str());
        }
        window.echoingText = false;
    }
    if (state.kind == ControlKind::Edit || state.kind == ControlKind::ComboBox ||
        state.kind == ControlKind::Button) {
        if (!control.fontApplied || !(control.font == state.font)) {
            control.font = state.font;
            control.fontApplied = true;
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window.paint.fonts->Get(state.font)),
                         TRUE);
        }
    }
    if (state.kind == ControlKind::Edit && control.digitsOnly != state.edit.digitsOnly) {
        control.digitsOnly = state.edit.digitsOnly;
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        SetWindowLongPtrW(hwnd, GWL_STYLE,
                          state.edit.digitsOnly ? style | ES_NUMBER : style & ~LONG_PTR(ES_NUMBER));
    }
    if (state.kind == ControlKind::ComboBox) {
        if (control.items != state.items) {
            control.items = state.items;
            control.selection = -2;
            SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : state.items) {
                const std::wstring wide = Utf8ToWide(item);
                SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
            }
        }
        if (control.selection != state.selection) {
            control.selection = state.selection;
            SendMessageW(hwnd, CB_SETCURSEL, WPARAM(state.selection), 0);
        }
    }
    // A label (an owner-drawn static) paints itself, with the state as it is now, when its text is
    // set; asking again would paint it twice.
    if (IsSkinned(state.kind) && !(state.kind == ControlKind::Label && textSet)) {
        RepaintControl(hwnd, state.kind);
    } else if (state.kind == ControlKind::Edit) {
        // Colours or the look may have changed; the edit asks for them again as it repaints.
        RepaintControl(hwnd, state.kind);
    }
    if (control.visible != state.visible) {
        control.visible = state.visible;
        ShowWindow(hwnd, state.visible ? SW_SHOWNA : SW_HIDE);
    }
}
