#pragma once
#include <windows.h>

#include <functional>

#include "platform/NotificationArea.h"

// The notification-area icon and its menu for one owner window, found when needed (the window
// does not exist yet when this object is made).
class Win32NotificationArea : public NotificationArea {
public:
    explicit Win32NotificationArea(std::function<HWND()> ownerWindow) : owner(std::move(ownerWindow)) {}

    int AddIcon(const NotifyIconRecord& record) override;
    int RemoveIcon(const NotifyIconRecord& record) override;
    int TrackPopupMenuAtCursor(int menuId) override;

private:
    std::function<HWND()> owner;
    // The window the icon was added for. The removal goes to it: while its dialog is taken down
    // (the program ending from the hidden state) the host no longer names it as the owner.
    HWND iconWindow = nullptr;
};
