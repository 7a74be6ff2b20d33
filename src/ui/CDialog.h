#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/CWndControl.h"
#include "ui/Canvas.h"
#include "ui/ControlState.h"
#include "ui/UiHost.h"
#include "ui/UiTypes.h"

// Window-level state of a dialog as the host shows it.
struct DialogState {
    int templateId = 0;
    std::string title;
    bool childStyle = false;  // a page inside its parent rather than a popup owned by it
    Rect rect;                // screen pixels for a popup, parent client pixels for a child
    bool visible = false;
    bool minimised = false;
    bool topmost = false;
    int backgroundBitmap = 0;  // drawn on erase
    bool backgroundTiled = true;
    int shapeBitmap = 0;  // window region: the bitmap minus the shape key colour
    bool easyMove = false;
    bool transparentStatics = true;
    int opacityPercent = -1;  // -1: not layered
    int focusId = 0;          // control with the keyboard focus; 0 the dialog, kFocusElsewhere none
};

// A dialog of the product: portable, owns its controls by id, reacts to events through the On*
// hooks. Subclasses add their controls in the constructor or in OnInitDialog and change them only
// through the setters here (or the control kit's), which keep the host in step.
class CDialog {
public:
    CDialog(UiHost& host, int templateId);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Modeless window; 0 on success. `parent` is the parent of a child-style dialog, else the owner.
    int Create(CDialog* parent = nullptr);
    // Runs modally and returns what EndDialog was given (kModalFailed if the window could not run).
    int DoModal(CDialog* owner = nullptr);
    void DestroyWindow();
    // Modal: ends the run with `result`. Modeless: hides the window and keeps `result`.
    void EndDialog(int result);
    bool IsWindowCreated() const { return created; }
    bool IsModal() const { return modal; }
    int Result() const { return result; }
    CDialog* Parent() const { return parent; }
    UiHost& Host() const { return host; }

    // Controls.
    CWndControl& AddControl(int id, ControlKind kind, const Rect& rect);
    template <class T, class... Args>
    T& Add(int id, const Rect& rect, Args&&... args) {
        auto control = std::make_unique<T>(*this, id, rect, std::forward<Args>(args)...);
        T& ref = *control;
        Insert(std::move(control));
        return ref;
    }
    bool HasControl(int id) const { return controls.count(id) != 0; }
    // The state of control `id`; an unknown id gives an empty state of kind None.
    const ControlState& Control(int id) const;
    CWndControl* FindControl(int id);
    template <class T>
    T* ControlAs(int id) {
        return dynamic_cast<T*>(FindControl(id));
    }
    std::vector<int> ControlIds() const;

    // Setters for any control; unknown ids are ignored.
    void SetItemText(int id, std::string text);
    std::string GetItemText(int id) const;
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    void MoveItem(int id, const Rect& rect);
    void SetItemIcons(int id, std::string normal, std::string hover, std::string disabled = {});
    void SetItemFont(int id, const FontSpec& font);
    void SetItemTextColor(int id, Color color);
    void SetItemBitmap(int id, int resourceId);
    void SetComboItems(int id, std::vector<std::string> items, int selection);
    void SetComboSelection(int id, int selection);
    // Any other attribute: `change` edits the state, the host is told once.
    void ModifyItem(int id, const std::function<void(ControlState&)>& change);
    void Invalidate(int id = 0);

    // The dialog window.
    const DialogState& Window() const { return window; }
    void SetTitle(std::string title);
    void MoveWindow(const Rect& rect);
    void SetWindowSize(int width, int height);  // keeps the position
    void ShowWindow(ShowCommand command);
    void SetTopmost(bool topmost);
    void ActivateWindow();
    // Opacity in percent through the host; -1 makes the window opaque again. 0 when applied.
    int SetOpacity(int percent);
    void SetFocus(int id = 0);
    int FocusId() const { return window.focusId; }
    void SetTimer(int timerId, uint32_t intervalMs);
    void KillTimer(int timerId);
    void PostDialogMessage(uint32_t msg, intptr_t wParam, intptr_t lParam);
    // Work for the UI thread; the only way a worker thread may reach this dialog.
    void PostToUi(std::function<void()> work);
    void CaptureMouse(int id = 0);
    void ReleaseMouse();
    bool HasCapture(int id = 0) const;
    void SetCursor(CursorShape cursor);
    std::unique_ptr<Canvas> BeginDraw(int id = 0);
    // What shows through a see-through control (UiHost::DialogPicture); nullptr when not kept.
    std::unique_ptr<Canvas> Picture() const;

    // Entry points for hosts: the system's events, on the UI thread.
    void HandleInitDialog();
    void HandleDestroy();
    void HandleCommand(int id);
    // A key pressed while control `focusId` (0: the dialog) has the focus. True when the model
    // consumed it; otherwise the host does the system's default (typing, Tab navigation).
    bool HandleKey(int focusId, Key key);
    void HandleMouse(int controlId, const MouseEvent& event);
    void HandleTimer(int controlId, int timerId);
    void HandleMessage(uint32_t msg, intptr_t wParam, intptr_t lParam);
    void HandleFocusChanged(int newFocusId);
    // The user changed an edit's text (the model's copy follows; nothing is sent back).
    void HandleEditChanged(int id, std::string text);
    void HandleSelectionChanged(int id, int index);
    void HandlePaint(int controlId, Canvas& canvas);
    void HandleDeviceChange(uint32_t event, uint32_t deviceType);
    void HandleWindowMoved(const Rect& rect);
    void HandleClose();

protected:
    virtual void OnInitDialog() {}
    virtual void OnDestroy() {}
    virtual void OnCommand(int id);
    virtual void OnOK();
    virtual void OnCancel();
    // Seen after the focused control and before the standard dialog keys; true swallows the key.
    virtual bool PreTranslateKey(Key key);
    // Both slider notifications (kMsgSliderMoving, kMsgSliderMoved) for slider `id`.
    virtual void OnSliderNotify(uint32_t msg, int id, int position);
    // An edit lost the focus: the moment its value is taken.
    virtual void OnEditCommit(int id);
    virtual void OnEditChanged(int id);
    virtual void OnSelectionChanged(int id);
    virtual void OnTimer(int timerId);
    // Mouse on the dialog's own surface (not on a control).
    virtual void OnMouse(const MouseEvent& event);
    // Drawing on top of the skin background.
    virtual void OnPaint(Canvas& canvas);
    virtual void OnMessage(uint32_t msg, intptr_t wParam, intptr_t lParam);
    virtual void OnDeviceChange(uint32_t event, uint32_t deviceType);
    virtual void OnWindowMoved();
    virtual void OnClose();

    DialogState& MutableWindow() { return window; }
    void SyncWindow();

private:
    void Insert(std::unique_ptr<CWndControl> control);

    UiHost& host;
    DialogState window;
    std::map<int, std::unique_ptr<CWndControl>> controls;
    CDialog* parent = nullptr;
    bool created = false;
    bool modal = false;
    bool ended = false;
    int result = 0;
};
