// The tool runner against the simulated nvflash of this build (build/<preset>/sim), copied into a
// folder whose name has spaces and '%'.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sim/nvflash/NvflashImage.h"
#include "win32/ThreadWindowsDisabled.h"
#include "win32/Win32ToolRunner.h"
#include "win32/WinApi.h"

namespace fs = std::filesystem;

namespace {

fs::path ThisExecutable() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class ToolRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path built = ThisExecutable().parent_path().parent_path() / "sim" /
                               (sizeof(void*) == 8 ? "nvflash64.exe" : "nvflash32.exe");
        ASSERT_TRUE(fs::exists(built)) << built.string();
        fs::create_directories(work);
        fs::create_directories(toolDir);
        fs::copy_file(built, tool, fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Behave(const std::string& text) { std::ofstream(toolDir / "nvflash-sim.txt") << text; }
    std::vector<std::string> Record() { return Lines(ReadText(toolDir / "nvflash-sim.log")); }

    fs::path root = fs::temp_directory_path() / ("coralvane-tool-" + std::to_string(GetCurrentProcessId()));
    fs::path toolDir = root / "tool dir 100%";
    fs::path tool = toolDir / "nvflash64.exe";
    fs::path work = root / "work folder";
    Win32ToolRunner runner;
};

TEST(QuotedCommandLine, EveryArgumentComesBackWhole) {
    EXPECT_EQ(QuotedCommandLine({L"nvflash.exe", L"--save", L"backup.rom"}),
              L"\"nvflash.exe\" \"--save\" \"backup.rom\"");
    EXPECT_EQ(QuotedCommandLine({L"a b", L"say \"hi\"", L"C:\\dir\\", L"x\\\"y", L""}),
              L"\"a b\" \"say \\\"hi\\\"\" \"C:\\dir\\\\\" \"x\\\\\\\"y\" \"\"");
}

TEST_F(ToolRunnerTest, RunsTheProgramByItsPathInTheWorkFolderWithTheArgumentsAsGiven) {
    Behave("exit 7\n");
    const std::vector<std::string> arguments = {"nvflash.exe", "--save", "backup.rom", "a \"quoted\" word\\",
                                                "100%PATH%"};
    const ToolOutcome outcome = runner.RunAndWait({tool, arguments, work});
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 7);
    EXPECT_FALSE(outcome.Succeeded());

    const std::vector<std::string> record = Record();
    ASSERT_GE(record.size(), 5u);
    EXPECT_EQ(record[1], "name nvflash64.exe");
    EXPECT_EQ(record[2], std::string("bits ") + (sizeof(void*) == 8 ? "64" : "32"));
    EXPECT_EQ(record[3], "cwd " + work.string());
    std::vector<std::string> seen;
    for (const std::string& line : record) {
        if (line.rfind("arg ", 0) == 0) seen.push_back(line.substr(4));
    }
    EXPECT_EQ(seen, arguments);
    EXPECT_EQ(ReadText(work / "backup.rom"), SimBiosImage());
}

TEST_F(ToolRunnerTest, AMissingProgramIsNotStarted) {
    const ToolOutcome outcome = runner.RunAndWait({toolDir / "missing.exe", {"nvflash.exe"}, work});
    EXPECT_FALSE(outcome.started);
    EXPECT_FALSE(outcome.Succeeded());
}

struct PumpWatch {
    HWND window = nullptr;
    int ticks = 0;
    int ticksWhileDisabled = 0;
};

PumpWatch* watch = nullptr;

void CALLBACK CountTick(HWND window, UINT, UINT_PTR, DWORD) {
    ++watch->ticks;
    if (!IsWindowEnabled(window)) ++watch->ticksWhileDisabled;
}

TEST_F(ToolRunnerTest, WindowsKeepTheirTimersButTakeNoInputWhileTheProgramRuns) {
    Behave("delay 700\n");
    PumpWatch seen;
    watch = &seen;
    seen.window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(seen.window, nullptr);
    SetTimer(seen.window, 1, 50, CountTick);
    PostQuitMessage(3);

    const ToolOutcome outcome = runner.RunAndWait({tool, {"nvflash.exe", "--save", "backup.rom"}, work});

    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_GE(seen.ticksWhileDisabled, 3) << seen.ticks << " ticks in all";
    EXPECT_TRUE(IsWindowEnabled(seen.window));
    // The quit request that came meanwhile is still there for the loop outside.
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
    KillTimer(seen.window, 1);
    DestroyWindow(seen.window);
    watch = nullptr;
}

TEST(Win32ToolRunner, SystemBitnessIsSixtyFourUnderThisWinePrefix) {
    // The prefix is a 64-bit one: a 32-bit build finds it through IsWow64Process.
    EXPECT_TRUE(Win32ToolRunner().SystemIs64Bit());
}

}  // namespace
