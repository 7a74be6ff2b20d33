// The settings side window of the real program: every option is set through its own control and
// Apply, and then read back from the configuration file and from the window it changes. Autorun goes
// through the system's Task Scheduler or, where that cannot make a logon task (Wine), the Run value.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <oleauto.h>
#include <taskschd.h>
// clang-format on

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Automation.h"
#include "SideWindowChecks.h"
#include "support/RunKeyEntry.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCloseButton = 1003;
constexpr int kSettingButton = 1139;
constexpr int kSettingClose = 1147;
constexpr int kSettingRun = 1148;
constexpr int kSettingMin = 1149;
constexpr int kSettingOc = 1150;
constexpr int kSettingTran = 1151;
constexpr int kSettingApply = 1152;
constexpr int kSettingDefault = 1153;
constexpr int kSettingTop = 1154;
constexpr int kPercentList = 1186;
constexpr int kMsgText = 1132;
constexpr UINT kTrayCallback = 0x0440;
constexpr UINT kTrayIconId = 128;

// A card the program tunes through the p-state table, so the start-up profile's core offset shows
// as one write in the driver's journal: the P0 entry's graphics clock delta, 40 bytes into the record.
constexpr const char* kPstateCard =
    "[driver]\nversion = 41130\n[gpu]\npci = 10DE 1B00 10DE 119A\nname = TITAN X\n"
    "[display]\ngpu = 0\nid = 0x80061086\n";
constexpr size_t kGraphicsDelta = 40;
constexpr int kStartupCoreOffset = 25;
// How long another program keeps the configuration file open while Apply writes it.
constexpr DWORD kReaderHoldMs = 300;

// A logon task of the program's name in the scheduler's root folder, for any user.
bool ProgramTaskExists() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const GUID schedulerClass = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
    const GUID serviceId = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    IRegisteredTaskCollection* tasks = nullptr;
    VARIANT empty;
    VariantInit(&empty);
    BSTR rootPath = SysAllocString(L"\\");
    bool found = false;
    if (SUCCEEDED(CoCreateInstance(schedulerClass, nullptr, CLSCTX_INPROC_SERVER, serviceId,
                                   reinterpret_cast<void**>(&service))) &&
        SUCCEEDED(service->Connect(empty, empty, empty, empty)) && SUCCEEDED(service->GetFolder(rootPath, &root)) &&
        SUCCEEDED(root->GetTasks(TASK_ENUM_HIDDEN, &tasks))) {
        LONG count = 0;
        tasks->get_Count(&count);
        for (LONG i = 1; i <= count; ++i) {
            VARIANT index;
            VariantInit(&index);
            index.vt = VT_I4;
            index.lVal = i;
            IRegisteredTask* task = nullptr;
            BSTR name = nullptr;
            if (SUCCEEDED(tasks->get_Item(index, &task)) && SUCCEEDED(task->get_Name(&name)) && name)
                found = found || std::wstring(name).rfind(L"CoralvaneStartUpAutoRun", 0) == 0;
            SysFreeString(name);
            if (task) task->Release();
        }
    }
    if (tasks) tasks->Release();
    if (root) root->Release();
    if (service) service->Release();
    SysFreeString(rootPath);
    CoUninitialize();
    return found;
}

// One "key=value" line of the configuration file.
bool HasSetting(const std::string& config, const std::string& key, int value) {
    return config.find("\n" + key + "=" + std::to_string(value) + "\r\n") != std::string::npos;
}

// The opacity the screen gives a window: 255 when it is not layered.
int AlphaOf(HWND window) {
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) return 255;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
    return alpha;
}

bool Topmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

int32_t HexS32(const std::string& hex, size_t byteOffset) {
    if (hex.size() < 2 * (byteOffset + 4)) return INT32_MIN;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | std::stoul(hex.substr(2 * (byteOffset + i), 2), nullptr, 16);
    return static_cast<int32_t>(value);
}

// Graphics clock deltas (kHz) of the successful p-state table writes in the driver's journal.
std::vector<int32_t> CoreDeltaWrites(const std::wstring& journal) {
    std::vector<int32_t> writes;
    std::ifstream in(fs::path(journal), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("0F4DAE6B PstateTableWrite status=0 ", 0) != 0) continue;
        const size_t begin = line.find(" in=");
        const size_t end = line.find(" out=");
        if (begin != std::string::npos && end != std::string::npos)
            writes.push_back(HexS32(line.substr(begin + 4, end - begin - 4), kGraphicsDelta));
    }
    return writes;
}

class SettingsE2e : public ::testing::Test {
protected:
    void TearDown() override { e2e::Stop(program); }

    HWND Start(const std::vector<std::wstring>& env = {}) {
        e2e::Stop(program);
        program = e2e::Launch(exe, L"", env);
        if (!program.process) return nullptr;
        return e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    }

    // Setup on the main window; the settings window comes up docked beside it.
    HWND OpenSettings(HWND main) {
        e2e::RoomOnTheLeft(main);
        if (!e2e::Click(main, kSettingButton)) return nullptr;
        HWND settings = e2e::WaitForShownControl(program.pid, kSettingApply, 20000);
        if (settings) {
            EXPECT_TRUE(e2e::WaitUntil([&] { return bool(e2e::DockedBeside(main, settings)); }, 3000))
                << e2e::DockedBeside(main, settings);
        }
        return settings;
    }

    // Waits until the configuration file says all of it.
    ::testing::AssertionResult Stored(const std::wstring& path,
                                      const std::vector<std::pair<std::string, int>>& settings) {
        const auto all = [&] {
            const std::string text = e2e::ReadBytes(path);
            for (const auto& [key, value] : settings)
                if (!HasSetting(text, key, value)) return false;
            return true;
        };
        if (e2e::WaitUntil(all, 10000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the configuration file holds:\n" << e2e::ReadBytes(path);
    }

    void End(HWND main) {
        ASSERT_TRUE(e2e::Click(main, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
        e2e::Stop(program);
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring configPath = e2e::BuildDir() + L"src\\Coralvane_DID1B80.cfg";
    e2e::Launched program;
};

TEST_F(SettingsE2e, SetupOpensDockedAndApplyStoresAutorunAndTranslucencyOnBothWindows) {
    // A first run registers autorun, so the window opens with "Run" checked.
    DeleteFileW(configPath.c_str());
    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    HWND settings = OpenSettings(main);
    ASSERT_NE(settings, nullptr) << "no settings window";
    ASSERT_TRUE(!RunKeyEntry().empty() || ProgramTaskExists()) << "the first run registered nothing";
    // This card is not of the line that may stay on top: no such option, and Apply leaves the band.
    EXPECT_FALSE(e2e::IsShown(settings, kSettingTop));
    EXPECT_FALSE(e2e::IsShown(settings, kPercentList)) << "the percentage list shows while opaque";

    // Apply while another program reads the file for a moment, as a scanner or an editor does: the
    // file is written once that reader lets go, and no failure is reported.
    ASSERT_TRUE(e2e::Click(settings, kSettingRun));
    HANDLE reader = CreateFileW(configPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letGo([reader] {
        Sleep(kReaderHoldMs);
        CloseHandle(reader);
    });
    const bool clicked = e2e::Click(settings, kSettingApply);
    letGo.join();
    ASSERT_TRUE(clicked);
    EXPECT_TRUE(Stored(configPath, {{"AutoRun", 0}}));
    EXPECT_TRUE(e2e::NoWindowShowsControl(program.pid, kMsgText)) << "a failure message after Apply";
    EXPECT_EQ(RunKeyEntry(), L"");
    EXPECT_FALSE(ProgramTaskExists());

    // On again, and 30 % translucency chosen in the list as a user does, by its first character.
    ASSERT_TRUE(e2e::Click(settings, kSettingRun));
    ASSERT_TRUE(e2e::Click(settings, kSettingTran));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsShown(settings, kPercentList); }, 5000));
    HWND list = GetDlgItem(settings, kPercentList);
    PostMessageW(list, WM_CHAR, L'3', 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ControlText(settings, kPercentList) == L"30%"; }, 5000))
        << "the list shows entry " << SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(Stored(configPath, {{"AutoRun", 1}, {"Transparence", 1}, {"TransPercent", 2}, {"Top", 0}}));
    // 30 % of full opacity, on the main window and the settings window alike.
    EXPECT_TRUE(e2e::WaitUntil([&] { return AlphaOf(main) == 76 && AlphaOf(settings) == 76; }, 5000))
        << "alpha " << AlphaOf(main) << " and " << AlphaOf(settings);
    // Wine's scheduler makes no logon task, so the Run value stands in; never both.
    EXPECT_FALSE(ProgramTaskExists());
    EXPECT_EQ(RunKeyEntry(), exe);
    EXPECT_FALSE(Topmost(main));
    EXPECT_TRUE(e2e::NoWindowShowsControl(program.pid, kMsgText)) << "a failure message after Apply";
    Sleep(300);  // the screen catches up with the new opacity
    EXPECT_TRUE(e2e::Screenshot(settings, L"settings-window-" + e2e::Bitness() + L".bmp"));

    // Opaque again: the stored percentage stays for the next time.
    ASSERT_TRUE(e2e::Click(settings, kSettingTran));
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(Stored(configPath, {{"Transparence", 0}, {"TransPercent", 2}}));
    EXPECT_TRUE(e2e::WaitUntil([&] { return AlphaOf(main) == 255 && AlphaOf(settings) == 255; }, 5000))
        << "alpha " << AlphaOf(main) << " and " << AlphaOf(settings);
    EXPECT_FALSE(e2e::IsShown(settings, kPercentList));

    ASSERT_TRUE(e2e::Click(settings, kSettingClose));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(settings); }, 5000));
    End(main);
}

TEST_F(SettingsE2e, StartMinimisedAndOverclockAtStartActAtTheNextStartAndDefaultStoresOnlyOnApply) {
    configPath = e2e::BuildDir() + L"src\\Coralvane_DID1B00.cfg";
    const std::wstring scenario = e2e::CurrentDir() + L"settings-card-" + e2e::Bitness() + L".scn";
    const std::wstring journal = e2e::CurrentDir() + L"settings-journal-" + e2e::Bitness() + L".txt";
    const std::wstring restartJournal = e2e::CurrentDir() + L"settings-restart-journal-" + e2e::Bitness() + L".txt";
    ASSERT_TRUE(e2e::WriteBytes(scenario, kPstateCard));
    const auto withJournal = [&](const std::wstring& path) {
        DeleteFileW(path.c_str());
        return std::vector<std::wstring>{L"CORALVANE_SIM_JOURNAL=" + path, L"CORALVANE_SIM_SCENARIO=" + scenario};
    };

    // The start-up profile gets a core offset, as a saved profile would give it.
    DeleteFileW(configPath.c_str());
    HWND main = Start(withJournal(journal));
    ASSERT_NE(main, nullptr) << "no main window";
    End(main);
    std::string text = e2e::ReadBytes(configPath);
    const size_t startOc = text.find("[Start_OC]\r\nCoreOffset=0\r\n");
    ASSERT_NE(startOc, std::string::npos) << text;
    text.replace(startOc, 24, "[Start_OC]\r\nCoreOffset=" + std::to_string(kStartupCoreOffset));
    ASSERT_TRUE(e2e::WriteBytes(configPath, text));

    main = Start(withJournal(journal));
    ASSERT_NE(main, nullptr) << "no main window";
    HWND settings = OpenSettings(main);
    ASSERT_NE(settings, nullptr) << "no settings window";
    ASSERT_TRUE(e2e::Click(settings, kSettingMin));
    ASSERT_TRUE(e2e::Click(settings, kSettingOc));
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(Stored(configPath, {{"StartupMinimize", 1}, {"AutoOverClock", 1}}));
    // Both wait for the next start.
    EXPECT_TRUE(IsWindowVisible(main));
    for (int32_t delta : CoreDeltaWrites(journal)) EXPECT_NE(delta, kStartupCoreOffset * 1000);
    End(main);

    // The next start goes to the notification area by itself and tunes the card from the start-up profile.
    program = e2e::Launch(exe, L"", withJournal(restartJournal));
    ASSERT_NE(program.process, nullptr);
    HWND hidden = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            hidden = e2e::WindowWithControl(program.pid, kSettingButton);
            return hidden && !IsWindowVisible(hidden) && e2e::NotificationIconShown(hidden, kTrayIconId);
        },
        20000))
        << "the main window did not start minimised to the notification area";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            for (int32_t delta : CoreDeltaWrites(restartJournal))
                if (delta == kStartupCoreOffset * 1000) return true;
            return false;
        },
        10000))
        << "the start-up profile did not reach the driver";

    // Back from the notification area; Default changes nothing until Apply.
    PostMessageW(hidden, kTrayCallback, kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(hidden) != FALSE; }, 5000));
    main = hidden;
    settings = OpenSettings(main);
    ASSERT_NE(settings, nullptr) << "no settings window";
    const std::string before = e2e::ReadBytes(configPath);
    ASSERT_TRUE(e2e::Click(settings, kSettingDefault));
    ASSERT_TRUE(e2e::Click(settings, kSettingClose));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(settings); }, 5000));
    EXPECT_EQ(e2e::ReadBytes(configPath), before);
    // Reopened, it keeps what was chosen; Apply stores the defaults.
    ASSERT_EQ(OpenSettings(main), settings);
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(Stored(configPath, {{"AutoRun", 1}, {"StartupMinimize", 0}, {"AutoOverClock", 0}, {"Transparence", 0}}));
    EXPECT_EQ(RunKeyEntry(), exe);
    End(main);
}

}  // namespace
