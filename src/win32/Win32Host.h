#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/ControlState.h"
#include "ui/UiHost.h"
#include "win32/BitmapStore.h"
#include "win32/GdiCanvas.h"
#include "win32/GdiObjects.h"
#include "win32/PostQueue.h"

struct DialogWindow;

// An off-screen surface kept for painting controls, and whether a paint is using it.
struct ControlBuffer {
    MemorySurface surface;
    bool busy = false;
};

// The UI model made real: every dialog becomes a window of its own class (a popup owned by its
// parent, or a child for a page), every control a child window under the model's id (owner-drawn
// BUTTON, the slider class, owner-drawn STATIC for labels and pictures, EDIT, COMBOBOX, the
// owner-drawn class), so GetDlgItem, BM_CLICK and WM_COMMAND work as on any Windows program. The
// system's messages become the dialog's Handle* calls; painting is GDI, double-buffered, from the
// skin's bitmap resources and the icon files in "<exe dir>\Resources\". One host per UI thread;
// every call but PostToUi belongs on that thread.
class Win32Host : public UiHost {
public:
    // `module` holds the bitmap resources (the executable when nullptr).
    explicit Win32Host(HINSTANCE module = nullptr);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // Folder the button icons are loaded from, with a trailing backslash; applies to windows created
    // afterwards.
    void SetIconFolder(std::wstring folder) { iconFolder = std::move(folder); }
    const std::wstring& IconFolder() const { return iconFolder; }
    // Frees now the decoded skin bitmaps the store would free once nothing has drawn them for a
    // while (they are decoded again when drawn): readings of a long run compare the same state.
    void TrimSkinCache() { bitmaps->Sweep(GetTickCount() + BitmapStore::kUnusedMs); }
    size_t SkinBitmapsHeld() const { return bitmaps->Loaded(); }

    // Takes the copy-data messages other programs send to the host's windows: the dialog, the
    // sender's tag and bytes (valid only during the call); the result goes back to the sender.
    using CopyDataHandler = std::function<intptr_t(CDialog&, uint32_t tag, std::string_view bytes)>;
    void SetCopyDataHandler(CopyDataHandler handler) { copyDataHandler = std::move(handler); }

    HWND WindowOf(const CDialog& dialog) const;
    HWND ControlWindowOf(const CDialog& dialog, int id) const;
    // The dialog whose window (not control) this is, or nullptr.
    CDialog* DialogOf(HWND window) const;

    // Gives the model the keys of the host's windows before the system sees them (dialog keys, keys
    // a slider wants, Tab between controls). A program with a message loop of its own calls it for
    // every message and dispatches only when it answers false.
    bool PreTranslateMessage(MSG& msg);
    // A message loop for modeless programs; returns the exit code given to PostQuitMessage.
    int RunMessageLoop();

    // UiHost.
    int CreateDialogWindow(CDialog& dialog, CDialog* parent) override;
    void DestroyDialogWindow(CDialog& dialog) override;
    int RunModal(CDialog& dialog, CDialog* owner) override;
    void EndModal(CDialog& dialog, int result) override;
    void SyncControl(CDialog& dialog, int id) override;
    void SyncWindow(CDialog& dialog) override;
    void MoveWindow(CDialog& dialog, const Rect& rect) override;
    int SetOpacity(CDialog& dialog, int percent) override;
    void ActivateWindow(CDialog& dialog) override;
    void StartWindowMove(CDialog& dialog) override;
    void Invalidate(CDialog& dialog, int id) override;
    std::unique_ptr<Canvas> BeginDraw(CDialog& dialog, int id) override;
    std::unique_ptr<Canvas> DialogPicture(const CDialog& dialog) override;
    Size BitmapSize(int resourceId) override;
    void StartTimer(CDialog& dialog, int controlId, int timerId, uint32_t intervalMs) override;
    void StopTimer(CDialog& dialog, int controlId, int timerId) override;
    void PostDialogMessage(CDialog& dialog, uint32_t msg, intptr_t wParam, intptr_t lParam) override;
    void PostToUi(CDialog& dialog, std::function<void()> work) override;
    void SetFocus(CDialog& dialog, int id) override;
    void CaptureMouse(CDialog& dialog, int id) override;
    void ReleaseMouse(CDialog& dialog) override;
    bool HasCapture(const CDialog& dialog, int id) const override;
    void TrackMouseLeave(CDialog& dialog, int id) override;
    void SetCursor(CDialog& dialog, CursorShape cursor) override;
    int WatchDeviceChanges(CDialog& dialog, bool on) override;

private:
    struct Target {
        DialogWindow* window = nullptr;
        int id = 0;
    };

    static LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SkinControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR subclassId, DWORD_PTR refData);
    static LRESULT CALLBACK QueueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void RegisterClasses(HINSTANCE instance);
    // Lets the model see a system control's mouse and focus.
    static void SubclassControl(HWND control);

    // Lookups.
    DialogWindow* Find(const CDialog& dialog) const;
    static DialogWindow* RecordOf(HWND dialogWindow);
    static Target TargetOf(HWND window);

    // Window life (Win32Host.cpp).
    void Forget(DialogWindow& window, bool destroyWindow);
    void ApplyVisibility(DialogWindow& window);
    void ApplyShape(DialogWindow& window);
    void PlaceFirstTime(DialogWindow& window);
    void ReportWindowMoved(DialogWindow& window);

    // Message handling (HostDialogProc.cpp, HostControlProc.cpp).
    LRESULT OnDialogMessage(DialogWindow& window, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(DialogWindow& window, WPARAM wParam, LPARAM lParam);
    void OnTimerMessage(DialogWindow& window, UINT_PTR event);
    void OnActivate(DialogWindow& window, WPARAM wParam);
    bool OnSetCursor(DialogWindow& window, LPARAM lParam);
    static void RouteMouse(HWND window, UINT msg, LPARAM lParam);
    static void ReportFocus(HWND window, bool gained, HWND other);
    static void OnCaptureLost(HWND control, HWND newCapture);
    bool NavigateTab(const Target& target);

    // Controls (HostControls.cpp).
    void CreateControlWindow(DialogWindow& window, const ControlState& state);
    void ApplyControlState(DialogWindow& window, const ControlState& state);
    // Makes the control windows of a page whose windows were put off (see DialogWindow).
    void RealiseControls(DialogWindow& window);
    // The dialog's own window for id 0, else the control's (made now if its page put it off); null
    // for an unknown control (HostServices.cpp).
    HWND TargetWindow(DialogWindow& window, int id);

    // Painting (HostPaint.cpp).
    void PaintDialog(DialogWindow& window);
    // Whether the kept surface, at that client size, still shows what a render would.
    bool SurfaceUpToDate(DialogWindow& window, Size size);
    bool RenderSurface(DialogWindow& window);
    // Whether the kept surface shows the dialog, rendering it first when it no longer does.
    bool EnsureSurface(DialogWindow& window);
    void CopyBackground(DialogWindow& window, HDC target, const Rect& area);
    void PaintBackground(DialogWindow& window, HDC dc, Size size);
    void DrawItem(DialogWindow& window, const DRAWITEMSTRUCT& item);
    void PaintSkinControl(HWND control);
    // Draws a control of the host's own classes (slider, owner-drawn) onto a DC of its window.
    void DrawSkinControl(HWND control, HDC dc);
    // Asks for a control's repaint: while a timer is handled, a slider's, label's or owner-drawn one's is
    // kept for the handling's end; others go to the system (an edit erasing its background).
    void RepaintControl(HWND control, ControlKind kind);
    // Draws the controls a timer's handling asked to repaint, straight onto their windows.
    void RepaintTickControls();
    HBRUSH EditColors(DialogWindow& window, HDC dc, HWND control);

    HINSTANCE module;
    std::shared_ptr<BitmapStore> bitmaps;
    // The off-screen surface controls paint through, kept between paints (HostPaint.cpp).
    ControlBuffer controlBuffer;
    // While a timer is handled (depth above 0), a repaint asked of a slider or an owner-drawn control
    // is drawn as the handling ends, straight onto its window, instead of through the message queue:
    // a tick that changes several charts and dials costs one screen update each, not a paint cycle.
    int timerDepth = 0;
    struct TickRepaint {
        HWND control;
        ControlKind kind;
    };
    std::vector<TickRepaint> tickRepaints;
    // Surfaces of the off-screen canvases the windows' drawing makes, kept for the next of that size.
    std::shared_ptr<SurfacePool> surfaces = std::make_shared<SurfacePool>();
    std::wstring iconFolder;
    CopyDataHandler copyDataHandler;
    DWORD uiThread;
    PostQueue queue;
    HWND queueWindow = nullptr;
    std::map<const CDialog*, std::shared_ptr<DialogWindow>> windows;
};
