#include "platform/NotificationArea.h"
#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/KeyMap.h"
#include "win32/TextConvert.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

// Messages in the application range reach the model as posted messages (the notification icon's
// callback, for one); the first three are the standard dialog messages, which are not the model's.
bool IsModelMessage(UINT msg) {
    return msg >= WM_USER + 3 && msg < WM_APP;
}

// Commands from another copy are a few hundred bytes; more is not ours.
constexpr DWORD kMaxCopyDataBytes = 64 * 1024;

// The shell's announcement that the notification area was made anew; 0 if it cannot be registered.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// The program runs elevated, and the system drops messages from the (unelevated) shell to it
// unless the window lets this one through.
void AcceptTaskbarCreated(HWND window) {
    if (const UINT message = TaskbarCreatedMessage())
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
}

HICON ClassIcon(HWND window) {
    return reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
}

// A minimised window shows the program's icon centred on a plain background, not the skin.
void PaintMinimised(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (HICON icon = ClassIcon(window)) {
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon);
    }
    EndPaint(window, &ps);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

LRESULT CALLBACK Win32Host::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* record = static_cast<DialogWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
        if (record) record->hwnd = hwnd;
        if (!(reinterpret_cast<CREATESTRUCTW*>(lParam)->style & WS_CHILD)) AcceptTaskbarCreated(hwnd);
    }
    DialogWindow* record = RecordOf(hwnd);
    if (!record) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return record->host->OnDialogMessage(*record, msg, wParam, lParam);
}

LRESULT Win32Host::OnDialogMessage(DialogWindow& window, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Held for the whole message: a handler may destroy the dialog under our feet.
    auto self = windows.find(window.dialog);
    if (self == windows.end()) return DefWindowProcW(window.hwnd, msg, wParam, lParam);
    const std::shared_ptr<DialogWindow> keep = self->second;
    HWND hwnd = window.hwnd;
    CDialog& dialog = *window.dialog;

    MouseEvent mouse;
    if (MouseEventFromMessage(msg, lParam, mouse)) {
        dialog.HandleMouse(0, mouse);
        return 0;
    }
    switch (msg) {
        case WM_ERASEBKGND:
            // Painting covers every pixel from the off-screen surface; erasing first would flicker.
            return 1;
        case WM_PAINT:
            if (IsIconic(hwnd)) {
                PaintMinimised(hwnd);
            } else {
                PaintDialog(window);
            }
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(ClassIcon(hwnd));
        case WM_DRAWITEM:
            DrawItem(window, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            HBRUSH brush = EditColors(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            if (brush) return reinterpret_cast<LRESULT>(brush);
            break;
        }
        case WM_COMMAND:
            OnCommandMessage(window, wParam, lParam);
            return 0;
        case WM_TIMER:
            OnTimerMessage(window, UINT_PTR(wParam));
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(window, lParam)) return TRUE;
            break;
        case WM_MOVE:
            ReportWindowMoved(window);
            return 0;
        case WM_SIZE:
            window.surfaceCurrent = false;
            break;
        case WM_SHOWWINDOW:
            // However it is shown, a window takes its shape first.
            if (wParam && !window.shapeApplied) ApplyShape(window);
            break;
        case WM_ACTIVATE:
            OnActivate(window, wParam);
            return 0;
        case WM_SETFOCUS:
            ReportFocus(hwnd, true, reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_KILLFOCUS:
            ReportFocus(hwnd, false, reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_DEVICECHANGE: {
            if (!window.deviceNotify) return TRUE;
            uint32_t deviceType = 0;
            // Only the device events (0x8000 and up) carry a broadcast header.
            if (wParam >= DBT_DEVICEARRIVAL && lParam) {
                deviceType = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype;
            }
            dialog.HandleDeviceChange(uint32_t(wParam), deviceType);
            return TRUE;
        }
        case WM_CLOSE:
            dialog.HandleClose();
            return 0;
        case WM_COPYDATA: {
            // Another program's bytes, valid only during this call; anything malformed is not taken.
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!copyDataHandler || !data || (static_cast<uint64_t>(data->dwData) >> 32) != 0 ||
                data->cbData > kMaxCopyDataBytes || (data->cbData && !data->lpData))
                return 0;
            const std::string_view bytes(static_cast<const char*>(data->lpData), data->cbData);
            return copyDataHandler(dialog, uint32_t(data->dwData), bytes);
        }
        case WM_CAPTURECHANGED:
            OnCaptureLost(hwnd, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NCDESTROY:
            // Taken down by the system (with its owner, say) rather than through the host.
            if (!window.gone) Forget(window, false);
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        default:
            if (msg != 0 && msg == TaskbarCreatedMessage()) {
                dialog.HandleMessage(kMsgTaskbarCreated, 0, 0);
                return 0;
            }
            if (IsModelMessage(msg)) {
                dialog.HandleMessage(msg, intptr_t(wParam), intptr_t(lParam));
                return 0;
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32Host::OnCommandMessage(DialogWindow& window, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    CDialog& dialog = *window.dialog;
    if (!control) {
        // A menu or accelerator command, or a command sent from outside (IDOK, IDCANCEL).
        dialog.HandleCommand(id);
        return;
    }
    auto it = window.controls.find(id);
    if (it == window.controls.end() || it->second.hwnd != control) return;
    switch (it->second.kind) {
        case ControlKind::Button:
            // A disabled button never clicks, whoever sends it BM_CLICK.
            if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && IsWindowEnabled(control)) {
                dialog.HandleCommand(id);
            }
            break;
        case ControlKind::Edit:
            if (code == EN_CHANGE && !window.echoingText)
                dialog.HandleEditChanged(id, WideToUtf8(WindowText(control)));
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                dialog.HandleSelectionChanged(id, int(SendMessageW(control, CB_GETCURSEL, 0, 0)));
            }
            break;
        default:
            break;
    }
}

void Win32Host::OnTimerMessage(DialogWindow& window, UINT_PTR event) {
    auto it = window.timerTargets.find(event);
    if (it == window.timerTargets.end()) return;
    const auto [controlId, timerId] = it->second;
    ++timerDepth;
    window.dialog->HandleTimer(controlId, timerId);
    if (--timerDepth == 0) RepaintTickControls();
}

void Win32Host::OnActivate(DialogWindow& window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) != 0) return;
    // As a dialog does: the focus goes back to the control that had it.
    HWND target = window.lastFocus;
    if (!target || !IsWindow(target) || !IsChild(window.hwnd, target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        target = window.hwnd;
    }
    ::SetFocus(target);
}

bool Win32Host::OnSetCursor(DialogWindow& window, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT || window.cursor == CursorShape::Arrow) return false;
    const wchar_t* shape = window.cursor == CursorShape::Hand ? MAKEINTRESOURCEW(32649)   // IDC_HAND
                                                              : MAKEINTRESOURCEW(32514);  // IDC_WAIT
    ::SetCursor(LoadCursorW(nullptr, shape));
    return true;
}
