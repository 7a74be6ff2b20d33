#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "Automation.h"

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

    // Both dials have been drawn by their timers well within this time.
    Sleep(1500);
    EXPECT_TRUE(e2e::Screenshot(main, L"main-window-" + e2e::Bitness() + L".bmp"));

    // A second copy asks first; answered No it ends without touching the configuration.
    const std::string before = e2e::ReadBytes(config);
    e2e::Launched second = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal});
    HWND question = e2e::WaitForWindow(second.pid, L"", 20000);
    EXPECT_NE(question, nullptr) << "no question from the second copy";
    if (question) {
        EXPECT_TRUE(e2e::IsShown(question, kQuestionOk));
        EXPECT_TRUE(e2e::Click(question, kQuestionNo));
        EXPECT_EQ(e2e::WaitExit(second, 10000), 0);
    }
    e2e::Stop(second);
    EXPECT_EQ(e2e::ReadBytes(config), before);

    // Into the notification area and back by a double click on its icon.
    ASSERT_TRUE(e2e::Click(main, kMinimiseButton));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    PostMessageW(main, kTrayCallback, 128, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5000));

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0) << "the close button ends the process";
}

}  // namespace
