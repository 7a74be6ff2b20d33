#include "ui/CWndControl.h"

#include "ui/CDialog.h"

CWndControl::CWndControl(CDialog& owner, int id, ControlKind kind, const Rect& rect) : dialog(owner) {
    state.id = id;
    state.kind = kind;
    state.rect = rect;
}

bool CWndControl::OnMouse(const MouseEvent&) {
    return false;
}

bool CWndControl::OnKey(Key) {
    return false;
}

void CWndControl::OnTimer(int) {}

void CWndControl::OnPaint(Canvas&) {}

void CWndControl::Sync() {
    if (dialog.IsWindowCreated()) dialog.Host().SyncControl(dialog, state.id);
}

void CWndControl::Invalidate() {
    dialog.Invalidate(state.id);
}

void CWndControl::SetTimer(int timerId, uint32_t intervalMs) {
    if (dialog.IsWindowCreated()) dialog.Host().StartTimer(dialog, state.id, timerId, intervalMs);
}

void CWndControl::KillTimer(int timerId) {
    if (dialog.IsWindowCreated()) dialog.Host().StopTimer(dialog, state.id, timerId);
}

void CWndControl::PostToParent(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    dialog.PostDialogMessage(msg, wParam, lParam);
}

bool CWndControl::HasFocus() const {
    return dialog.IsWindowCreated() && dialog.FocusId() == state.id;
}
