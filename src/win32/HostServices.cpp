#include <algorithm>

#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/LayeredWindow.h"
#include "win32/TextConvert.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"
#include "win32/WindowShape.h"

HWND Win32Host::TargetWindow(DialogWindow& window, int id) {
    if (id == 0) return window.hwnd;
    RealiseControls(window);
    auto it = window.controls.find(id);
    return it == window.controls.end() ? nullptr : it->second.hwnd;
}

void Win32Host::SyncWindow(CDialog& dialog) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    const DialogState& state = dialog.Window();
    HWND hwnd = window->hwnd;

    const std::wstring title = Utf8ToWide(state.title);
    if (title != window->title) {
        window->title = title;
        SetWindowTextW(hwnd, title.c_str());
    }
    // A window not shown yet takes its shape as it shows; meanwhile the pictures it will need are
    // decoded when the UI thread pauses (a top-level window's: a hidden page may never show).
    const bool showing = IsWindowVisible(hwnd) != FALSE;
    const bool topLevel = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0;
    if (state.shapeBitmap != window->shapeBitmap) {
        window->shapeBitmap = state.shapeBitmap;
        window->shapeApplied = false;
        if (showing) {
            ApplyShape(*window);
        } else if (state.shapeBitmap != 0 && topLevel) {
            bitmaps->Prefetch(state.shapeBitmap);
        }
    }
    if (state.backgroundBitmap != window->backgroundBitmap) {
        if (!showing && topLevel && state.backgroundBitmap != 0) bitmaps->Prefetch(state.backgroundBitmap);
        window->backgroundBitmap = state.backgroundBitmap;
        window->surfaceCurrent = false;
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    if (topLevel && state.topmost != window->topmost) {
        window->topmost = state.topmost;
        SetWindowPos(hwnd, state.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ApplyVisibility(*window);
}

void Win32Host::MoveWindow(CDialog& dialog, const Rect& rect) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    SetWindowPos(window->hwnd, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    window->surfaceCurrent = false;
    // A placed window stays where the model put it.
    window->placed = window->placed || rect.left != 0 || rect.top != 0;
}

int Win32Host::SetOpacity(CDialog& dialog, int percent) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return 1;
    if (percent < 0) {
        RemoveLayeredStyle(window->hwnd);
        return 0;
    }
    return ApplyLayeredAlpha(window->hwnd, percent);
}

void Win32Host::ActivateWindow(CDialog& dialog) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND root = GetAncestor(window->hwnd, GA_ROOT);
    SetForegroundWindow(root);
    BringWindowToTop(root);
}

void Win32Host::StartWindowMove(CDialog& dialog) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND root = GetAncestor(window->hwnd, GA_ROOT);
    POINT cursor{};
    GetCursorPos(&cursor);
    // As a press on a caption would: the system's own move loop, once the current message is done.
    ReleaseCapture();
    PostMessageW(root, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void Win32Host::Invalidate(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    if (id == 0) {
        window->surfaceCurrent = false;
        RedrawWindow(window->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    auto it = window->controls.find(id);
    if (it == window->controls.end()) return;
    RepaintControl(it->second.hwnd, it->second.kind);
}

void Win32Host::RepaintControl(HWND control, ControlKind kind) {
    if (timerDepth > 0 &&
        (kind == ControlKind::Slider || kind == ControlKind::OwnerDrawn || kind == ControlKind::Label)) {
        const auto asked = [control](const TickRepaint& r) { return r.control == control; };
        if (std::none_of(tickRepaints.begin(), tickRepaints.end(), asked))
            tickRepaints.push_back({control, kind});
        return;
    }
    // The skinned controls copy the dialog's picture under them as they paint; edits erase.
    InvalidateRect(control, nullptr, kind == ControlKind::Edit ? TRUE : FALSE);
}

std::unique_ptr<Canvas> Win32Host::BeginDraw(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return nullptr;
    HWND target = TargetWindow(*window, id);
    if (!target) return nullptr;
    return GdiCanvas::ForWindow(target, window->paint);
}

std::unique_ptr<Canvas> Win32Host::DialogPicture(const CDialog& dialog) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return nullptr;
    const BitmapStore::UserScope use(*bitmaps, window->hwnd);
    if (!EnsureSurface(*window)) return nullptr;
    return std::make_unique<GdiCanvas>(window->surface.Dc(), window->surface.GetSize(), window->paint);
}

Size Win32Host::BitmapSize(int resourceId) {
    return bitmaps->SizeOf(resourceId);
}

void Win32Host::StartTimer(CDialog& dialog, int controlId, int timerId, uint32_t intervalMs) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    const std::pair<int, int> key{controlId, timerId};
    UINT_PTR event = 0;
    if (auto it = window->timerEvents.find(key); it != window->timerEvents.end()) {
        event = it->second;
    } else if (controlId == 0 && timerId > 0 && UINT_PTR(timerId) < kFirstSyntheticTimer) {
        // The dialog's own timers keep their numbers, as the system shows them.
        event = UINT_PTR(timerId);
    } else {
        event = window->nextTimerEvent++;
    }
    if (!SetTimer(window->hwnd, event, intervalMs, nullptr)) return;
    window->timerEvents[key] = event;
    window->timerTargets[event] = key;
}

void Win32Host::StopTimer(CDialog& dialog, int controlId, int timerId) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    auto it = window->timerEvents.find({controlId, timerId});
    if (it == window->timerEvents.end()) return;
    // KillTimer also takes back a WM_TIMER already queued for it.
    KillTimer(window->hwnd, it->second);
    window->timerTargets.erase(it->second);
    window->timerEvents.erase(it);
}

void Win32Host::PostDialogMessage(CDialog& dialog, uint32_t msg, intptr_t wParam, intptr_t lParam) {
    CDialog* target = &dialog;
    queue.Post(target, [target, msg, wParam, lParam] { target->HandleMessage(msg, wParam, lParam); });
}

void Win32Host::PostToUi(CDialog& dialog, std::function<void()> work) {
    queue.Post(&dialog, std::move(work));
}

void Win32Host::SetFocus(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND target = TargetWindow(*window, id);
    if (!target) return;
    ::SetFocus(target);
    // Already focused in the system's eyes (no WM_SETFOCUS comes), but the model may not know yet.
    if (GetFocus() == target && dialog.FocusId() != id) {
        if (id != 0) window->lastFocus = target;
        dialog.HandleFocusChanged(id);
    }
}

void Win32Host::CaptureMouse(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND target = TargetWindow(*window, id);
    if (!target) return;
    ::SetCapture(target);
}

void Win32Host::ReleaseMouse(CDialog& dialog) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND capture = GetCapture();
    if (!capture || (capture != window->hwnd && !IsChild(window->hwnd, capture))) return;
    window->releasingCapture = true;
    ReleaseCapture();
    window->releasingCapture = false;
}

bool Win32Host::HasCapture(const CDialog& dialog, int id) const {
    const DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return false;
    HWND capture = GetCapture();
    if (id == 0) return capture == window->hwnd;
    auto it = window->controls.find(id);
    return it != window->controls.end() && capture == it->second.hwnd;
}

void Win32Host::TrackMouseLeave(CDialog& dialog, int id) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    HWND target = TargetWindow(*window, id);
    if (!target) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = target;
    TrackMouseEvent(&track);
}

void Win32Host::SetCursor(CDialog& dialog, CursorShape cursor) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return;
    window->cursor = cursor;
    POINT at{};
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    // The new shape shows at once when the pointer is over the dialog, not only on its next move.
    if (under == window->hwnd || IsChild(window->hwnd, under)) {
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
}

int Win32Host::WatchDeviceChanges(CDialog& dialog, bool on) {
    DialogWindow* window = Find(dialog);
    if (!window || !window->hwnd) return 1;
    if (!on) {
        if (window->deviceNotify) UnregisterDeviceNotification(window->deviceNotify);
        window->deviceNotify = nullptr;
        return 0;
    }
    if (window->deviceNotify) return 0;
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    window->deviceNotify = RegisterDeviceNotificationW(
        window->hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
    return window->deviceNotify ? 0 : 1;
}
