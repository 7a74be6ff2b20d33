// Messages the shell broadcasts to the host's windows. These need real windows: the test runner
// starts this program on a virtual display.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/NotificationArea.h"
#include "ui/CDialog.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UiHost& host) : CDialog(host, 4242) { MoveWindow({40, 40, 200, 120}); }

    std::vector<uint32_t> messages;

protected:
    void OnMessage(uint32_t msg, intptr_t, intptr_t) override { messages.push_back(msg); }
};

TEST(HostDialogProc, TaskbarCreatedReachesTheModelAsItsOwnMessage) {
    Win32Host host;
    ProbeDialog dialog(host);
    // A dialog that cannot be made is a fault of the host under test (or a run without a display).
    ASSERT_EQ(dialog.Create(), 0);
    HWND window = host.WindowOf(dialog);
    ASSERT_NE(window, nullptr);

    SendMessageW(window, RegisterWindowMessageW(L"CoralvaneUnrelatedBroadcast"), 0, 0);
    EXPECT_TRUE(dialog.messages.empty());
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(dialog.messages, std::vector<uint32_t>{kMsgTaskbarCreated});
    dialog.DestroyWindow();
}

class UnplacedPopup : public CDialog {
public:
    explicit UnplacedPopup(UiHost& host) : CDialog(host, 4243) { MoveWindow({0, 0, 500, 222}); }
};

TEST(HostDialogProc, PopupCentredOverAnOwnerAtTheScreensEdgeStaysInsideTheWorkArea) {
    Win32Host host;
    ProbeDialog owner(host);
    if (owner.Create() != 0) GTEST_SKIP() << "no window system in this session";
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Half off the left edge of the screen, where a side window docked beside the main window can be.
    SetWindowPos(host.WindowOf(owner), nullptr, work.left - 150, work.top + 100, 200, 120, SWP_NOZORDER);
    ShowWindow(host.WindowOf(owner), SW_SHOWNA);
    UnplacedPopup popup(host);
    ASSERT_EQ(popup.Create(&owner), 0);
    popup.ShowWindow(ShowCommand::Show);
    RECT placed{};
    GetWindowRect(host.WindowOf(popup), &placed);
    EXPECT_EQ(placed.left, work.left);
    // Still centred on the owner's middle from top to bottom.
    EXPECT_EQ((placed.top + placed.bottom) / 2, work.top + 100 + 60);
    popup.DestroyWindow();
    owner.DestroyWindow();
}

}  // namespace
