#pragma once
#include <cstdint>

#include "ui/Canvas.h"
#include "ui/ControlState.h"
#include "ui/UiTypes.h"

class CDialog;

// A control owned by a dialog under its id: its state plus the behaviour hooks the dialog routes
// input to. Plain controls (pictures, plain statics, combo boxes) use this class as it is; the
// control kit (CButtonST, CBitmapSlider, ...) and owner-drawn controls derive from it.
class CWndControl {
public:
    CWndControl(CDialog& dialog, int id, ControlKind kind, const Rect& rect);
    virtual ~CWndControl() = default;
    CWndControl(const CWndControl&) = delete;
    CWndControl& operator=(const CWndControl&) = delete;

    int Id() const { return state.id; }
    const ControlState& State() const { return state; }
    CDialog& Dialog() { return dialog; }
    const CDialog& Dialog() const { return dialog; }

    // Input routed by the dialog; true when the control consumed it. Mouse coordinates are the
    // control's own.
    virtual bool OnMouse(const MouseEvent& event);
    virtual bool OnKey(Key key);
    virtual void OnSetFocus() {}
    virtual void OnKillFocus() {}
    virtual void OnTimer(int timerId);
    // Owner drawing; the host calls it for OwnerDrawn controls.
    virtual void OnPaint(Canvas& canvas);
    // The control takes every key (arrows, Enter, Escape) while it has the focus, except while Tab
    // is held; hosts answer the system's key query with it.
    virtual bool WantsAllKeys() const { return false; }

protected:
    // Changes go through here; Sync() tells the host afterwards.
    ControlState& MutableState() { return state; }
    void Sync();
    void Invalidate();
    void SetTimer(int timerId, uint32_t intervalMs);
    void KillTimer(int timerId);
    void PostToParent(uint32_t msg, intptr_t wParam, intptr_t lParam);
    bool HasFocus() const;

private:
    friend class CDialog;
    CDialog& dialog;
    ControlState state;
};
