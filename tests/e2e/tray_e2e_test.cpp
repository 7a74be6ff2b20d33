#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kMinimiseButton = 1002;
constexpr UINT kTrayCallback = 0x0440;
constexpr UINT kTrayIconId = 128;
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

struct MenuItem {
    UINT id;
    std::wstring text;
    bool operator==(const MenuItem&) const = default;
};

std::vector<MenuItem> ItemsOf(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back({GetMenuItemID(menu, i), text});
    }
    return items;
}

class TrayE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    e2e::Launched program;
};

TEST_F(TrayE2e, RightClickOnTheIconShowsTheMenuAndExitEndsTheProgram) {
    // The menu as the executable carries it: one popup with the three commands.
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HMENU resource = LoadMenuW(image, MAKEINTRESOURCEW(129));
    ASSERT_NE(resource, nullptr) << "menu 129 is not in the program";
    const std::vector<MenuItem> expected = {
        {32771, L"打开主页(&H)"}, {32772, L"打开主界面(&O)"}, {32773, L"退出(&E)"}};
    EXPECT_EQ(ItemsOf(GetSubMenu(resource, 0)), expected);
    DestroyMenu(resource);
    FreeLibrary(image);

    program = e2e::Launch(exe, L"");
    ASSERT_NE(program.process, nullptr) << "cannot start the program";
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";

    ASSERT_TRUE(e2e::Click(main, kMinimiseButton));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    EXPECT_TRUE(e2e::NotificationIconShown(main, kTrayIconId)) << "hidden without its icon";

    HWND popup = e2e::OpenNotificationMenu(main, kTrayCallback, kTrayIconId, program.pid);
    ASSERT_NE(popup, nullptr) << "no popup menu";
    EXPECT_NE(SendMessageW(popup, kGetMenuHandle, 0, 0), 0) << "a popup without a menu";
    EXPECT_TRUE(e2e::ChooseMenuItem(popup, L'e')) << "the menu did not take its exit key";
    // (That the icon goes with the window is shown by the Win32 layer's own test: Wine's shell drops
    // the icons of a window that ends, whatever the program does.)
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0) << "exit did not end the program";
}

}  // namespace
