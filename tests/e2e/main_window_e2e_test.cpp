#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Automation.h"
#include "gpu/CGpuControl.h"

namespace {

constexpr int kFanSlider = 1133;
constexpr int kFanApply = 1134;
constexpr int kFanManual = 1136;
constexpr int kFanLabel = 1187;
constexpr int kMinimiseButton = 1002;
constexpr int kCloseButton = 1003;
constexpr int kQuestionOk = 1130;
constexpr int kQuestionNo = 1133;
constexpr UINT kTrayCallback = 0x0440;

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A profile section as the first run leaves it: every value 0, except in "Default" and "Start_OC",
// which then hold the start-up values of the simulated card (no offsets, temperature target 83 °C,
// power target 100 %, fan at 35 %, the default curve, brightness 7).
// One "key=value" line; built by appending, as the 32-bit compiler warns wrongly about a literal
// put in front of a temporary string.
std::string Line(std::string_view key, int value) {
    std::string line(key);
    line += '=';
    line += std::to_string(value);
    line += "\r\n";
    return line;
}

std::string PointKey(char axis, int index) {
    std::string key = "FanSpeed";
    key += axis;
    key += char('0' + index);
    return key;
}

std::string ProfileText(std::string_view section) {
    const bool startup = section == "Default" || section == "Start_OC";
    std::string text = "[";
    text += section;
    text += "]\r\n";
    text += Line("CoreOffset", 0) + Line("MemOffset", 0) + Line("TempTarget", startup ? 83 : 0);
    text += Line("DisplayClock", 0) + Line("OverVolt", 0) + Line("Power", startup ? 100 : 0);
    text += Line("FanSpeed", startup ? 35 : 0) + Line("FanMode", 0);
    for (int i = 0; i < 10; ++i) {
        text += Line(PointKey('X', i), startup ? i + 1 : 0);
        text += Line(PointKey('Y', i), startup ? 9 - i : 0);
    }
    text += Line("LedMode", 0) + Line("LedRgb0", 0) + Line("LedRgb1", 0) + Line("LedBright", startup ? 7 : 0);
    text += Line("LedLogo", 0) + Line("LedArmor", 0);
    text += "\r\n";
    return text;
}

// The configuration file a first start writes for the default simulated card, byte for byte.
std::string FirstRunText(int autoRun) {
    std::string text =
        "[Coralvane]\r\nGPUDID=1B80\r\nInitialized=1\r\nSynchronize=1\r\nAutoOverClock=0\r\n"
        "StartupMinimize=0\r\nTransparence=0\r\nTransPercent=0\r\nFanAdvanced=0\r\nTop=0\r\nKeyOC=0\r\n"
        "[Windows Startup]\r\n";
    text += Line("AutoRun", autoRun);
    text += "\r\n";
    for (const char* section : {"Default", "Start_OC", "Profile1", "Profile2", "Profile3"}) {
        text += ProfileText(section);
    }
    text += "[CoustomFanSpeed]\r\nFanMode=0\r\nFanSpeed=0\r\n";
    for (int i = 0; i < 10; ++i) {
        text += Line(PointKey('X', i), i + 1);
        text += Line(PointKey('Y', i), 9 - i);
    }
    // Rewriting "Default" with the start-up values appends one more line feed at the end.
    text += "\r\n";
    return text;
}

// Cooler writes in the journal: the record's level and policy of the first cooler, as hex bytes
// after the version word.
std::vector<std::string> CoolerWrites(const std::wstring& journal) {
    std::vector<std::string> writes;
    for (const std::string& line : ReadLines(journal)) {
        if (line.rfind("891FA0AE CoolerLevelsWrite status=0 ", 0) != 0) continue;
        const size_t in = line.find(" in=");
        if (in != std::string::npos && line.size() >= in + 4 + 24)
            writes.push_back(line.substr(in + 4 + 8, 16));
    }
    return writes;
}

// The number a dial shows in one of its boxes, read off the screen: without the LED face installed
// (as under Wine) the dial draws seven-segment digits 9 pixels wide every 11 pixels, right-aligned
// in a 45 × 25 box, 3 pixels down, in white. -1 when a digit cannot be read.
int DialNumber(HWND dial, int boxLeft, int boxTop) {
    static const int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    // Segment a-g centres within a digit cell (bars 2 pixels thick, limbs 6 long).
    static const POINT kCentres[7] = {{4, 0}, {7, 5}, {7, 13}, {4, 16}, {0, 13}, {0, 5}, {4, 8}};
    const e2e::ClientPixels screen(dial);
    int value = 0;
    int scale = 1;
    for (int k = 0; k < 4; ++k) {
        const int x = boxLeft + 45 - 9 - 11 * k;
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            const COLORREF c = screen.At(x + kCentres[s].x, boxTop + 3 + kCentres[s].y);
            if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200) lit |= 1 << s;
        }
        if (lit == 0) return k == 0 ? -1 : value;
        int digit = -1;
        for (int d = 0; d < 10; ++d)
            if (kSegments[d] == lit) digit = d;
        if (digit < 0) return -1;
        value += digit * scale;
        scale *= 10;
    }
    return value;
}

// What the simulated driver reports for the clocks, through a driver instance of our own: the
// default card's clocks hold still, so the program's instance reads the same.
GpuPerfInfo SimulatedClocks() {
    GpuPerfInfo clocks{};
    HMODULE library = LoadLibraryW(e2e::DriverFileName().c_str());
    if (!library) return clocks;
    auto query = reinterpret_cast<NvQueryInterfaceFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "nvapi_QueryInterface")));
    if (query) {
        CGpuControl gpu(query);
        if (gpu.EnumGpus() == 0) gpu.ReadCurrentClocks(kSelectedGpu, clocks);
    }
    return clocks;
}

class MainWindowE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring config = e2e::BuildDir() + L"src\\Coralvane_DID1B80.cfg";
    std::wstring journal = e2e::CurrentDir() + L"main-window-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
};

TEST_F(MainWindowE2e, FirstRunManualFanSecondCopyAndNotificationArea) {
    DeleteFileW(config.c_str());
    DeleteFileW(journal.c_str());
    program = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal});
    ASSERT_NE(program.process, nullptr) << "cannot start the program";
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";

    const std::string text = e2e::ReadBytes(config);
    // Under Wine the machine-wide Run key is writable, so the first run registers autorun.
    EXPECT_EQ(text, FirstRunText(1));

    ASSERT_TRUE(e2e::Click(main, kFanManual));
    HWND slider = GetDlgItem(main, kFanSlider);
    ASSERT_NE(slider, nullptr);
    e2e::PressKey(slider, VK_END);
    for (int i = 0; i < 30; ++i) e2e::PressKey(slider, VK_LEFT);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(main, kFanLabel) == L"70%"; }, 5000))
        << "label reads " << e2e::TextOf(main, kFanLabel).size() << " characters";

    ASSERT_TRUE(e2e::Click(main, kFanApply));
    const std::string manual70 = "4600000001000000";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const auto writes = CoolerWrites(journal);
            return !writes.empty() && writes.back() == manual70;
        },
        5000))
        << "no cooler write of level 70 with policy 1";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(config).find("FanMode=1\r\nFanSpeed=70\r\n") != std::string::npos; },
        5000))
        << "fan state not stored";

    // The dials as drawn on the screen: the clock dial's core and memory clocks are the simulated
    // driver's, the temperature dial's fan number the level just applied.
    const GpuPerfInfo clocks = SimulatedClocks();
    ASSERT_GT(clocks.graphicsClock, 0) << "the test cannot reach the simulated driver";
    HWND clockDial = GetDlgItem(main, 1073);
    HWND temperatureDial = GetDlgItem(main, 1074);
    ASSERT_NE(clockDial, nullptr);
    ASSERT_NE(temperatureDial, nullptr);
    const int core = int(clocks.graphicsClock / 1000);
    const int memory = int(clocks.memoryClock / 1000);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return DialNumber(clockDial, 128, 125) == core && DialNumber(clockDial, 128, 150) == memory &&
                   DialNumber(temperatureDial, 128, 150) == 70;
        },
        5000))
        << "the dials read " << DialNumber(clockDial, 128, 125) << " / " << DialNumber(clockDial, 128, 150)
        << " and fan " << DialNumber(temperatureDial, 128, 150) << ", the driver says " << core << " / "
        << memory << " and fan 70";
    EXPECT_TRUE(e2e::Screenshot(main, L"main-window-" + e2e::Bitness() + L".bmp"));

    // A second copy asks first, before it loads the driver; answered No it ends without touching
    // the configuration.
    EXPECT_TRUE(e2e::HasModule(program.process, e2e::DriverFileName()));
    const std::string before = e2e::ReadBytes(config);
    e2e::Launched second = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal});
    HWND question = e2e::WaitForWindow(second.pid, L"", 20000);
    EXPECT_NE(question, nullptr) << "no question from the second copy";
    if (question) {
        EXPECT_TRUE(e2e::IsShown(question, kQuestionOk));
        EXPECT_FALSE(e2e::HasModule(second.process, e2e::DriverFileName())) << "driver loaded before the answer";
        EXPECT_TRUE(e2e::Click(question, kQuestionNo));
        EXPECT_EQ(e2e::WaitExit(second, 10000), 0);
    }
    e2e::Stop(second);
    EXPECT_EQ(e2e::ReadBytes(config), before);

    // Answered OK, the second copy runs its own main window beside the first, driver and all.
    second = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal});
    question = e2e::WaitForWindow(second.pid, L"", 20000);
    ASSERT_NE(question, nullptr) << "no question from the second copy";
    EXPECT_TRUE(e2e::Click(question, kQuestionOk));
    HWND secondMain = nullptr;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            // The question's No button has the fan slider's id: the main window is another, shown one.
            for (HWND w : e2e::WindowsOf(second.pid))
                if (w != question && IsWindowVisible(w) && GetDlgItem(w, kFanSlider) && GetDlgItem(w, kCloseButton))
                    secondMain = w;
            return secondMain != nullptr;
        },
        20000))
        << "the second copy shows no main window";
    if (secondMain) {
        EXPECT_TRUE(e2e::HasModule(second.process, e2e::DriverFileName()));
        EXPECT_TRUE(IsWindowVisible(main)) << "the first copy keeps running";
        EXPECT_TRUE(e2e::Click(secondMain, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(second, 10000), 0);
    }
    e2e::Stop(second);

    // Into the notification area and back by a double click on its icon.
    ASSERT_TRUE(e2e::Click(main, kMinimiseButton));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    PostMessageW(main, kTrayCallback, 128, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5000));

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0) << "the close button ends the process";
}

TEST_F(MainWindowE2e, StartupSettingsAndTheNotificationMenu) {
    // A finished first run, then start minimised, 50 % translucency (index 4) and always on top.
    std::string text = FirstRunText(1);
    for (auto [from, to] : {std::pair<const char*, const char*>{"StartupMinimize=0", "StartupMinimize=1"},
                            {"Transparence=0", "Transparence=1"},
                            {"TransPercent=0", "TransPercent=4"},
                            {"\r\nTop=0", "\r\nTop=1"}}) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, std::string_view(from).size(), to);
    }
    ASSERT_TRUE(e2e::WriteBytes(config, text));

    program = e2e::Launch(exe, L"");
    ASSERT_NE(program.process, nullptr) << "cannot start the program";
    HWND main = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (main = e2e::WindowWithControl(program.pid, kFanSlider)) != nullptr; },
                               20000))
        << "no main window";
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(main) && e2e::NotificationIconShown(main, 128); },
                               5000))
        << "not started into the notification area";
    const LONG_PTR exStyle = GetWindowLongPtrW(main, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << "not on top";
    ASSERT_TRUE(exStyle & WS_EX_LAYERED) << "not translucent";
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(main, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 127);  // 50 % of 255
    EXPECT_TRUE(flags & LWA_ALPHA);

    // "open main window" from the icon's menu brings it back.
    HWND popup = e2e::OpenNotificationMenu(main, kTrayCallback, 128, program.pid);
    ASSERT_NE(popup, nullptr) << "no popup menu";
    EXPECT_TRUE(e2e::ChooseMenuItem(popup, L'o'));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5000));

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
    DeleteFileW(config.c_str());
}

}  // namespace
