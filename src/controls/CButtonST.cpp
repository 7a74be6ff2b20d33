#include "controls/CButtonST.h"

#include "ui/CDialog.h"

CButtonST::CButtonST(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::Button, rect) {}

void CButtonST::SetIcons(std::string normal, std::string hover) {
    MutableState().iconNormal = std::move(normal);
    MutableState().iconHover = std::move(hover);
    Sync();
}

void CButtonST::SetDisabledIcon(std::string icon) {
    MutableState().iconDisabled = std::move(icon);
    Sync();
}

void CButtonST::SetFlat(bool flat) {
    MutableState().flat = flat;
    Sync();
}

bool CButtonST::OnMouse(const MouseEvent& event) {
    if (event.action == MouseAction::Leave) {
        if (State().hover) {
            MutableState().hover = false;
            Sync();
        }
        return true;
    }
    if (event.action == MouseAction::Move && !State().hover && State().enabled) {
        MutableState().hover = true;
        Sync();
        if (Dialog().IsWindowCreated()) Dialog().Host().TrackMouseLeave(Dialog(), Id());
        return true;
    }
    return false;
}
