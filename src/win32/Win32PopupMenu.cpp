#include "win32/Win32PopupMenu.h"

#include "win32/TextConvert.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

int Win32PopupMenu::Track(CDialog& owner, Point clientPoint, const std::vector<PopupMenuItem>& items) {
    HWND window = host.WindowOf(owner);
    if (!window || items.empty()) return 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (const PopupMenuItem& item : items) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), Utf8ToWide(item.text).c_str());
    }
    POINT at{clientPoint.x, clientPoint.y};
    ClientToScreen(window, &at);
    SetForegroundWindow(window);
    const int command = static_cast<int>(
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
    DestroyMenu(menu);
    // Without a message to the owner the menu would not close when the user clicks elsewhere.
    PostMessageW(window, WM_NULL, 0, 0);
    return command;
}
