#include "controls/CLabel.h"

#include "ui/CDialog.h"

CLabel::CLabel(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::Label, rect) {
    MutableState().ownColors = true;
}

CLabel& CLabel::SetText(std::string text) {
    MutableState().text = std::move(text);
    Sync();
    Invalidate();
    return *this;
}

CLabel& CLabel::SetTextColor(Color color) {
    MutableState().textColor = color;
    Sync();
    return *this;
}

CLabel& CLabel::SetBkColor(Color color) {
    MutableState().backColor = color;
    Sync();
    return *this;
}

CLabel& CLabel::SetTransparent(bool transparent) {
    MutableState().transparentBackground = transparent;
    Sync();
    Invalidate();
    return *this;
}

CLabel& CLabel::SetFontName(std::string face) {
    MutableState().font.face = std::move(face);
    Sync();
    return *this;
}

CLabel& CLabel::SetFontSize(int height) {
    MutableState().font.height = height;
    MutableState().font.pointTenths = 0;
    Sync();
    return *this;
}

CLabel& CLabel::SetFontWeight(int weight) {
    MutableState().font.weight = weight;
    Sync();
    return *this;
}
