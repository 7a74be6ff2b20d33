#include "win32/Win32Host.h"

#include <utility>

#include "platform/Clock.h"
#include "ui/CDialog.h"
#include "win32/HostWindow.h"
#include "win32/KeyMap.h"
#include "win32/TextConvert.h"
#include "win32/WindowShape.h"

namespace {

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return L".\\";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

ATOM dialogAtom = 0;

// Whether the program's starter said how its first window is to show (a shortcut's "minimised"):
// the system applies that to the first ShowWindow call of the process.
bool StarterGaveShowCommand() {
    STARTUPINFOW info{};
    info.cb = sizeof info;
    GetStartupInfoW(&info);
    return (info.dwFlags & STARTF_USESHOWWINDOW) != 0;
}

// Shows and activates a hidden popup as ShowWindow(SW_SHOW) does, except that its controls are not
// erased one by one before anything is painted (which the system does there, and which under Wine
// took longer than painting the whole window): they are erased as each paints, after the window.
void ShowPopup(HWND window) {
    static bool showCommandPending = StarterGaveShowCommand();
    if (showCommandPending) {
        showCommandPending = false;
        ShowWindow(window, SW_SHOW);
        return;
    }
    SendMessageW(window, WM_SHOWWINDOW, TRUE, 0);
    if (!IsWindow(window)) return;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOREDRAW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

void Win32Host::RegisterClasses(HINSTANCE instance) {
    if (dialogAtom) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    // Double clicks arrive as such, so a fast second click is still a click for the model.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DialogProc;
    wc.lpszClassName = kDialogClass;
    // The program's icon (resource 128) for the task bar, Alt+Tab and the minimised window.
    wc.hIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(128), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    wc.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(128), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    dialogAtom = RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.lpfnWndProc = SkinControlProc;
    wc.lpszClassName = kSliderClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = kOwnerDrawnClass;
    RegisterClassExW(&wc);
    wc.style = 0;
    wc.lpfnWndProc = QueueProc;
    wc.lpszClassName = kQueueClass;
    RegisterClassExW(&wc);
}

Win32Host::Win32Host(HINSTANCE resourceModule)
    : module(resourceModule ? resourceModule : GetModuleHandleW(nullptr)),
      bitmaps(std::make_shared<BitmapStore>(module)),
      iconFolder(ExecutableFolder() + L"Resources\\"),
      uiThread(GetCurrentThreadId()),
      queue([this] {
          // Without its window (the system refused it) the wake-up goes to the UI thread's own queue.
          if (!queueWindow || !PostMessageW(queueWindow, kMsgRunPosted, 0, 0)) {
              PostThreadMessageW(uiThread, kMsgRunPosted, 0, 0);
          }
      }) {
    RegisterClasses(GetModuleHandleW(nullptr));
    queueWindow = CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (queueWindow) SetWindowLongPtrW(queueWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The UI thread's own pauses (the lighting protocol's, while the main window is built) decode the
    // pictures windows about to show will need.
    SystemClock::SetPauseWork([store = bitmaps] { store->DecodeNextPrefetch(); });
}

Win32Host::~Win32Host() {
    SystemClock::SetPauseWork(nullptr);
    // Dialogs outliving the host must not reach it; close what is still open, owners last.
    while (!windows.empty()) {
        const std::shared_ptr<DialogWindow> record = windows.begin()->second;
        if (record->gone) {
            windows.erase(windows.begin());
        } else {
            Forget(*record, true);
        }
    }
    if (queueWindow) {
        SetWindowLongPtrW(queueWindow, GWLP_USERDATA, 0);
        DestroyWindow(queueWindow);
    }
}

LRESULT CALLBACK Win32Host::QueueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMsgRunPosted) {
        if (auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
            host->queue.RunPending();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

DialogWindow* Win32Host::Find(const CDialog& dialog) const {
    auto it = windows.find(&dialog);
    return it == windows.end() || it->second->gone ? nullptr : it->second.get();
}

DialogWindow* Win32Host::RecordOf(HWND window) {
    if (!window || !dialogAtom || GetClassLongPtrW(window, GCW_ATOM) != dialogAtom) return nullptr;
    auto* record = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return record && !record->gone ? record : nullptr;
}

Win32Host::Target Win32Host::TargetOf(HWND window) {
    HWND child = nullptr;
    for (HWND h = window; h; child = h, h = GetAncestor(h, GA_PARENT)) {
        if (DialogWindow* record = RecordOf(h)) return {record, child ? GetDlgCtrlID(child) : 0};
    }
    return {};
}

HWND Win32Host::WindowOf(const CDialog& dialog) const {
    const DialogWindow* record = Find(dialog);
    return record ? record->hwnd : nullptr;
}

HWND Win32Host::ControlWindowOf(const CDialog& dialog, int id) const {
    DialogWindow* record = Find(dialog);
    if (!record) return nullptr;
    // Asked for, a control's window exists, whether or not its page was ever shown.
    const_cast<Win32Host*>(this)->RealiseControls(*record);
    auto it = record->controls.find(id);
    return it == record->controls.end() ? nullptr : it->second.hwnd;
}

CDialog* Win32Host::DialogOf(HWND window) const {
    DialogWindow* record = RecordOf(window);
    return record && record->host == this ? record->dialog : nullptr;
}

int Win32Host::CreateDialogWindow(CDialog& dialog, CDialog* parent) {
    if (Find(dialog)) return 0;
    DialogWindow* parentRecord = parent ? Find(*parent) : nullptr;
    if (parent && !parentRecord) return 1;
    const DialogState& state = dialog.Window();
    const bool child = state.childStyle && parentRecord;
    // A page inside a page comes after the controls its parent has so far, as it would have.
    if (child) RealiseControls(*parentRecord);

    auto record = std::make_shared<DialogWindow>();
    record->host = this;
    record->dialog = &dialog;
    record->parent = parent;
    record->paint = {bitmaps, std::make_shared<FontCache>(), surfaces};
    record->icons = std::make_unique<IconCache>(iconFolder);
    record->modal = dialog.IsModal();
    // A page starts hidden until its parent shows it, many never are: its controls' windows (most of
    // the start-up's window making) wait for that.
    record->controlsPending = child && !state.visible;

    const DWORD style = child ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
                              : WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_CONTROLPARENT | (!child && state.topmost ? WS_EX_TOPMOST : 0);
    HWND parentWindow = parentRecord ? parentRecord->hwnd : nullptr;
    if (parentWindow && !child) parentWindow = GetAncestor(parentWindow, GA_ROOT);
    const std::wstring title = Utf8ToWide(state.title);
    // The page's own id is its template number, so automation can find it in its parent.
    HMENU childId = child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(state.templateId)) : nullptr;

    windows[&dialog] = record;
    HWND hwnd = CreateWindowExW(exStyle, kDialogClass, title.c_str(), style, state.rect.left, state.rect.top,
                                state.rect.width, state.rect.height, parentWindow, childId,
                                GetModuleHandleW(nullptr), record.get());
    if (!hwnd) {
        windows.erase(&dialog);
        return 1;
    }
    record->title = title;
    record->topmost = !child && state.topmost;
    queue.Open(&dialog);
    for (int id : dialog.ControlIds()) SyncControl(dialog, id);

    dialog.HandleInitDialog();
    if (record->gone) return 0;
    record->initialising = false;
    SyncWindow(dialog);
    return 0;
}

void Win32Host::DestroyDialogWindow(CDialog& dialog) {
    DialogWindow* record = Find(dialog);
    if (record) Forget(*record, true);
}

void Win32Host::Forget(DialogWindow& window, bool destroyWindow) {
    if (window.gone) return;
    auto self = windows.find(window.dialog);
    const std::shared_ptr<DialogWindow> keep = self != windows.end() ? self->second : nullptr;
    window.gone = true;
    // Pages and owned windows go first, as the system would take them with their parent anyway.
    for (bool found = true; found;) {
        found = false;
        for (auto& [other, record] : windows) {
            if (!record->gone && record->parent == window.dialog) {
                Forget(*record, true);
                found = true;
                break;
            }
        }
    }
    queue.Close(window.dialog);
    if (window.modal && !window.ended) {
        window.ended = true;
        window.result = kIdCancel;
    }
    window.dialog->HandleDestroy();

    if (window.deviceNotify) UnregisterDeviceNotification(window.deviceNotify);
    window.deviceNotify = nullptr;
    HWND capture = GetCapture();
    if (capture && (capture == window.hwnd || IsChild(window.hwnd, capture))) {
        window.releasingCapture = true;
        ReleaseCapture();
    }
    if (destroyWindow && window.hwnd && IsWindow(window.hwnd)) {
        // Detached first: nothing the system sends while it takes the window down reaches the model.
        SetWindowLongPtrW(window.hwnd, GWLP_USERDATA, 0);
        RemovePropW(window.hwnd, kPausedMsProperty);
        DestroyWindow(window.hwnd);
    }
    const HWND closed = window.hwnd;
    window.hwnd = nullptr;
    window.controls.clear();
    window.surface.Reset();
    window.patternBrushes.clear();
    // The skin's bitmaps only this window drew are not kept for a window that may never open again.
    bitmaps->ReleaseUser(closed);
    window.solidBrushes.clear();
    window.icons->Clear();
    window.paint.fonts->Clear();
    windows.erase(window.dialog);
}

int Win32Host::RunModal(CDialog& dialog, CDialog* owner) {
    if (Find(dialog)) return kModalFailed;
    // Run from a timer's handling: what it asked to repaint so far shows now, and repaints asked
    // during the run go through the system as usual (the handling ends only after it).
    struct TimerHandlingPaused {
        explicit TimerHandlingPaused(int& depth) : depth(depth), saved(std::exchange(depth, 0)) {}
        ~TimerHandlingPaused() { depth = saved; }
        int& depth;
        int saved;
    } paused(timerDepth);
    RepaintTickControls();
    if (CreateDialogWindow(dialog, owner) != 0) return kModalFailed;
    auto it = windows.find(&dialog);
    if (it == windows.end()) return kIdCancel;  // destroyed during its own initialisation
    std::shared_ptr<DialogWindow> record = it->second;
    record->modal = true;

    HWND ownerWindow = record->hwnd ? GetWindow(record->hwnd, GW_OWNER) : nullptr;
    const bool disableOwner = ownerWindow && IsWindowEnabled(ownerWindow);
    if (disableOwner) EnableWindow(ownerWindow, FALSE);

    MSG msg;
    while (!record->ended && !record->gone) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // WM_QUIT ends this run and is passed on to the loop outside it.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled again before the dialog goes, so the activation returns to it.
    if (disableOwner) EnableWindow(ownerWindow, TRUE);
    const int result = record->ended ? record->result : kIdCancel;
    if (!record->gone) Forget(*record, true);
    return result;
}

void Win32Host::EndModal(CDialog& dialog, int result) {
    DialogWindow* record = Find(dialog);
    if (!record || !record->modal || record->ended) return;
    record->ended = true;
    record->result = result;
    // A nudge, in case the loop is waiting in GetMessage with nothing else to come.
    PostMessageW(queueWindow, WM_NULL, 0, 0);
}

void Win32Host::PlaceFirstTime(DialogWindow& window) {
    window.placed = true;
    if (GetWindowLongPtrW(window.hwnd, GWL_STYLE) & WS_CHILD) return;
    RECT r{};
    GetWindowRect(window.hwnd, &r);
    // A popup the model never placed opens centred over its owner (or the work area), as dialogs do.
    if (r.left != 0 || r.top != 0) return;
    RECT around{};
    HWND owner = GetWindow(window.hwnd, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &around)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    // Kept inside the work area of the owner's monitor, as the system keeps its dialogs: centred over
    // a window at the screen's edge, a message would be cut off there.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = x + width > work.right ? work.right - width : x;
        y = y + height > work.bottom ? work.bottom - height : y;
        x = x < work.left ? work.left : x;
        y = y < work.top ? work.top : y;
    }
    SetWindowPos(window.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Host::ApplyVisibility(DialogWindow& window) {
    const DialogState& state = window.dialog->Window();
    if (window.initialising || (window.modal && window.ended)) return;
    const bool shown = IsWindowVisible(window.hwnd) != FALSE;
    if (!state.visible) {
        if (shown) ShowWindow(window.hwnd, SW_HIDE);
        return;
    }
    if (!window.shapeApplied) ApplyShape(window);
    RealiseControls(window);
    if (!window.placed) PlaceFirstTime(window);
    if (state.minimised) {
        if (!IsIconic(window.hwnd)) ShowWindow(window.hwnd, SW_MINIMIZE);
    } else if (IsIconic(window.hwnd)) {
        ShowWindow(window.hwnd, SW_RESTORE);
    } else if (!shown) {
        if (GetWindowLongPtrW(window.hwnd, GWL_STYLE) & WS_CHILD) {
            ShowWindow(window.hwnd, SW_SHOW);
        } else {
            ShowPopup(window.hwnd);
        }
    }
}

void Win32Host::ApplyShape(DialogWindow& window) {
    window.shapeApplied = true;
    const BitmapStore::UserScope use(*bitmaps, window.hwnd);
    ApplyWindowShape(window.hwnd, window.shapeBitmap != 0 ? bitmaps->Get(window.shapeBitmap) : nullptr);
}

void Win32Host::ReportWindowMoved(DialogWindow& window) {
    if (window.initialising || IsIconic(window.hwnd)) return;
    RECT r{};
    GetWindowRect(window.hwnd, &r);
    if (GetWindowLongPtrW(window.hwnd, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(window.hwnd), reinterpret_cast<POINT*>(&r), 2);
    }
    window.dialog->HandleWindowMoved(RectOf(r));
}

bool Win32Host::PreTranslateMessage(MSG& msg) {
    if (msg.hwnd == nullptr && msg.message == kMsgRunPosted) {
        queue.RunPending();
        return true;
    }
    if (msg.message != WM_KEYDOWN) return false;
    const Target target = TargetOf(msg.hwnd);
    if (!target.window || target.window->host != this) return false;
    CDialog& dialog = *target.window->dialog;
    const Key key = KeyFromVirtualKey(msg.wParam);
    const CWndControl* control = dialog.FindControl(target.id);
    // A control that wants every key still lets Tab through while it is held.
    const bool tabHeld = GetKeyState(VK_TAB) < 0;
    if (!(control && control->WantsAllKeys() && tabHeld) && dialog.HandleKey(target.id, key)) return true;
    if (key == Key::Tab) {
        const Target again = TargetOf(msg.hwnd);
        return again.window && NavigateTab(again);
    }
    return false;
}

bool Win32Host::NavigateTab(const Target& target) {
    HWND root = GetAncestor(target.window->hwnd, GA_ROOT);
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    HWND next = GetNextDlgTabItem(root, GetFocus(), backwards);
    if (!next) return false;
    ::SetFocus(next);
    return true;
}

int Win32Host::RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return int(msg.wParam);
}
