#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kCoreSlider = 1011;
constexpr int kCoreEdit = 1009;
constexpr int kMemEdit = 1010;
constexpr int kApplyButton = 1026;
constexpr int kProfileButton1 = 1028;
constexpr int kSaveButton = 1031;
constexpr int kCloseButton = 1003;
constexpr int kMsgOk = 1130;
constexpr int kCoreSteps = 25;
// A card the program tunes through the p-state table (its device id is not a curve card's).
constexpr const char* kPstateCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B00 10DE 119A\nname = TITAN X\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";
constexpr int kMemOffset = 300;
// The p-state write's record: the P0 entry at 20, its clock entries 44 bytes apart from 28, each
// with its frequency delta 12 bytes in; graphics first, then memory.
constexpr size_t kGraphicsDelta = 40;
constexpr size_t kMemoryDelta = 84;

int32_t HexS32(const std::string& hex, size_t byteOffset) {
    if (hex.size() < 2 * (byteOffset + 4)) return INT32_MIN;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | std::stoul(hex.substr(2 * (byteOffset + i), 2), nullptr, 16);
    }
    return static_cast<int32_t>(value);
}

struct ClockWrite {
    int32_t graphicsKhz = 0;
    int32_t memoryKhz = 0;
};

// The clock deltas of every successful p-state table write in the journal.
std::vector<ClockWrite> ClockWrites(const std::wstring& journal) {
    std::vector<ClockWrite> writes;
    std::ifstream in(std::filesystem::path(journal), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("0F4DAE6B PstateTableWrite status=0 ", 0) != 0) continue;
        const size_t begin = line.find(" in=");
        const size_t end = line.find(" out=");
        if (begin == std::string::npos || end == std::string::npos) continue;
        const std::string hex = line.substr(begin + 4, end - begin - 4);
        writes.push_back({HexS32(hex, kGraphicsDelta), HexS32(hex, kMemoryDelta)});
    }
    return writes;
}

bool HasClockWrite(const std::wstring& journal, int32_t graphicsKhz, int32_t memoryKhz) {
    for (const ClockWrite& w : ClockWrites(journal)) {
        if (w.graphicsKhz == graphicsKhz && w.memoryKhz == memoryKhz) return true;
    }
    return false;
}

// The overclock page: the child dialog of the main window that holds the core slider.
HWND OverclockPage(HWND main) {
    return e2e::PanelHolding(main, kCoreSlider);
}

// The message dialog the program shows, once it is up.
HWND WaitForMessage(DWORD pid, HWND main) {
    HWND message = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::WindowsOf(pid)) {
                if (w != main && e2e::IsShown(w, kMsgOk)) {
                    message = w;
                    return true;
                }
            }
            return false;
        },
        10000);
    return message;
}

bool AnswerOk(DWORD pid, HWND main) {
    HWND message = WaitForMessage(pid, main);
    if (!message) return false;
    e2e::Click(message, kMsgOk);
    return e2e::WaitUntil([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 5000);
}

// The user clicks into an edit, replaces its text and presses Enter, which commits it.
void EnterText(HWND page, int id, const std::wstring& text) {
    HWND edit = GetDlgItem(page, id);
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Sleep(200);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    e2e::PressKey(edit, VK_RETURN);
}

// An edit's text: asked of the control itself, since the system answers another process's edits
// with their window caption.
std::wstring EditText(HWND page, int id) {
    wchar_t buffer[64] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(GetDlgItem(page, id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL,
                        1000, &copied);
    return std::wstring(buffer, copied);
}

// "key=value" and the line end, as the configuration file holds it.
std::string KeyLine(const char* key, int value) {
    char line[64];
    std::snprintf(line, sizeof line, "%s=%d\r\n", key, value);
    return line;
}

// The text of one section of the configuration file, up to the next section.
std::string Section(const std::string& text, const std::string& name) {
    const size_t begin = text.find("[" + name + "]");
    if (begin == std::string::npos) return {};
    const size_t end = text.find("\n[", begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

class OverclockE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    HWND Start(const std::wstring& journalPath) {
        DeleteFileW(journalPath.c_str());
        if (!e2e::WriteBytes(scenario, kPstateCard)) return nullptr;
        program = e2e::Launch(
            exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journalPath, L"CORALVANE_SIM_SCENARIO=" + scenario});
        if (!program.process) return nullptr;
        return e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    }

    void Close(HWND main) {
        ASSERT_TRUE(e2e::Click(main, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
        e2e::Stop(program);
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring config = e2e::BuildDir() + L"src\\Coralvane_DID1B00.cfg";
    std::wstring scenario = e2e::CurrentDir() + L"overclock-card-" + e2e::Bitness() + L".scn";
    std::wstring journal = e2e::CurrentDir() + L"overclock-journal-" + e2e::Bitness() + L".txt";
    std::wstring restartJournal =
        e2e::CurrentDir() + L"overclock-restart-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
};

TEST_F(OverclockE2e, ApplySaveAndStartupProfileReachTheDriver) {
    DeleteFileW(config.c_str());
    HWND main = Start(journal);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND page = OverclockPage(main);
    ASSERT_NE(page, nullptr) << "no overclock page";

    HWND slider = GetDlgItem(page, kCoreSlider);
    for (int i = 0; i < kCoreSteps; ++i) e2e::PressKey(slider, VK_RIGHT);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return EditText(page, kCoreEdit) == std::to_wstring(kCoreSteps); }, 5000))
        << "the core edit does not follow the slider";
    EnterText(page, kMemEdit, std::to_wstring(kMemOffset));
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return EditText(page, kMemEdit) == std::to_wstring(kMemOffset); }, 5000));

    ASSERT_TRUE(e2e::Click(page, kApplyButton));
    ASSERT_TRUE(AnswerOk(program.pid, main)) << "no question before applying";
    EXPECT_TRUE(
        e2e::WaitUntil([&] { return HasClockWrite(journal, kCoreSteps * 1000, kMemOffset * 1000); }, 5000))
        << "the driver received no p-state write with the new offsets";
    Sleep(500);
    EXPECT_TRUE(e2e::Screenshot(main, L"overclock-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Click(main, kProfileButton1));
    ASSERT_TRUE(e2e::Click(main, kSaveButton));
    ASSERT_TRUE(AnswerOk(program.pid, main)) << "no question before saving";
    const std::string core = KeyLine("CoreOffset", kCoreSteps);
    const std::string mem = KeyLine("MemOffset", kMemOffset);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const std::string text = e2e::ReadBytes(config);
            const std::string profile = Section(text, "Profile1");
            const std::string start = Section(text, "Start_OC");
            return profile.find(core) != std::string::npos && profile.find(mem) != std::string::npos &&
                   start.find(core) != std::string::npos && start.find(mem) != std::string::npos;
        },
        5000))
        << e2e::ReadBytes(config);
    Close(main);

    std::string text = e2e::ReadBytes(config);
    const size_t at = text.find("AutoOverClock=0");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 15, "AutoOverClock=1");
    ASSERT_TRUE(e2e::WriteBytes(config, text));

    main = Start(restartJournal);
    ASSERT_NE(main, nullptr) << "no main window after the restart";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return HasClockWrite(restartJournal, kCoreSteps * 1000, kMemOffset * 1000); }, 10000))
        << "the start-up profile did not reach the driver";
    for (HWND w : e2e::WindowsOf(program.pid))
        EXPECT_FALSE(e2e::IsShown(w, kMsgOk)) << "a question at start-up";
    HWND restartedPage = OverclockPage(main);
    ASSERT_NE(restartedPage, nullptr);
    EXPECT_EQ(EditText(restartedPage, kCoreEdit), std::to_wstring(kCoreSteps));
    Close(main);
}

}  // namespace
