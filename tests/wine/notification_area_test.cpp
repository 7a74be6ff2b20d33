// The main window's notification icon with the real host and the system's notification area: needs
// real windows, so the test runner starts this program on the virtual display.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cwchar>

#include "app/CCoralvaneDlg.h"
#include "app/config_test_support.h"
#include "sim/SimDriver.h"
#include "win32/Win32Host.h"
#include "win32/Win32NotificationArea.h"

namespace {

// Whether the notification area holds the icon: the shell takes an update only for an icon it has.
bool IconShown(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 128;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Coralvane");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The real notification area, noting what each removal achieved while the window still existed.
class WatchedNotificationArea : public Win32NotificationArea {
public:
    WatchedNotificationArea(std::function<HWND()> owner, std::function<HWND()> window)
        : Win32NotificationArea(owner), windowOf(std::move(window)) {}
    int RemoveIcon(const NotifyIconRecord& record) override {
        ++removals;
        removed = Win32NotificationArea::RemoveIcon(record);
        shownAfterRemoval = IconShown(windowOf());
        return removed;
    }
    std::function<HWND()> windowOf;
    int removals = 0;
    int removed = -1;
    bool shownAfterRemoval = true;
};

TEST(NotificationArea, TheMainWindowTakenDownWhileHiddenTakesItsIconAlong) {
    Win32Host host;
    TempFolder dir;
    FixedProgramFolder folder(dir.Path());
    SimDriver sim;
    CCoralvaneDlg* main = nullptr;
    HWND window = nullptr;
    WatchedNotificationArea area([&]() -> HWND { return main ? host.WindowOf(*main) : nullptr; },
                                 [&] { return window; });
    CoralvaneServices services(host, folder, sim.QueryInterface());
    services.notificationArea = &area;
    services.setAutorun = [] { return 0; };
    CCoralvaneDlg dialog(services);
    main = &dialog;
    ASSERT_EQ(dialog.Create(), 0);
    dialog.ShowWindow(ShowCommand::Show);
    window = host.WindowOf(dialog);
    ASSERT_NE(window, nullptr);

    dialog.MinimiseToTray();
    ASSERT_TRUE(dialog.InNotificationArea()) << "the notification area took no icon";
    EXPECT_TRUE(IconShown(window));
    EXPECT_FALSE(IsWindowVisible(window));

    // As "exit" from the icon's menu does: the window goes while hidden.
    dialog.DestroyWindow();
    EXPECT_EQ(area.removals, 1);
    EXPECT_EQ(area.removed, 0) << "the removal never reached the notification area";
    EXPECT_FALSE(area.shownAfterRemoval) << "the icon stayed";
}

}  // namespace
