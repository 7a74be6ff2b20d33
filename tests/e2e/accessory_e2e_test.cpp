// The accessory connection inside a real window: timers, the reader thread and PostToUi through the
// Win32 host, against the simulated accessories the program's test switch injects, and against the
// system's HID interfaces, where no accessory is plugged in.
#include <gtest/gtest.h>

#include <string>

#include "Automation.h"

namespace {

constexpr int kApply = 1130;
constexpr int kStatus = 1020;

std::wstring JournalPath() {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + L"coralvane-accessory-" + e2e::Bitness() + L".txt";
}

class AccessoryProbe {
public:
    explicit AccessoryProbe(const std::vector<std::wstring>& env) {
        process = e2e::Launch(e2e::ExeDir() + L"accessory_probe.exe", L"", env);
        if (process.process) dialog = e2e::WaitForWindow(process.pid, L"accessory probe", 20000);
    }
    ~AccessoryProbe() { e2e::Stop(process); }
    std::wstring Status() const { return e2e::TextOf(dialog, kStatus); }
    bool WaitForStatus(const std::wstring& part) const {
        return e2e::WaitUntil([&] { return Status().find(part) != std::wstring::npos; }, 10000);
    }

    e2e::Launched process;
    HWND dialog = nullptr;
};

TEST(AccessoryEndToEnd, SimulatedAccessoryReportsItsStateAndTakesTheIdleSetting) {
    const std::wstring journal = JournalPath();
    DeleteFileW(journal.c_str());
    AccessoryProbe probe({L"CORALVANE_SIM_ACCESSORY=A1,B2", L"CORALVANE_SIM_ACCESSORY_JOURNAL=" + journal});
    ASSERT_NE(probe.dialog, nullptr);
    EXPECT_TRUE(probe.WaitForStatus(L"count=2 connect=0 awaiting=0 state=3 4 0 4 3 0 1 0 0 0"))
        << probe.Status();
    ASSERT_TRUE(e2e::Click(probe.dialog, kApply));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(journal) == "F5 00 00 00 00 00 00\nF0 01 02 00 04 00 00\n"; }, 5000))
        << e2e::ReadBytes(journal);
    EXPECT_TRUE(e2e::Screenshot(probe.dialog, L"accessory-probe-" + e2e::Bitness() + L".bmp"));

    // Closing joins the reader and ends the process promptly.
    PostMessageW(probe.dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(e2e::WaitExit(probe.process, 5000), 2);
    DeleteFileW(journal.c_str());
}

TEST(AccessoryEndToEnd, WithoutAnAccessoryTheSystemListFindsNoneAndNothingHangs) {
    AccessoryProbe probe({});
    ASSERT_NE(probe.dialog, nullptr);
    EXPECT_TRUE(probe.WaitForStatus(L"count=0 connect=1 awaiting=1")) << probe.Status();
    PostMessageW(probe.dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(e2e::WaitExit(probe.process, 5000), 2);
}

}  // namespace
