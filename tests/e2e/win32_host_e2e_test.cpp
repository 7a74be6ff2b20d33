// The Win32 host seen from outside: a probe dialog with a bitmap slider, an edit and an icon button,
// driven through real window messages and the real pointer. The probe's status label (1020) says
// what its model saw.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "Automation.h"

namespace {

constexpr int kSlider = 1011;
constexpr int kEdit = 1012;
constexpr int kButton = 1013;
constexpr int kStatus = 1020;

struct Status {
    int moving = -1;
    int last = -1;
    int moved = -1;
    int at = -1;
    int focus = -2;
    int hover = -1;
    std::wstring commit;
};

class HostProbe {
public:
    HostProbe() {
        process = e2e::Launch(e2e::ExeDir() + L"host_probe.exe", L"");
        if (process.process) dialog = e2e::WaitForWindow(process.pid, L"host probe", 20000);
    }
    ~HostProbe() { e2e::Stop(process); }

    Status Read() const {
        Status s;
        const std::wstring text = e2e::TextOf(dialog, kStatus);
        swscanf(text.c_str(), L"moving=%d last=%d moved=%d at=%d focus=%d hover=%d", &s.moving, &s.last,
                &s.moved, &s.at, &s.focus, &s.hover);
        const size_t commit = text.find(L"commit=");
        if (commit != std::wstring::npos) s.commit = text.substr(commit + 7);
        return s;
    }
    template <class Pred>
    bool WaitFor(Pred pred) const {
        return e2e::WaitUntil([&] { return pred(Read()); }, 5000);
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }

    e2e::Launched process;
    HWND dialog = nullptr;
};

void Post(HWND window, UINT msg, WPARAM wParam, int x, int y) {
    PostMessageW(window, msg, wParam, MAKELPARAM(x, y));
}

TEST(Win32HostEndToEnd, DraggingTheSliderPostsEveryPositionOnceAndOneMovedOnRelease) {
    HostProbe probe;
    ASSERT_NE(probe.dialog, nullptr);
    HWND slider = probe.Item(kSlider);
    ASSERT_NE(slider, nullptr);
    // A 215-pixel channel and a 9-pixel thumb: position p is drawn at trunc(206 × p ÷ 100) + 4, and
    // pixel x stands for trunc((x − 4) × 100 ÷ 206), so 40 from pixel 87 on (pixel 86 is still 39).
    Post(slider, WM_LBUTTONDOWN, MK_LBUTTON, 4, 7);
    for (int x = 5; x <= 87; ++x) Post(slider, WM_MOUSEMOVE, MK_LBUTTON, x, 7);
    Post(slider, WM_LBUTTONUP, 0, 87, 7);
    ASSERT_TRUE(probe.WaitFor([](const Status& s) { return s.moved == 1; }));
    Status s = probe.Read();
    EXPECT_EQ(s.moving, 40);
    EXPECT_EQ(s.last, 40);
    EXPECT_EQ(s.at, 40);
    EXPECT_EQ(s.focus, kSlider) << "a press gives the slider the focus";

    // Keys reach the focused slider through the host, each with one "moved".
    struct Step {
        UINT key;
        int at;
    } steps[] = {{VK_END, 100}, {VK_PRIOR, 80}, {VK_LEFT, 79}, {VK_HOME, 0}, {VK_NEXT, 20}, {VK_DOWN, 21}};
    int moved = 1;
    for (const Step& step : steps) {
        e2e::PressKey(slider, step.key);
        ++moved;
        EXPECT_TRUE(probe.WaitFor([&](const Status& now) { return now.moved == moved; })) << step.key;
        EXPECT_EQ(probe.Read().at, step.at) << step.key;
    }
    EXPECT_EQ(probe.Read().moving, 40) << "keys post no moving notifications";
}

TEST(Win32HostEndToEnd, TabReachesTheEditAndEnterCommitsWithoutClosing) {
    HostProbe probe;
    ASSERT_NE(probe.dialog, nullptr);
    HWND slider = probe.Item(kSlider);
    HWND edit = probe.Item(kEdit);
    Post(slider, WM_LBUTTONDOWN, MK_LBUTTON, 4, 7);
    Post(slider, WM_LBUTTONUP, 0, 4, 7);
    ASSERT_TRUE(probe.WaitFor([](const Status& s) { return s.focus == kSlider; }));

    e2e::PressKey(slider, VK_TAB);
    ASSERT_TRUE(probe.WaitFor([](const Status& s) { return s.focus == kEdit; }))
        << "Tab moves on from the slider";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"123"));
    e2e::PressKey(edit, VK_RETURN);
    ASSERT_TRUE(probe.WaitFor([](const Status& s) { return s.commit == L"123"; }));
    EXPECT_EQ(probe.Read().focus, 0) << "Enter hands the focus to the dialog";
    EXPECT_EQ(e2e::WaitExit(probe.process, 300), -1) << "the edit took the Enter; the dialog stays open";

    e2e::PressKey(probe.dialog, VK_RETURN);
    EXPECT_EQ(e2e::WaitExit(probe.process, 10000), 1);
}

TEST(Win32HostEndToEnd, ButtonHoversWhileThePointerIsOverItAndEscapeCancels) {
    HostProbe probe;
    ASSERT_NE(probe.dialog, nullptr);
    RECT button{};
    ASSERT_TRUE(GetWindowRect(probe.Item(kButton), &button));
    SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    EXPECT_TRUE(probe.WaitFor([](const Status& s) { return s.hover == 1; }));
    // Leaving is noticed through leave tracking, even when the pointer jumps off the window at once.
    SetCursorPos(2, 2);
    EXPECT_TRUE(probe.WaitFor([](const Status& s) { return s.hover == 0; }));

    e2e::PressKey(probe.dialog, VK_ESCAPE);
    EXPECT_EQ(e2e::WaitExit(probe.process, 10000), 2);
}

}  // namespace
