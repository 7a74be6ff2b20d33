#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "ui/Canvas.h"
#include "ui/UiTypes.h"

class CDialog;

// What a window system does for the UI model. The model calls these after changing its state; the
// host turns the system's input back into the dialog's Handle* calls (see CDialog). Every call
// happens on the UI thread except PostToUi, which any thread may call. Status results: 0 success.
class UiHost {
public:
    virtual ~UiHost() = default;

    // Creates the dialog's window (a child of `parent` when the dialog has the child style, else a
    // popup owned by it), creates every control the model holds, then calls dialog.HandleInitDialog().
    virtual int CreateDialogWindow(CDialog& dialog, CDialog* parent) = 0;
    // Calls dialog.HandleDestroy(), then destroys the window; drops the dialog's timers, posted
    // messages and posted work.
    virtual void DestroyDialogWindow(CDialog& dialog) = 0;
    // Creates the window as CreateDialogWindow does, runs until EndModal, destroys the window and
    // returns the result given to EndModal (kModalFailed when the window could not be made).
    virtual int RunModal(CDialog& dialog, CDialog* owner) = 0;
    virtual void EndModal(CDialog& dialog, int result) = 0;

    // Brings the window of control `id` in step with dialog.Control(id), creating it the first time
    // the id is seen (controls may be added during initialisation).
    virtual void SyncControl(CDialog& dialog, int id) = 0;
    // Brings the dialog window in step with dialog.Window(): visibility, minimised, topmost,
    // background and shape bitmaps, title.
    virtual void SyncWindow(CDialog& dialog) = 0;
    // Window rectangle: screen pixels for a popup, parent client pixels for a child.
    virtual void MoveWindow(CDialog& dialog, const Rect& rect) = 0;
    // Layered-window opacity: alpha = AlphaForPercent(percent), applied through the system function
    // looked up at run time; percent < 0 removes the layered style. 1 when the system lacks it.
    virtual int SetOpacity(CDialog& dialog, int percent) = 0;
    virtual void ActivateWindow(CDialog& dialog) = 0;
    // The system's window move, as if the caption had been pressed (easy move).
    virtual void StartWindowMove(CDialog& dialog) = 0;

    // Repaints control `id` (0: the whole dialog) with the parent's background under it.
    virtual void Invalidate(CDialog& dialog, int id) = 0;
    // Draws on control `id` (0: the dialog) right now, outside a paint cycle.
    virtual std::unique_ptr<Canvas> BeginDraw(CDialog& dialog, int id) = 0;
    // The dialog's own picture (its background and its own drawing, what shows through its
    // see-through controls) where the host keeps one; nullptr where it does not, and a control then
    // draws the background bitmap itself.
    virtual std::unique_ptr<Canvas> DialogPicture(const CDialog&) { return nullptr; }
    virtual Size BitmapSize(int resourceId) = 0;

    // Timers belong to the dialog (controlId 0) or to one of its controls.
    virtual void StartTimer(CDialog& dialog, int controlId, int timerId, uint32_t intervalMs) = 0;
    virtual void StopTimer(CDialog& dialog, int controlId, int timerId) = 0;

    // Queues dialog.HandleMessage(msg, wParam, lParam) for the UI thread.
    virtual void PostDialogMessage(CDialog& dialog, uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
    // Queues work for the UI thread; callable from any thread. Dropped if the dialog is destroyed
    // before it runs.
    virtual void PostToUi(CDialog& dialog, std::function<void()> work) = 0;

    // Keyboard focus to control `id` (0: the dialog itself). The host reports the change back
    // through dialog.HandleFocusChanged, also when the system moves the focus on its own.
    virtual void SetFocus(CDialog& dialog, int id) = 0;
    virtual void CaptureMouse(CDialog& dialog, int id) = 0;
    virtual void ReleaseMouse(CDialog& dialog) = 0;
    virtual bool HasCapture(const CDialog& dialog, int id) const = 0;
    // One MouseAction::Leave for control `id` (0: the dialog) when the pointer next leaves it.
    virtual void TrackMouseLeave(CDialog& dialog, int id) = 0;
    virtual void SetCursor(CDialog& dialog, CursorShape cursor) = 0;

    // Device-interface arrival and removal notifications for the dialog (HID accessory unplugging).
    virtual int WatchDeviceChanges(CDialog& dialog, bool on) = 0;
};

// Layered-window alpha for an opacity in percent: percent × 255 ÷ 100, kept within 0..255.
int AlphaForPercent(int percent);
