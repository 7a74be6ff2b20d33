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
constexpr int kCloseButton = 1003;
// The accessory page's controls.
constexpr int kIdleFrontMode1 = 1079;  // "->->"
constexpr int kIdleFrontCycle = 1135;
constexpr int kApplyButton = 1130;

// A card with the accessory-model controller on board (device id 0x1B82). The simulated controller's
// status holds Idle "----" red beside a steady blue rear, both zones lit.
constexpr const char* kCardAccessoryCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B82 10DE 119E\nname = GeForce GTX 1070 Ti\n"
    "lighting = card_accessory\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";

// A card without lighting of its own.
constexpr const char* kPlainCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B80 10DE 119E\nname = GeForce GTX 1080\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";

// A lighting frame in the journal's hexadecimal: FF AA 00 00 "1.0" command, length, payload, FF 55.
std::string FrameHex(uint8_t command, std::vector<uint8_t> payload) {
    std::vector<uint8_t> bytes{
        0xFF, 0xAA, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x00, command, 0x00, static_cast<uint8_t>(payload.size())};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    bytes.push_back(0xFF);
    bytes.push_back(0x55);
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

class AccessoryPageE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    // `name` keeps each test's scenario and journal apart.
    HWND Start(const std::wstring& name, const char* card, std::vector<std::wstring> env = {}) {
        scenario = e2e::CurrentDir() + name + L"-" + e2e::Bitness() + L".scn";
        journal = e2e::CurrentDir() + name + L"-journal-" + e2e::Bitness() + L".txt";
        DeleteFileW(journal.c_str());
        if (!e2e::WriteBytes(scenario, card)) return nullptr;
        env.push_back(L"CORALVANE_SIM_JOURNAL=" + journal);
        env.push_back(L"CORALVANE_SIM_SCENARIO=" + scenario);
        program = e2e::Launch(exe, L"", env);
        if (!program.process) return nullptr;
        return e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    }

    void Close(HWND main) {
        ASSERT_TRUE(e2e::Click(main, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
        e2e::Stop(program);
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring accessoryJournal = e2e::CurrentDir() + L"usb-accessory-commands-" + e2e::Bitness() + L".txt";
    std::wstring scenario;
    std::wstring journal;
    e2e::Launched program;
};

TEST_F(AccessoryPageE2e, CardFrontZoneChangeReachesTheControllerOnApply) {
    HWND main = Start(L"card-accessory", kCardAccessoryCard);
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::Click(main, kLightingButton));
    HWND page = e2e::PanelHolding(main, kApplyButton);
    ASSERT_NE(page, nullptr) << "no accessory page";
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000)) << "page not shown";

    ASSERT_TRUE(e2e::Click(page, kIdleFrontMode1));
    ASSERT_TRUE(e2e::Click(page, kIdleFrontCycle));
    const size_t before = e2e::I2cWrites(journal).size();
    ASSERT_TRUE(e2e::Click(page, kApplyButton));

    // Idle: "->->" cycling beside the steady blue rear.
    const std::vector<std::string> expected{FrameHex(0x0B, {1, 0}),
                                            FrameHex(0x09, {1, 0xFF, 0xFF}),
                                            FrameHex(0x08, {1, 11, 7, 0x0D, 9, 0, 3, 2}),
                                            FrameHex(0x09, {0, 0xFF, 0xFF}),
                                            FrameHex(0x08, {0, 0, 0, 0, 0, 0, 0, 0}),
                                            FrameHex(0x04, {0, 0, 0, 255, 1}),
                                            FrameHex(0x0B, {0, 0})};
    std::vector<std::string> sent;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const auto writes = e2e::I2cWrites(journal);
            sent.assign(writes.begin() + long(std::min(before, writes.size())), writes.end());
            return sent.size() >= expected.size();
        },
        5000));
    EXPECT_EQ(sent, expected);
    Sleep(300);
    EXPECT_TRUE(e2e::Screenshot(main, L"accessory-card-" + e2e::Bitness() + L".bmp"));
    Close(main);
}

TEST_F(AccessoryPageE2e, UsbAccessoryTakesTheIdleSettingOnApply) {
    DeleteFileW(accessoryJournal.c_str());
    HWND main =
        Start(L"usb-accessory", kPlainCard,
              {L"CORALVANE_SIM_ACCESSORY=A1", L"CORALVANE_SIM_ACCESSORY_JOURNAL=" + accessoryJournal});
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::Click(main, kLightingButton));
    HWND page = e2e::PanelHolding(main, kApplyButton);
    ASSERT_NE(page, nullptr) << "no accessory page";
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000)) << "page not shown";

    // The page asks for the state at once; its buttons wait until the reader has brought it.
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(accessoryJournal).rfind("F5 00 00 00 00 00 00\n", 0) == 0; }, 5000))
        << e2e::ReadBytes(accessoryJournal);
    const std::string idle = "F0 03 04 00 04 00 00\n";  // the accessory's defaults, as reported
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            if (e2e::ReadBytes(accessoryJournal).find(idle) != std::string::npos) return true;
            e2e::Click(page, kApplyButton);
            return false;
        },
        10000))
        << e2e::ReadBytes(accessoryJournal);
    Sleep(300);
    EXPECT_TRUE(e2e::Screenshot(main, L"accessory-usb-" + e2e::Bitness() + L".bmp"));
    Close(main);
    DeleteFileW(accessoryJournal.c_str());
}

}  // namespace
