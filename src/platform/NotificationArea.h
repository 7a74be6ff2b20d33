#pragma once
#include <cstdint>
#include <string>

// The icon a window puts into the notification area while it is hidden there. The owner is the
// window the implementation was bound to; the callback message reaches that window with the
// mouse message as its second parameter. The system record's size is the implementation's: the
// full record of its bitness (956 bytes in a 32-bit program).
struct NotifyIconRecord {
    uint32_t iconId = 128;
    uint32_t flags = 7;  // message, icon and tip are valid
    uint32_t callbackMessage = 0x0440;
    int iconResource = 128;
    std::string tip = "Coralvane";  // UTF-8
};

// Mouse messages the notification area sends with the callback (the system's values).
inline constexpr uint32_t kTrayRightButtonUp = 0x0205;
inline constexpr uint32_t kTrayLeftDoubleClick = 0x0203;

// The notification area was made anew (the shell restarted, or came up after the program), so
// every icon added before is gone. The system announces it with a registered message whose number
// varies; the host hands it to the window as this message instead. The value lies in the
// application range, which the host never passes on from the system.
inline constexpr uint32_t kMsgTaskbarCreated = 0xBFFF;

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // 0 when the icon is in the notification area afterwards, 1 when it is not (no notification
    // area yet, say); the owner must not hide itself behind an icon that is not there.
    virtual int AddIcon(const NotifyIconRecord& record) = 0;
    // 0 on success; callers ignore a failed removal.
    virtual int RemoveIcon(const NotifyIconRecord& record) = 0;
    // Brings the owner window to the foreground and tracks the first popup of menu resource
    // `menuId` at the cursor; returns the chosen command id, 0 when nothing was chosen.
    virtual int TrackPopupMenuAtCursor(int menuId) = 0;
};
