#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Automation.h"

namespace {

constexpr int kCloseButton = 1003;
constexpr int kSideDrop = 59;

// Information window.
constexpr int kInfoClose = 1179;
constexpr int kInfoName = 1180;
constexpr int kInfoDriver = 1181;
constexpr int kInfoMemory = 1184;

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The side window's right edge on the main window's left edge, 59 pixels below its top.
::testing::AssertionResult Docked(HWND main, HWND side) {
    const RECT m = WindowRect(main);
    const RECT s = WindowRect(side);
    if (s.right == m.left && s.top == m.top + kSideDrop) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "side window at " << s.left << "," << s.top << "-" << s.right
                                         << "; main window at " << m.left << "," << m.top;
}

class SideWindowsE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    HWND Start() {
        DeleteFileW(config.c_str());
        program = e2e::Launch(exe, L"", {});
        if (!program.process) return nullptr;
        return e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    }

    HWND WaitShown(const std::wstring& title) { return e2e::WaitForWindow(program.pid, title, 5000); }

    // Moves the main window and checks that the open side window follows it.
    void MoveMainAndCheck(HWND main, HWND side, int x, int y) {
        SetWindowPos(main, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(e2e::WaitUntil([&] { return bool(Docked(main, side)); }, 3000)) << Docked(main, side);
    }

    void CloseWith(HWND side, int closeId) {
        ASSERT_TRUE(e2e::Click(side, closeId));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(side); }, 3000));
    }

    void End(HWND main) {
        ASSERT_TRUE(e2e::Click(main, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring config = e2e::BuildDir() + L"src\\Coralvane_DID1B80.cfg";
    e2e::Launched program;
};

TEST_F(SideWindowsE2e, VersionLabelOpensTheDockedInformationWindow) {
    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    SetWindowPos(main, nullptr, 400, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // The label lets the mouse through to the window, which opens the information window.
    PostMessageW(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 90));
    PostMessageW(main, WM_RBUTTONUP, 0, MAKELPARAM(60, 90));
    HWND info = WaitShown(L"GPU Information");
    ASSERT_NE(info, nullptr) << "no information window";
    EXPECT_TRUE(Docked(main, info));
    EXPECT_EQ(e2e::TextOf(info, kInfoName), L"GeForce GTX 1080");
    EXPECT_EQ(e2e::TextOf(info, kInfoDriver), L"ForceWare 411.30");
    EXPECT_EQ(e2e::TextOf(info, kInfoMemory), L"8192 MB GDDR5X  Micron");
    MoveMainAndCheck(main, info, 420, 80);
    Sleep(300);
    EXPECT_TRUE(e2e::Screenshot(info, L"info-window-" + e2e::Bitness() + L".bmp"));
    CloseWith(info, kInfoClose);
    End(main);
}

}  // namespace
