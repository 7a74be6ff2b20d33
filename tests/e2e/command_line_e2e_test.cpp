#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "Automation.h"
#include "SideWindowChecks.h"

namespace {

constexpr int kCloseButton = 1003;
constexpr int kMonitorButton = 1138;
constexpr int kTemperatureChart = 1165;
constexpr int kMsgText = 1132;
constexpr int kMsgClose = 1131;
constexpr int kMsgOk = 1130;
// A card the program tunes through the p-state table, so the journal shows the offsets as given.
constexpr const char* kPstateCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B00 10DE 119A\nname = TITAN X\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";
// A finished first run with profile 1 saved (40 MHz core, 200 MHz memory) and profile 2 never saved.
constexpr const char* kConfig =
    "[Coralvane]\r\nGPUDID=1B00\r\nInitialized=1\r\nAutoOverClock=0\r\n"
    "[Profile1]\r\nCoreOffset=40\r\nMemOffset=200\r\nTempTarget=83\r\nPower=105\r\nFanMode=0\r\n"
    "[Profile2]\r\nPower=0\r\n";
// "Start_OC" for the start-up overclock: 60 MHz core, 150 MHz memory.
constexpr const char* kStartOc =
    "[Start_OC]\r\nCoreOffset=60\r\nMemOffset=150\r\nTempTarget=83\r\nPower=100\r\n";

int32_t HexS32(const std::string& hex, size_t byteOffset) {
    if (hex.size() < 2 * (byteOffset + 4)) return INT32_MIN;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | std::stoul(hex.substr(2 * (byteOffset + i), 2), nullptr, 16);
    return static_cast<int32_t>(value);
}

// Successful p-state writes in the journal; with `graphicsKhz` set only those with these deltas
// (graphics delta 40 bytes into the record, memory 84).
int ClockWrites(const std::wstring& journal, int32_t graphicsKhz = INT32_MIN, int32_t memoryKhz = 0) {
    int count = 0;
    std::ifstream in(std::filesystem::path(journal), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("0F4DAE6B PstateTableWrite status=0 ", 0) != 0) continue;
        const size_t begin = line.find(" in=");
        const size_t end = line.find(" out=");
        if (begin == std::string::npos || end == std::string::npos) continue;
        const std::string hex = line.substr(begin + 4, end - begin - 4);
        if (graphicsKhz == INT32_MIN || (HexS32(hex, 40) == graphicsKhz && HexS32(hex, 84) == memoryKhz))
            ++count;
    }
    return count;
}

class CommandLineE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::WriteBytes(scenario, kPstateCard));
        ASSERT_TRUE(e2e::WriteBytes(config, kConfig));
    }
    void TearDown() override {
        e2e::Stop(first);
        e2e::Stop(second);
    }

    e2e::Launched Start(const std::wstring& args, const std::wstring& journal,
                        const std::wstring& output = {}) {
        DeleteFileW(journal.c_str());
        return e2e::Launch(
            exe, args, {L"CORALVANE_SIM_JOURNAL=" + journal, L"CORALVANE_SIM_SCENARIO=" + scenario}, output);
    }

    // The program's message dialog once it shows, with its Close button (a notice) or OK.
    HWND WaitForMessage(DWORD pid) {
        HWND found = nullptr;
        e2e::WaitUntil(
            [&] {
                for (HWND w : e2e::WindowsOf(pid)) {
                    if (e2e::IsShown(w, kMsgClose) || e2e::IsShown(w, kMsgOk)) {
                        found = w;
                        return true;
                    }
                }
                return false;
            },
            20000);
        return found;
    }

    std::wstring File(const std::wstring& stem) {
        return e2e::CurrentDir() + stem + L"-" + e2e::Bitness() + L".txt";
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring config = e2e::BuildDir() + L"src\\Coralvane_DID1B00.cfg";
    std::wstring scenario = e2e::CurrentDir() + L"command-card-" + e2e::Bitness() + L".scn";
    e2e::Launched first;
    e2e::Launched second;
};

TEST_F(CommandLineE2e, SecondCopyHandsTheProfileToTheRunningOneAndEndsAtOnce) {
    const std::wstring journal = File(L"command-first-journal");
    const std::wstring secondJournal = File(L"command-second-journal");
    const std::wstring output = File(L"command-second-output");
    first = Start(L"", journal);
    HWND main = e2e::WaitForWindow(first.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_EQ(ClockWrites(journal), 0);

    second = Start(L"-Profile1", secondJournal, output);
    const DWORD started = GetTickCount();
    EXPECT_EQ(e2e::WaitExit(second, 15000), 0) << e2e::ReadBytes(output);
    EXPECT_LT(GetTickCount() - started, 10000u) << "the second copy waited for something";
    EXPECT_TRUE(e2e::WaitUntil([&] { return ClockWrites(journal, 40000, 200000) == 1; }, 5000))
        << "the running copy did not apply profile 1";
    EXPECT_EQ(ClockWrites(secondJournal), 0) << "the second copy touched the card itself";
    EXPECT_TRUE(e2e::ReadBytes(output).empty());
    e2e::Stop(second);

    // A profile never saved: the second copy fails with the reason, the running one shows it.
    second = Start(L"/profile2", secondJournal, output);
    EXPECT_EQ(e2e::WaitExit(second, 15000), 1);
    EXPECT_EQ(e2e::ReadBytes(output), "目标功耗不能为0！\r\n");
    HWND message = WaitForMessage(first.pid);
    ASSERT_NE(message, nullptr) << "the running copy shows no message";
    EXPECT_EQ(e2e::TextOf(message, kMsgText), L"目标功耗不能为0！");
    e2e::Click(message, kMsgClose);
    EXPECT_EQ(ClockWrites(journal), 1);

    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 5000));
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(first, 10000), 0);
}

TEST_F(CommandLineE2e, QuitAppliesAndEndsAndBadSwitchesChangeNothing) {
    const std::wstring journal = File(L"command-quit-journal");
    const std::wstring output = File(L"command-quit-output");
    first = Start(L"-Profile1 -Quit", journal, output);
    EXPECT_EQ(e2e::WaitExit(first, 30000), 0) << e2e::ReadBytes(output);
    EXPECT_EQ(ClockWrites(journal, 40000, 200000), 1);
    e2e::Stop(first);

    first = Start(L"-Profile4 -Quit", journal, output);
    HWND message = WaitForMessage(first.pid);
    ASSERT_NE(message, nullptr) << "no message for a bad switch";
    EXPECT_NE(e2e::TextOf(message, kMsgText).find(L"-Profile4"), std::wstring::npos);
    e2e::Click(message, kMsgClose);
    EXPECT_EQ(e2e::WaitExit(first, 10000), 2);
    EXPECT_NE(e2e::ReadBytes(output).find("-Profile4"), std::string::npos) << e2e::ReadBytes(output);
    EXPECT_EQ(ClockWrites(journal), 0);
    EXPECT_EQ(e2e::ReadBytes(config), kConfig) << "a bad command line changed the file";
}

TEST_F(CommandLineE2e, LeftoverFailSafeRecordSkipsTheStartupOverclockOnce) {
    const std::string autoOc =
        std::string(kConfig).replace(std::string(kConfig).find("AutoOverClock=0"), 15, "AutoOverClock=1");
    ASSERT_TRUE(e2e::WriteBytes(config, autoOc + kStartOc + "[Startup FailSafe]\r\nOverclockPending=1\r\n"));
    const std::wstring journal = File(L"failsafe-journal");
    first = Start(L"", journal);
    HWND message = WaitForMessage(first.pid);
    ASSERT_NE(message, nullptr) << "the skipped overclock is not told";
    EXPECT_NE(e2e::TextOf(message, kMsgText).find(L"未应用超频设置"), std::wstring::npos);
    e2e::Click(message, kMsgClose);
    HWND main = e2e::WaitForWindow(first.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr);
    Sleep(500);
    EXPECT_EQ(ClockWrites(journal), 0) << "the start-up overclock reached the card";
    EXPECT_NE(e2e::ReadBytes(config).find("OverclockPending=0"), std::string::npos);
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(first, 10000), 0);
    e2e::Stop(first);

    // The next start overclocks again, under a new record.
    first = Start(L"", journal);
    main = e2e::WaitForWindow(first.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(e2e::WaitUntil([&] { return ClockWrites(journal, 60000, 150000) == 1; }, 5000));
    EXPECT_NE(e2e::ReadBytes(config).find("OverclockPending=1"), std::string::npos);
    for (HWND w : e2e::WindowsOf(first.pid))
        EXPECT_FALSE(e2e::IsShown(w, kMsgClose)) << "a message this time";
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(first, 10000), 0);
    // Closed by the user within the minute: no crash to report at the next start.
    EXPECT_NE(e2e::ReadBytes(config).find("OverclockPending=0"), std::string::npos);
}

// The sensor log's lines: the header, then "time,six whole numbers" per tick.
constexpr const char* kLogHeader =
    "Time,Engine Clock MHz,Memory Clock MHz,Core Voltage mV,Temperature C,Gpu Utilization %,Mem Utilization %";

std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

bool IsLogLine(const std::string& line) {
    // 2026-12-10T16:40:05.500Z
    if (line.size() < 25 || line[4] != '-' || line[10] != 'T' || line[19] != '.' || line[23] != 'Z') return false;
    int fields = 0;
    for (size_t at = 24; at < line.size(); ++fields) {
        if (line[at] != ',') return false;
        size_t end = at + 1;
        if (end < line.size() && line[end] == '-') ++end;
        const size_t digits = end;
        while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
        if (end == digits) return false;
        at = end;
    }
    return fields == 6;
}

// The log file begins with `before` (what it held first), then has at least `newLines` lines more;
// the whole file is the header and log lines.
::testing::AssertionResult LogAfter(const std::wstring& path, const std::string& before, size_t newLines) {
    const std::string bytes = e2e::ReadBytes(path);
    if (bytes.rfind(before, 0) != 0) return ::testing::AssertionFailure() << "the earlier bytes changed: " << bytes;
    const std::vector<std::string> lines = LinesOf(bytes);
    if (lines.size() < LinesOf(before).size() + newLines || lines.empty())
        return ::testing::AssertionFailure() << lines.size() << " lines: " << bytes;
    if (lines[0] != kLogHeader) return ::testing::AssertionFailure() << "header " << lines[0];
    for (size_t i = 1; i < lines.size(); ++i)
        if (!IsLogLine(lines[i])) return ::testing::AssertionFailure() << "line " << lines[i];
    return ::testing::AssertionSuccess();
}

// Opens the chart's menu with a right click and chooses an item by its key; tried again while
// nothing follows (Wine may close a menu it just opened when the machine is busy).
bool ChooseFromChartMenu(DWORD pid, HWND chart, wchar_t key, const std::function<bool()>& followed) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        PostMessageW(chart, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        PostMessageW(chart, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        HWND popup = nullptr;
        if (!e2e::WaitUntil([&] { return (popup = e2e::PopupMenuOf(pid)) != nullptr; }, 5000)) continue;
        EXPECT_NE(SendMessageW(popup, MN_GETHMENU, 0, 0), 0) << "a popup without a menu";
        e2e::ChooseMenuItem(popup, key);
        if (e2e::WaitUntil(followed, 5000)) return true;
    }
    return false;
}

TEST_F(CommandLineE2e, LogSwitchAndTheChartMenuRecordTheSensors) {
    const std::wstring journal = File(L"sensor-log-journal");
    // A name with spaces, a per cent sign and characters outside the ANSI code page.
    const std::wstring atStart = e2e::CurrentDir() + L"sensor log 100% 日志-" + e2e::Bitness() + L".csv";
    DeleteFileW(atStart.c_str());
    first = Start(L"-Log \"" + atStart + L"\"", journal);
    HWND main = e2e::WaitForWindow(first.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(e2e::WaitUntil([&] { return LogAfter(atStart, "", 3); }, 10000)) << LogAfter(atStart, "", 3);
    EXPECT_TRUE(e2e::NoWindowShowsControl(first.pid, kTemperatureChart)) << "the monitor window showed itself";
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(first, 10000), 0);
    e2e::Stop(first);

    // From the chart's menu, into the log of an earlier run: its lines stay, the new ones follow.
    const std::wstring chosen = e2e::CurrentDir() + L"chart log %TEMP%-" + e2e::Bitness() + L".csv";
    const std::string earlier = std::string(kLogHeader) + "\r\n2026-12-09T20:00:00.000Z,1,2,3,4,5,6\r\n";
    ASSERT_TRUE(e2e::WriteBytes(chosen, earlier));
    first = Start(L"", journal);
    main = e2e::WaitForWindow(first.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::Click(main, kMonitorButton));
    HWND monitor = e2e::WaitForShownControl(first.pid, kTemperatureChart, 10000);
    ASSERT_NE(monitor, nullptr) << "no monitor window";
    HWND chart = GetDlgItem(monitor, kTemperatureChart);
    HWND dialog = nullptr;
    ASSERT_TRUE(ChooseFromChartMenu(first.pid, chart, L'l', [&] {
        return (dialog = e2e::WaitForFileDialog(first.pid, 0)) != nullptr;
    })) << "the menu gave no save dialog";
    ASSERT_TRUE(e2e::ChooseFile(dialog, chosen)) << "the save dialog did not take the name";
    EXPECT_TRUE(e2e::WaitUntil([&] { return LogAfter(chosen, earlier, 2); }, 10000)) << LogAfter(chosen, earlier, 2);

    // Stopped from the same menu: the file stops growing.
    size_t size = 0;
    ASSERT_TRUE(ChooseFromChartMenu(first.pid, chart, L's', [&] {
        size = e2e::ReadBytes(chosen).size();
        Sleep(1200);  // more than two ticks
        return e2e::ReadBytes(chosen).size() == size;
    })) << "the log did not stop";
    EXPECT_TRUE(LogAfter(chosen, earlier, 2));
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(first, 10000), 0);
}

}  // namespace
