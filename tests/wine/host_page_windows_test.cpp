// A page made hidden gets its control windows only when it is first shown (or one of them is asked
// for): what it shows then must be exactly what windows made at once would show. These need real
// windows: the test runner starts this program on a virtual display.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/CDialog.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

constexpr int kButton = 10;
constexpr int kLabel = 11;
constexpr int kEdit = 12;
constexpr int kCombo = 13;
constexpr int kLateLabel = 14;  // added during initialisation
constexpr int kAddedLater = 5;  // added after creation, with a lower id than the others

class Owner : public CDialog {
public:
    explicit Owner(UiHost& host) : CDialog(host, 4300) { MoveWindow({30, 30, 400, 300}); }
};

class Page : public CDialog {
public:
    explicit Page(UiHost& host) : CDialog(host, 4301) {
        MutableWindow().childStyle = true;
        MoveWindow({10, 10, 300, 200});
        AddControl(kButton, ControlKind::Button, {5, 5, 60, 20});
        AddControl(kLabel, ControlKind::Label, {5, 30, 120, 16});
        AddControl(kEdit, ControlKind::Edit, {5, 50, 80, 20});
        AddControl(kCombo, ControlKind::ComboBox, {5, 80, 100, 20});
    }

protected:
    void OnInitDialog() override {
        AddControl(kLateLabel, ControlKind::Label, {150, 5, 100, 16});
        SetItemText(kLateLabel, "made in init");
    }
};

// Everything the page goes through after it is made, while it may be hidden.
void ChangeWhileHidden(Page& page) {
    page.SetItemText(kLabel, "changed meanwhile");
    page.EnableItem(kButton, false);
    page.MoveItem(kButton, {8, 6, 70, 22});
    page.SetItemText(kEdit, "42");
    page.ModifyItem(kEdit, [](ControlState& s) { s.edit.digitsOnly = true; });
    page.SetComboItems(kCombo, {"one", "two", "three"}, 1);
    page.ShowItem(kLateLabel, false);
    page.AddControl(kAddedLater, ControlKind::Button, {200, 100, 40, 20});
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

// What the system shows of a page's controls: in Z (and Tab) order, each control's id, class,
// style, place and text, and a combo box's items and choice.
std::vector<std::wstring> Described(HWND page) {
    std::vector<std::wstring> lines;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        std::wstring line = std::to_wstring(GetDlgCtrlID(child)) + L" " + className + L" style=" +
                            std::to_wstring(GetWindowLongPtrW(child, GWL_STYLE)) + L" at " +
                            std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
                            std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) +
                            L" '" + TextOf(child) + L"'";
        if (GetDlgCtrlID(child) == kCombo) {
            const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                wchar_t item[32] = {};
                SendMessageW(child, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(item));
                line += L" [" + std::wstring(item) + L"]";
            }
            line += L" chosen=" + std::to_wstring(SendMessageW(child, CB_GETCURSEL, 0, 0));
        }
        lines.push_back(line);
    }
    return lines;
}

class HostPageWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (owner.Create() != 0) GTEST_SKIP() << "no window system in this session";
        owner.ShowWindow(ShowCommand::Show);
        // The page as it was before its windows waited: shown at once, so every window is made and
        // then follows each change.
        ASSERT_EQ(early.Create(&owner), 0);
        early.ShowWindow(ShowCommand::Show);
        ChangeWhileHidden(early);
        expected = Described(host.WindowOf(early));
        early.ShowWindow(ShowCommand::Hide);
    }
    void TearDown() override {
        late.DestroyWindow();
        early.DestroyWindow();
        owner.DestroyWindow();
    }

    Win32Host host;
    Owner owner{host};
    Page early{host};
    Page late{host};
    std::vector<std::wstring> expected;
};

TEST_F(HostPageWindows, APageShownLateShowsWhatItWasGivenWhileHidden) {
    ASSERT_EQ(expected.size(), 6u);
    ASSERT_EQ(late.Create(&owner), 0);
    HWND page = host.WindowOf(late);
    ASSERT_NE(page, nullptr) << "the page's own window exists from the start";
    ChangeWhileHidden(late);
    EXPECT_EQ(GetWindow(page, GW_CHILD), nullptr) << "no control window before the page is shown";

    late.ShowWindow(ShowCommand::Show);
    EXPECT_EQ(Described(page), expected);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kButton)));
    EXPECT_EQ(TextOf(GetDlgItem(page, kLabel)), L"changed meanwhile");

    // Later changes reach the windows as before.
    late.SetItemText(kLabel, "after");
    EXPECT_EQ(TextOf(GetDlgItem(page, kLabel)), L"after");
}

TEST_F(HostPageWindows, AControlAskedForOnAHiddenPageHasItsWindowAtOnce) {
    const std::vector<std::pair<const char*, std::function<HWND(Page&)>>> asks = {
        {"looked up", [&](Page& p) { return host.ControlWindowOf(p, kEdit); }},
        {"given the focus",
         [&](Page& p) {
             p.SetFocus(kEdit);
             return GetDlgItem(host.WindowOf(p), kEdit);
         }},
    };
    for (const auto& [how, ask] : asks) {
        Page page(host);
        ASSERT_EQ(page.Create(&owner), 0) << how;
        ChangeWhileHidden(page);
        HWND edit = ask(page);
        ASSERT_NE(edit, nullptr) << how;
        EXPECT_EQ(GetDlgCtrlID(edit), kEdit) << how;
        EXPECT_FALSE(IsWindowVisible(host.WindowOf(page))) << how << ": the page stays hidden";
        EXPECT_EQ(Described(host.WindowOf(page)), expected) << how;
        page.DestroyWindow();
    }
}

}  // namespace
