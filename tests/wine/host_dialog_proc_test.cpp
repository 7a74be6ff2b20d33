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

}  // namespace
