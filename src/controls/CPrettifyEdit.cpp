#include "controls/CPrettifyEdit.h"

#include "ui/CDialog.h"

CPrettifyEdit::CPrettifyEdit(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::Edit, rect) {
    ControlState& s = MutableState();
    s.ownColors = true;
    s.font.face = "宋体";
    s.font.pointTenths = 80;
    s.textColor = 0x000000;
    s.backColor = 0xFFFFFF;
}

void CPrettifyEdit::SetLookMode(int mode) {
    MutableState().edit.lookMode = mode;
    Sync();
    Invalidate();
}

void CPrettifyEdit::SetBackgroundBitmap(int resourceId) {
    MutableState().edit.patternBitmap = resourceId;
    Sync();
    Invalidate();
}

void CPrettifyEdit::SetFontSize(int pointTenths) {
    MutableState().font.pointTenths = pointTenths;
    MutableState().font.height = 0;
    Sync();
}

void CPrettifyEdit::SetFontName(std::string face) {
    MutableState().font.face = std::move(face);
    Sync();
}

void CPrettifyEdit::SetTextColor(Color color) {
    MutableState().textColor = color;
    Sync();
}

void CPrettifyEdit::SetBkColor(Color color) {
    MutableState().backColor = color;
    Sync();
}

void CPrettifyEdit::SetDigitsOnly(bool digitsOnly) {
    MutableState().edit.digitsOnly = digitsOnly;
    Sync();
}

bool CPrettifyEdit::OnKey(Key key) {
    if (key != Key::Enter) return false;
    Dialog().SetFocus(0);
    return true;
}
