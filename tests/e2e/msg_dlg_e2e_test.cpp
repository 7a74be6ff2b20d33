// The message dialog as the real program shows it: a probe program runs it through the Win32 host
// and these tests drive it from outside, by control id and keys, as a user or a screen reader would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kOk = 1130;
constexpr int kClose = 1131;
constexpr int kText = 1132;
constexpr int kNo = 1133;

// One probe process, ended on every path out of the test.
class Probe {
public:
    explicit Probe(const std::wstring& args) {
        process = e2e::Launch(e2e::ExeDir() + L"msgdlg_probe.exe", args);
        if (process.process) dialog = e2e::WaitForWindow(process.pid, L"", 20000);
        // The window is shown after its initialisation, so its controls are all there now.
    }
    ~Probe() { e2e::Stop(process); }
    int ExitCode() { return e2e::WaitExit(process, 10000); }

    e2e::Launched process;
    HWND dialog = nullptr;
};

// The rows of a control's area that hold white text (the dialog writes in white), and whether any
// text pixel sits in its last column, where a line too long for the box would be cut.
struct TextRows {
    std::vector<int> rows;
    bool touchesRightEdge = false;
};

TextRows WhiteTextRows(HWND dialog, int id) {
    TextRows found;
    HWND control = GetDlgItem(dialog, id);
    RECT r{};
    if (!control || !GetWindowRect(control, &r)) return found;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const e2e::ClientPixels screen(dialog);
    for (int y = r.top; y < r.bottom; ++y) {
        bool ink = false;
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = screen.At(x, y);
            if (GetRValue(c) < 160 || GetGValue(c) < 160 || GetBValue(c) < 160) continue;
            ink = true;
            if (x == r.right - 1) found.touchesRightEdge = true;
        }
        if (ink) found.rows.push_back(y - r.top);
    }
    return found;
}

// How many separate bands of rows the text takes: its lines.
int Lines(const std::vector<int>& rows) {
    int lines = 0;
    for (size_t i = 0; i < rows.size(); ++i)
        if (i == 0 || rows[i] != rows[i - 1] + 1) ++lines;
    return lines;
}

struct Layout {
    std::wstring mode;
    std::wstring text;  // empty: the probe's own text
    std::vector<int> shown;
    std::vector<int> hidden;
    std::wstring screenshot;
};

TEST(MsgDlgEndToEnd, LayoutsShowTheirButtonsAndText) {
    // The notice carries one of the longest texts the program shows: it must wrap inside its area.
    const std::wstring longText = L"请确认设置有效，再继续保存。如果你不确定，有可能导致系统故障。";
    const Layout layouts[] = {
        {L"1", L"", {kOk, kNo, kText}, {kClose}, L""},
        {L"2", longText, {kClose, kText}, {kOk, kNo}, L"msgdlg-notice-" + e2e::Bitness() + L".bmp"},
    };
    for (const Layout& layout : layouts) {
        Probe probe(layout.text.empty() ? layout.mode : layout.mode + L" \"" + layout.text + L"\"");
        ASSERT_NE(probe.dialog, nullptr) << "mode " << layout.mode;
        for (int id : layout.shown)
            EXPECT_TRUE(e2e::IsShown(probe.dialog, id)) << id << " in mode " << layout.mode;
        for (int id : layout.hidden) {
            EXPECT_NE(GetDlgItem(probe.dialog, id), nullptr) << id << " exists";
            EXPECT_FALSE(e2e::IsShown(probe.dialog, id)) << id << " in mode " << layout.mode;
        }
        EXPECT_EQ(e2e::TextOf(probe.dialog, kText), layout.text.empty() ? L"初始化失败！" : layout.text);
        if (!layout.screenshot.empty()) {
            // The long text wraps into lines that all stay inside the text's box: two or more bands
            // of text, none cut at the right edge or at the bottom.
            TextRows text;
            EXPECT_TRUE(e2e::WaitUntil(
                [&] {
                    text = WhiteTextRows(probe.dialog, kText);
                    return Lines(text.rows) >= 2;
                },
                5000))
                << "the text shows as " << Lines(text.rows) << " line(s)";
            EXPECT_FALSE(text.touchesRightEdge) << "a line runs into the box's right edge";
            ASSERT_FALSE(text.rows.empty());
            EXPECT_LT(text.rows.back(), 100 - 1) << "the last line reaches the box's bottom edge";
            EXPECT_TRUE(e2e::Screenshot(probe.dialog, layout.screenshot));
        }
    }
}

TEST(MsgDlgEndToEnd, SkinnedShapedTranslucentWindowAndOkEndsWithOne) {
    Probe probe(L"1");
    ASSERT_NE(probe.dialog, nullptr);
    RECT r{};
    GetWindowRect(probe.dialog, &r);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 222);

    // 85 % opaque: alpha 85 × 255 ÷ 100.
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(probe.dialog, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 216);
    EXPECT_TRUE(flags & LWA_ALPHA);

    // Shaped by the skin: its corner pixel is the key colour, its middle is not.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(probe.dialog, region);
    EXPECT_EQ(kind, COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 250, 111));
    DeleteObject(region);

    // Let the first paint land before the picture is taken.
    Sleep(700);
    EXPECT_TRUE(e2e::Screenshot(probe.dialog, L"msgdlg-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Click(probe.dialog, kOk));
    EXPECT_EQ(probe.ExitCode(), 1);
}

struct Answer {
    const wchar_t* mode;
    int button;  // 0: press `key` instead
    UINT key;
    int result;
};

TEST(MsgDlgEndToEnd, ButtonsAndDialogKeysGiveTheResult) {
    const Answer answers[] = {
        {L"1", kNo, 0, 2},
        {L"2", kClose, 0, 2},
        {L"2", 0, VK_RETURN, 1},  // Enter is OK although no OK button shows
        {L"1", 0, VK_ESCAPE, 2},
    };
    for (const Answer& answer : answers) {
        Probe probe(answer.mode);
        ASSERT_NE(probe.dialog, nullptr);
        if (answer.button != 0) {
            ASSERT_TRUE(e2e::Click(probe.dialog, answer.button));
        } else {
            e2e::PressKey(probe.dialog, answer.key);
        }
        EXPECT_EQ(probe.ExitCode(), answer.result)
            << "mode " << answer.mode << ", button " << answer.button << ", key " << answer.key;
    }
}

}  // namespace
