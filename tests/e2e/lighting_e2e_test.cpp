#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Automation.h"

namespace {

constexpr int kLightingButton = 1001;
// The register controller's page: a child of the main window under its template number.
constexpr int kLedPage = 155;
constexpr int kCloseButton = 1003;
// The register controller's page.
constexpr int kStaticButton = 1040;
constexpr int kLogoButton = 1044;
constexpr int kDefaultButton = 1046;
constexpr int kApplyButton = 1047;
constexpr int kBlueRow1 = 1052;
constexpr int kWhiteRow2 = 1061;
constexpr int kBrightness5 = 1067;

// A card with the register controller: logo and armor zones, colour cycle, both lit.
constexpr const char* kLightingCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B80 10DE 119E\nname = GeForce GTX 1080\n"
    "lighting = register 02 03 00 00 E0 00 00\n[display]\ngpu = 0\nid = 0x80061086\n";

// The writes after the first `from`.
std::vector<std::string> WritesSince(const std::wstring& journal, size_t from) {
    std::vector<std::string> writes = e2e::I2cWrites(journal);
    writes.erase(writes.begin(), writes.begin() + static_cast<std::ptrdiff_t>(std::min(from, writes.size())));
    return writes;
}

class LightingE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring scenario = e2e::CurrentDir() + L"lighting-card-" + e2e::Bitness() + L".scn";
    std::wstring journal = e2e::CurrentDir() + L"lighting-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
};

TEST_F(LightingE2e, RegisterControllerPageSendsTheChosenEffectLogoAndDefault) {
    DeleteFileW(journal.c_str());
    ASSERT_TRUE(e2e::WriteBytes(scenario, kLightingCard));
    program =
        e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal, L"CORALVANE_SIM_SCENARIO=" + scenario});
    ASSERT_NE(program.process, nullptr);
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND page = GetDlgItem(main, kLedPage);
    ASSERT_NE(page, nullptr) << "no lighting page";
    EXPECT_FALSE(IsWindowVisible(page));
    // A page not shown yet has no control windows; they are made as it is first shown.
    EXPECT_EQ(GetDlgItem(page, kStaticButton), nullptr);

    ASSERT_TRUE(e2e::Press(main, kLightingButton));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000))
        << "the page stays hidden";
    for (int id : {kStaticButton, kLogoButton, kDefaultButton, kApplyButton, kBlueRow1, kBrightness5})
        EXPECT_TRUE(e2e::IsShown(page, id)) << id << " is not on the shown page";
    // The detection's probe is all the card has been sent so far.
    const size_t from = e2e::I2cWrites(journal).size();
    for (int id : {kStaticButton, kBlueRow1, kWhiteRow2, kBrightness5})
        ASSERT_TRUE(e2e::Press(page, id)) << id;
    EXPECT_TRUE(WritesSince(journal, from).empty()) << "sent before Apply";
    ASSERT_TRUE(e2e::Press(page, kApplyButton));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return WritesSince(journal, from) == std::vector<std::string>{"F00406A0"}; }, 5000))
        << "the driver received no register write F0 04 06 A0";
    // The page and the dials finish painting.
    Sleep(1000);
    EXPECT_TRUE(e2e::Screenshot(main, L"lighting-page-" + e2e::Bitness() + L".bmp"));

    // The logo goes dark at once, then Default puts the controller back.
    ASSERT_TRUE(e2e::Press(page, kLogoButton));
    ASSERT_TRUE(e2e::Press(page, kDefaultButton));
    const std::vector<std::string> expected{"F00406A0", "F7010000", "F8000000"};
    EXPECT_TRUE(e2e::WaitUntil([&] { return WritesSince(journal, from) == expected; }, 5000))
        << "the logo and Default writes are missing";

    ASSERT_TRUE(e2e::Press(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
}

}  // namespace
