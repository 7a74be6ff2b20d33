#include "controls/CBkDialogST.h"

CBkDialogST::CBkDialogST(UiHost& host, int templateId) : CDialog(host, templateId) {}

void CBkDialogST::SetBitmap(int resourceId) {
    MutableWindow().backgroundBitmap = resourceId;
    MutableWindow().backgroundTiled = true;
    backgroundSize = resourceId != 0 ? Host().BitmapSize(resourceId) : Size{};
    SyncWindow();
    Invalidate();
}

void CBkDialogST::SetEasyMove(bool on) {
    MutableWindow().easyMove = on;
}

void CBkDialogST::SetTransparentStatics(bool on) {
    MutableWindow().transparentStatics = on;
    Invalidate();
}

void CBkDialogST::ShapeFromBitmap(int resourceId) {
    MutableWindow().shapeBitmap = resourceId;
    SyncWindow();
}

bool CBkDialogST::PreTranslateKey(Key key) {
    return !keepDialogKeys && (key == Key::Enter || key == Key::Escape);
}

void CBkDialogST::OnMouse(const MouseEvent& event) {
    // A quick second press arrives as a double click; it must move the window just the same.
    const bool pressed = event.action == MouseAction::Down || event.action == MouseAction::DoubleClick;
    if (Window().easyMove && pressed && event.button == MouseButton::Left && IsWindowCreated()) {
        Host().StartWindowMove(*this);
    }
}
