#pragma once
#include <string>
#include <vector>

#include "ui/UiTypes.h"

class CDialog;

struct PopupMenuItem {
    int command = 0;
    std::string text;  // UTF-8; "&X" marks the item's key
};

// A context menu: shown at a point of a dialog's client area, it waits for the user's choice.
class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    // The chosen item's command, or 0 when the menu was dismissed or could not be shown.
    virtual int Track(CDialog& owner, Point clientPoint, const std::vector<PopupMenuItem>& items) = 0;
};
