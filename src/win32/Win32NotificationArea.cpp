#include "win32/Win32NotificationArea.h"

#include <shellapi.h>

#include <cwchar>

#include "win32/TextConvert.h"

// The full record of the system's current layout; in a 32-bit program that is the 956-byte record.
static_assert(sizeof(void*) != 4 || sizeof(NOTIFYICONDATAW) == 956);

namespace {

NOTIFYICONDATAW MakeRecord(HWND owner, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner;
    data.uID = record.iconId;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(record.iconResource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    const std::wstring tip = Utf8ToWide(record.tip);
    wcsncpy(data.szTip, tip.c_str(), std::size(data.szTip) - 1);
    return data;
}

}  // namespace

int Win32NotificationArea::AddIcon(const NotifyIconRecord& record) {
    HWND window = owner ? owner() : nullptr;
    if (!window) return 1;
    NOTIFYICONDATAW data = MakeRecord(window, record);
    // A busy shell can time out yet add the icon, and one that announced itself anew for another
    // reason may have kept it; either way an icon that takes the update is there.
    if (!Shell_NotifyIconW(NIM_ADD, &data) && !Shell_NotifyIconW(NIM_MODIFY, &data)) return 1;
    iconWindow = window;
    return 0;
}

int Win32NotificationArea::RemoveIcon(const NotifyIconRecord& record) {
    HWND window = iconWindow ? iconWindow : owner ? owner() : nullptr;
    iconWindow = nullptr;
    if (!window) return 1;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = record.iconId;
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
}

int Win32NotificationArea::TrackPopupMenuAtCursor(int menuId) {
    HWND window = owner ? owner() : nullptr;
    if (!window) return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    if (!menu) return 0;
    int command = 0;
    if (HMENU popup = GetSubMenu(menu, 0)) {
        command = static_cast<int>(
            TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr));
    }
    DestroyMenu(menu);
    // Without a message to the owner the menu would not close when the user clicks elsewhere.
    PostMessageW(window, WM_NULL, 0, 0);
    return command;
}
