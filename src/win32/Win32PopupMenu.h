#pragma once
#include "ui/PopupMenu.h"

class Win32Host;

// The system's popup menu, built from the items each time, owned by the dialog's window and
// tracked until the user chooses.
class Win32PopupMenu : public PopupMenu {
public:
    explicit Win32PopupMenu(Win32Host& host) : host(host) {}
    int Track(CDialog& owner, Point clientPoint, const std::vector<PopupMenuItem>& items) override;

private:
    Win32Host& host;
};
