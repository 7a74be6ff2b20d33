#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kLightingButton = 1001;
constexpr int kScrollUp = 1005;
constexpr int kCloseButton = 1003;
// The zone page.
constexpr int kFront = 1190;
constexpr int kGreen = 1200;
constexpr int kCustom = 1204;
constexpr int kBrightness4 = 1209;
constexpr int kStrobe = 1215;
constexpr int kZoneApply = 1221;
// The colour editor.
constexpr int kRedEdit = 1224;
constexpr int kEditorApply = 1223;
constexpr int kEditorClose = 1221;
// The fan/voltage panel.
constexpr int kSwitch = 1228;

// A card whose zone controller has the plain three-zone layout.
constexpr const char* kZoneCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B00 10DE 119A\nname = TITAN X\nlighting = zone 0\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";

// A frame as the link writes it, in the journal's hexadecimal.
std::string FrameHex(const std::string& commandAndPayload, size_t payloadBytes) {
    char length[8];
    std::snprintf(length, sizeof length, "%04X", static_cast<unsigned>(payloadBytes));
    return "FFAA0000312E3000" + commandAndPayload.substr(0, 2) + length + commandAndPayload.substr(2) +
           "FF55";
}

// Index of the first write from `from` on equal to `frame`, or -1.
int FindWrite(const std::vector<std::string>& writes, const std::string& frame, size_t from = 0) {
    for (size_t i = from; i < writes.size(); ++i) {
        if (writes[i] == frame) return static_cast<int>(i);
    }
    return -1;
}

std::wstring EditText(HWND dialog, int id) {
    wchar_t buffer[64] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL,
                        1000, &copied);
    return std::wstring(buffer, copied);
}

class ZoneLightingE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring scenario = e2e::CurrentDir() + L"zone-card-" + e2e::Bitness() + L".scn";
    std::wstring journal = e2e::CurrentDir() + L"zone-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
};

TEST_F(ZoneLightingE2e, ZonePageColourEditorAndFanVoltSwitchReachTheController) {
    DeleteFileW(journal.c_str());
    ASSERT_TRUE(e2e::WriteBytes(scenario, kZoneCard));
    program =
        e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal, L"CORALVANE_SIM_SCENARIO=" + scenario});
    ASSERT_NE(program.process, nullptr);
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";

    // The zone page: the front zone strobing green at level 4.
    ASSERT_TRUE(e2e::Press(main, kLightingButton));
    HWND page = e2e::PanelHolding(main, kFront);
    ASSERT_NE(page, nullptr) << "no zone page";
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(page) != 0; }, 5000))
        << "the zone page is hidden";
    for (int id : {kFront, kStrobe, kGreen, kBrightness4, kZoneApply})
        ASSERT_TRUE(e2e::Press(page, id)) << id;
    const std::string colour = FrameHex(
        "04"
        "01009F0001",
        5);
    const std::string effect = FrameHex(
        "08"
        "0104070D1000",
        6);
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            const auto writes = e2e::I2cWrites(journal);
            const int at = FindWrite(writes, FrameHex("0B"
                                                      "0100",
                                                      2));
            return at >= 0 && FindWrite(writes, colour, size_t(at)) > at &&
                   FindWrite(writes, effect, size_t(at)) > at;
        },
        5000))
        << "no strobe frames for the front zone in the journal";
    // The page and the dials finish painting.
    Sleep(1500);
    EXPECT_TRUE(e2e::Screenshot(main, L"zone-page-" + e2e::Bitness() + L".bmp"));

    // The colour editor docks to the main window's left edge: room for it on the screen first.
    SetWindowPos(main, nullptr, 360, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::WaitUntil(
        [&] {
            RECT r{};
            GetWindowRect(main, &r);
            return r.left == 360;
        },
        5000);
    ASSERT_TRUE(e2e::Press(page, kCustom));
    HWND editor = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::WindowsOf(program.pid)) {
                if (w != main && e2e::IsShown(w, kRedEdit)) editor = w;
            }
            return editor != nullptr;
        },
        5000))
        << "no colour editor";
    RECT editorRect{}, mainRect{};
    GetWindowRect(editor, &editorRect);
    GetWindowRect(main, &mainRect);
    EXPECT_EQ(editorRect.right, mainRect.left);
    EXPECT_EQ(EditText(editor, kRedEdit), L"0");

    // A press on the wheel's right rim: pure red at the value of the zone's green (255).
    const LPARAM rim = MAKELPARAM(255, 223);
    PostMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, rim);
    PostMessageW(editor, WM_LBUTTONUP, 0, rim);
    ASSERT_TRUE(e2e::WaitUntil([&] { return EditText(editor, kRedEdit) == L"255"; }, 5000))
        << "the pick did not reach the edits: " << EditText(editor, kRedEdit).size();
    Sleep(1000);
    EXPECT_TRUE(e2e::Screenshot(editor, L"zone-editor-" + e2e::Bitness() + L".bmp"));
    const size_t before = e2e::I2cWrites(journal).size();
    ASSERT_TRUE(e2e::Press(editor, kEditorApply));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return FindWrite(e2e::I2cWrites(journal),
                             FrameHex("04"
                                      "01FF000001",
                                      5),
                             before) >= 0;
        },
        5000))
        << "the editor's App sent no custom colour";
    ASSERT_TRUE(e2e::Press(editor, kEditorClose));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(editor); }, 5000));

    // The fan/voltage panel's switch starts on (the controller's status) and goes off, then on.
    ASSERT_TRUE(e2e::Press(main, kScrollUp));
    HWND panel = e2e::PanelHolding(main, kSwitch);
    ASSERT_NE(panel, nullptr) << "no fan/voltage panel";
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(panel) != 0; }, 5000));
    EXPECT_FALSE(IsWindowVisible(page));
    const size_t switchFrom = e2e::I2cWrites(journal).size();
    ASSERT_TRUE(e2e::Press(panel, kSwitch));
    ASSERT_TRUE(e2e::Press(panel, kSwitch));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const auto writes = e2e::I2cWrites(journal);
            return writes.size() >= switchFrom + 2 && writes[switchFrom] == "FFAA0000312E30000C000100FF55" &&
                   writes[switchFrom + 1] == "FFAA0000312E30000C000101FF55";
        },
        5000))
        << "the switch frames are missing";
    Sleep(1000);
    EXPECT_TRUE(e2e::Screenshot(main, L"zone-fanvolt-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Press(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
}

}  // namespace
