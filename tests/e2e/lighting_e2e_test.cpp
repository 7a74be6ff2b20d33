#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Automation.h"

namespace {

constexpr int kLightingButton = 1001;
constexpr int kCloseButton = 1003;
constexpr int kStaticButton = 1040;
constexpr int kBlueRow1 = 1052;
constexpr int kWhiteRow2 = 1061;
constexpr int kBrightness5 = 1067;
constexpr int kApplyButton = 1047;
// A card with the register controller: two zones, colour cycle at start.
constexpr const char* kLightingCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B80 10DE 119E\nname = GeForce GTX 1080\n"
    "lighting = register 02 03 00 00 E0 00 00\n[display]\ngpu = 0\nid = 0x80061086\n";

BOOL CALLBACK FindById(HWND child, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<int, HWND>*>(param);
    if (GetDlgCtrlID(child) != found->first) return TRUE;
    found->second = child;
    return FALSE;
}

// The lighting page: the child dialog of the main window that holds the Static button.
HWND LightingPage(HWND main) {
    std::pair<int, HWND> found{kStaticButton, nullptr};
    EnumChildWindows(main, FindById, reinterpret_cast<LPARAM>(&found));
    return found.second ? GetParent(found.second) : nullptr;
}

// True once the journal holds a successful I2C write of exactly these bytes.
bool HasI2cWrite(const std::wstring& journal, const std::string& hex) {
    std::ifstream in(std::filesystem::path(journal), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.find(" NvAPI_I2CWrite status=0 ") == std::string::npos) continue;
        const size_t at = line.find(" data=");
        if (at != std::string::npos && line.substr(at + 6) == hex) return true;
    }
    return false;
}

}  // namespace

TEST(LightingE2e, RegisterControllerPageSendsTheChosenEffect) {
    const std::wstring scenario = e2e::CurrentDir() + L"lighting-card-" + e2e::Bitness() + L".scn";
    const std::wstring journal = e2e::CurrentDir() + L"lighting-journal-" + e2e::Bitness() + L".txt";
    DeleteFileW(journal.c_str());
    ASSERT_TRUE(e2e::WriteBytes(scenario, kLightingCard));
    e2e::Launched program = e2e::Launch(e2e::BuildDir() + L"src\\Coralvane.exe", L"",
                                        {L"CORALVANE_SIM_JOURNAL=" + journal, L"CORALVANE_SIM_SCENARIO=" + scenario});
    ASSERT_NE(program.process, nullptr);
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND page = LightingPage(main);
    ASSERT_NE(page, nullptr) << "no lighting page";
    EXPECT_FALSE(IsWindowVisible(page));

    ASSERT_TRUE(e2e::Click(main, kLightingButton));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000)) << "the page stays hidden";
    for (int id : {kStaticButton, kBlueRow1, kWhiteRow2, kBrightness5}) ASSERT_TRUE(e2e::Click(page, id));
    EXPECT_FALSE(HasI2cWrite(journal, "F00406A0")) << "sent before Apply";
    ASSERT_TRUE(e2e::Click(page, kApplyButton));
    EXPECT_TRUE(e2e::WaitUntil([&] { return HasI2cWrite(journal, "F00406A0"); }, 5000))
        << "the driver received no register write F0 04 06 A0";
    Sleep(300);
    EXPECT_TRUE(e2e::Screenshot(main, L"lighting-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
    e2e::Stop(program);
}
