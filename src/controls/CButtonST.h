#pragma once
#include <string>

#include "ui/CWndControl.h"

// Owner-drawn icon button: a normal and a hover icon (either may be the same file), flat by
// default. The click reaches the dialog as its command.
class CButtonST : public CWndControl {
public:
    CButtonST(CDialog& dialog, int id, const Rect& rect);

    void SetIcons(std::string normal, std::string hover);
    void SetIcon(std::string both) { SetIcons(both, both); }
    void SetDisabledIcon(std::string icon);
    void SetFlat(bool flat);
    bool IsHovering() const { return State().hover; }

    bool OnMouse(const MouseEvent& event) override;
};
