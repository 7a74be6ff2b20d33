#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kCloseButton = 1003;
constexpr int kSideDrop = 59;

constexpr int kMonitorButton = 1138;
constexpr int kHelpButton = 1141;
constexpr int kFanCurveButton = 1137;

// Monitoring window: close button, temperature chart and its current value.
constexpr int kMonitorClose = 1177;
constexpr int kTemperatureChart = 1165;
constexpr int kTemperatureValue = 1168;
constexpr int kCoreClockTop = 1155;

// Help window.
constexpr int kHelpClose = 1145;
constexpr int kHelpText = 1146;

// Fan curve editor.
constexpr int kFanClose = 1181;
constexpr int kFanApply = 1182;
constexpr int kFanCurve = 1183;

// Information window.
constexpr int kInfoClose = 1179;
constexpr int kInfoName = 1180;
constexpr int kInfoDriver = 1181;
constexpr int kInfoMemory = 1184;

// The default card in a game: it starts cool and warms quickly under a steady load.
constexpr const char* kWarmingCard =
    "[driver]\r\nversion = 41130\r\n"
    "[gpu]\r\npci = 10DE 1B80 10DE 119E\r\nname = GeForce GTX 1080\r\nframebuffer_kb = 8388608\r\n"
    "memory_type = 10\r\nmemory_maker = 10\r\nvbios = 86.04.17.00.01\r\ncores = 2560\r\nbus_width = 256\r\n"
    "load = 90 60\r\ntemperature_c = 34\r\nthermal_time_ms = 8000\r\n"
    "[display]\r\ngpu = 0\r\nid = 0x80061086\r\n";

// The same card held at 35 °C (time stands still), where the default curve asks for 40 %.
constexpr const char* kSteadyCard =
    "[driver]\r\nversion = 41130\r\ntime = frozen\r\n"
    "[gpu]\r\npci = 10DE 1B80 10DE 119E\r\nname = GeForce GTX 1080\r\ntemperature_c = 35\r\n"
    "[display]\r\ngpu = 0\r\nid = 0x80061086\r\n";

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Levels of the cooler writes in the journal, as hex bytes of the record after its version word.
std::vector<std::string> CoolerWrites(const std::wstring& journal) {
    std::vector<std::string> writes;
    for (const std::string& line : ReadLines(journal)) {
        if (line.rfind("891FA0AE CoolerLevelsWrite status=0 ", 0) != 0) continue;
        const size_t in = line.find(" in=");
        if (in != std::string::npos && line.size() >= in + 4 + 24) writes.push_back(line.substr(in + 4 + 8, 16));
    }
    return writes;
}

// What the screen shows of a control, every other pixel of every other row.
// Every pixel of the control as the screen shows it: a one-pixel line can sit on any row.
std::vector<COLORREF> Pixels(HWND control) {
    std::vector<COLORREF> pixels;
    RECT r{};
    if (!GetWindowRect(control, &r)) return pixels;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    if (!screen) return pixels;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            const auto* first = static_cast<const COLORREF*>(bits);
            pixels.assign(first, first + size_t(w) * size_t(h));
        }
        SelectObject(memory, old);
    }
    if (dib) DeleteObject(dib);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

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

    HWND Start(const char* card) {
        DeleteFileW(config.c_str());
        DeleteFileW(journal.c_str());
        if (!e2e::WriteBytes(scenario, card)) return nullptr;
        program = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal, L"CORALVANE_SIM_SCENARIO=" + scenario});
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
    std::wstring scenario = e2e::CurrentDir() + L"side-windows-card-" + e2e::Bitness() + L".scn";
    std::wstring journal = e2e::CurrentDir() + L"side-windows-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
};

TEST_F(SideWindowsE2e, InformationMonitorAndHelpOpenDockedFollowTheMainWindowAndClose) {
    HWND main = Start(kWarmingCard);
    ASSERT_NE(main, nullptr) << "no main window";
    SetWindowPos(main, nullptr, 400, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The benchmark's note: the card's lighting was probed (three pauses of 300 ms) before the first picture.
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetPropW(main, L"Coralvane.PausedMs") != nullptr; }, 3000));
    EXPECT_GE(reinterpret_cast<uintptr_t>(GetPropW(main, L"Coralvane.PausedMs")), 901u);

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

    // The monitor charts the warming card every 500 ms: the temperature climbs and the chart moves.
    ASSERT_TRUE(e2e::Click(main, kMonitorButton));
    HWND monitor = WaitShown(L"Monitor");
    ASSERT_NE(monitor, nullptr) << "no monitoring window";
    EXPECT_TRUE(Docked(main, monitor));
    EXPECT_EQ(e2e::TextOf(monitor, kCoreClockTop), L"3822");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::TextOf(monitor, kTemperatureValue).empty(); }, 3000));
    const int firstTemperature = _wtoi(e2e::TextOf(monitor, kTemperatureValue).c_str());
    HWND chart = GetDlgItem(monitor, kTemperatureChart);
    ASSERT_NE(chart, nullptr);
    Sleep(600);
    const std::vector<COLORREF> before = Pixels(chart);
    HWND temperatureLabel = GetDlgItem(monitor, kTemperatureValue);
    const std::vector<COLORREF> labelBefore = Pixels(temperatureLabel);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return _wtoi(e2e::TextOf(monitor, kTemperatureValue).c_str()) >= firstTemperature + 3; }, 10000))
        << "temperature stays at " << firstTemperature;
    // The screen shows the window's surface once Wine flushes it: give it a few samples' time.
    EXPECT_TRUE(e2e::WaitUntil([&] { return Pixels(chart) != before; }, 3000)) << "the chart did not move";
    EXPECT_TRUE(e2e::WaitUntil([&] { return Pixels(temperatureLabel) != labelBefore; }, 3000))
        << "the new temperature is not on the screen";
    MoveMainAndCheck(main, monitor, 700, 90);
    Sleep(500);
    EXPECT_TRUE(e2e::Screenshot(monitor, L"monitor-window-" + e2e::Bitness() + L".bmp"));

    // Help replaces the monitor beside the main window.
    ASSERT_TRUE(e2e::Click(main, kHelpButton));
    HWND help = WaitShown(L"Help");
    ASSERT_NE(help, nullptr) << "no help window";
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(monitor); }, 3000)) << "one side window at a time";
    EXPECT_TRUE(Docked(main, help));
    EXPECT_EQ(e2e::TextOf(help, kHelpText).rfind(L"---------------------------\r\nHow to Use Coralvane:", 0), 0u);
    MoveMainAndCheck(main, help, 680, 70);
    Sleep(300);
    EXPECT_TRUE(e2e::Screenshot(help, L"help-window-" + e2e::Bitness() + L".bmp"));
    CloseWith(help, kHelpClose);

    // The monitor kept sampling while hidden and opens again where the rule puts it.
    ASSERT_TRUE(e2e::Click(main, kMonitorButton));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(monitor) != FALSE; }, 3000));
    EXPECT_TRUE(Docked(main, monitor));
    CloseWith(monitor, kMonitorClose);

    // The file dialogs' library, which brings the printing stack along, is not loaded before a file
    // dialog is asked for.
    EXPECT_FALSE(e2e::HasModule(program.process, L"comdlg32.dll"));
    End(main);
}

TEST_F(SideWindowsE2e, CurveEditedWithTheMouseIsFollowedByTheCoolerAfterApply) {
    HWND main = Start(kSteadyCard);
    ASSERT_NE(main, nullptr) << "no main window";
    SetWindowPos(main, nullptr, 480, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // 40 % at 35 °C by the default curve once the fan follows a curve.
    ASSERT_TRUE(e2e::Click(main, kFanCurveButton));
    HWND editor = WaitShown(L"Fan Curve");
    ASSERT_NE(editor, nullptr) << "no fan curve window";
    EXPECT_TRUE(Docked(main, editor));
    HWND curve = GetDlgItem(editor, kFanCurve);
    ASSERT_NE(curve, nullptr);

    // Point 3 to 90 % up to 40 °C: a click in its column, one row below the top.
    PostMessageW(curve, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    PostMessageW(curve, WM_LBUTTONUP, 0, MAKELPARAM(100, 40));
    Sleep(1500);
    const std::string held90 = "5A00000001000000";
    auto last = [&] {
        const auto writes = CoolerWrites(journal);
        return writes.empty() ? std::string() : writes.back();
    };
    EXPECT_NE(last(), held90) << "nothing reaches the fan before Apply";
    EXPECT_TRUE(e2e::Screenshot(editor, L"fan-curve-window-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Click(editor, kFanApply));
    EXPECT_TRUE(e2e::WaitUntil([&] { return last() == held90; }, 5000)) << "cooler at " << last();
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(config).find("FanSpeedX3=4\r\nFanSpeedY3=1\r\n") != std::string::npos; },
        5000))
        << "curve not stored";
    MoveMainAndCheck(main, editor, 500, 60);
    CloseWith(editor, kFanClose);
    // On a card whose readings hold still nothing new is decoded, and the imaging component is let go
    // (on a warming card each new dial reading may decode a picture, which keeps it).
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::HasModule(program.process, L"windowscodecs.dll"); }, 16000))
        << "the imaging component stays loaded";
    End(main);
}

}  // namespace
