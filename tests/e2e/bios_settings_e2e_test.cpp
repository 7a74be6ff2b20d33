// The BIOS and settings side windows of the real program: nvflash is the simulated one (both builds
// in the program's BIOS folder), files are chosen in the system's real file dialogs, and autorun
// goes through the system's Task Scheduler or, where that cannot make a logon task (Wine), the Run
// value.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <oleauto.h>
#include <taskschd.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "Automation.h"
#include "sim/nvflash/NvflashImage.h"
#include "support/RunKeyEntry.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSettingButton = 1139;
constexpr int kBiosButton = 1140;
constexpr int kCloseButton = 1003;
constexpr int kBiosSave = 1144;
constexpr int kBiosLoad = 1145;
constexpr int kSettingRun = 1148;
constexpr int kSettingTran = 1151;
constexpr int kSettingApply = 1152;
constexpr int kPercentList = 1186;
constexpr int kMsgOk = 1130;
constexpr int kMsgClose = 1131;
constexpr int kMsgText = 1132;

// A visible top-level window of the process that holds control `id`.
HWND WindowWithControl(DWORD pid, int id, DWORD timeoutMs) {
    HWND hit = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::WindowsOf(pid))
                if (GetDlgItem(w, id)) hit = w;
            return hit != nullptr;
        },
        timeoutMs);
    return hit;
}

HWND WaitForFileDialog(DWORD pid) {
    HWND hit = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::WindowsOf(pid)) {
                wchar_t name[16] = {};
                GetClassNameW(w, name, 16);
                if (std::wstring(name) == L"#32770") hit = w;
            }
            return hit != nullptr;
        },
        20000);
    return hit;
}

// Types a full path into the file dialog's name box and presses its OK button.
bool ChooseFile(HWND dialog, const std::wstring& path) {
    HWND name = GetDlgItem(dialog, 0x47c);        // cmb13
    if (!name) name = GetDlgItem(dialog, 0x480);  // edt1
    if (!name) return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return true;
}

// A logon task of the program's name in the scheduler's root folder, for any user.
bool ProgramTaskExists() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const GUID schedulerClass = {
        0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
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
        SUCCEEDED(service->Connect(empty, empty, empty, empty)) &&
        SUCCEEDED(service->GetFolder(rootPath, &root)) &&
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

std::vector<std::string> LogLines(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

// What is left in the BIOS folder besides the tools, their behaviour file and their log.
std::vector<std::wstring> StrayEntries(const std::wstring& folder) {
    std::vector<std::wstring> stray;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(folder), ec)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.rfind(L"nvflash", 0) != 0) stray.push_back(name);
    }
    return stray;
}

class BiosSettingsE2e : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        fs::remove_all(fs::path(biosFolder), ec);
        fs::remove_all(fs::path(userFolder), ec);
        fs::create_directories(fs::path(biosFolder));
        fs::create_directories(fs::path(userFolder));
        // Both builds, as shipped; the program must pick the 64-bit one on this 64-bit system.
        const std::wstring builds = e2e::BuildDir() + L"..\\";
        fs::copy_file(fs::path(builds + L"win64\\sim\\nvflash64.exe"),
                      fs::path(biosFolder + L"nvflash64.exe"), ec);
        ASSERT_FALSE(ec) << "the 64-bit simulated nvflash is not built";
        fs::copy_file(fs::path(builds + L"win32\\sim\\nvflash32.exe"),
                      fs::path(biosFolder + L"nvflash32.exe"), ec);
    }
    void TearDown() override {
        e2e::Stop(program);
        std::error_code ec;
        fs::remove_all(fs::path(biosFolder), ec);
        fs::remove_all(fs::path(userFolder), ec);
    }

    HWND Start() {
        program = e2e::Launch(exe, L"");
        if (!program.process) return nullptr;
        return e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    }
    void Behave(const std::string& text) { std::ofstream(fs::path(biosFolder + L"nvflash-sim.txt")) << text; }
    std::vector<std::string> Log() { return LogLines(biosFolder + L"nvflash-sim.log"); }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring config = e2e::BuildDir() + L"src\\Coralvane_DID1B80.cfg";
    std::wstring biosFolder = e2e::BuildDir() + L"src\\BIOS\\";
    std::wstring userFolder = e2e::CurrentDir() + L"my roms 100% " + e2e::Bitness() + L"\\";
    e2e::Launched program;
};

TEST_F(BiosSettingsE2e, BiosSavesThroughTheFileDialogFlashesABackupRomAndReportsAFailingTool) {
    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::Click(main, kBiosButton));
    HWND bios = WindowWithControl(program.pid, kBiosSave, 10000);
    ASSERT_NE(bios, nullptr) << "no BIOS window";
    Sleep(500);
    EXPECT_TRUE(e2e::Screenshot(bios, L"bios-window-" + e2e::Bitness() + L".bmp"));

    // Save: the tool takes its time, and meanwhile the windows wait without freezing.
    Behave("delay 1500\n");
    const std::wstring saved = userFolder + L"card 1.rom";
    ASSERT_TRUE(e2e::Click(bios, kBiosSave));
    HWND saveDialog = WaitForFileDialog(program.pid);
    ASSERT_NE(saveDialog, nullptr) << "no save dialog";
    EXPECT_TRUE(e2e::Screenshot(saveDialog, L"bios-save-dialog-" + e2e::Bitness() + L".bmp"));
    ASSERT_TRUE(ChooseFile(saveDialog, saved));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(main) && !IsWindowEnabled(bios); }, 5000))
        << "the windows take input while nvflash runs";
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0)
        << "the program does not answer while nvflash runs";
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadBytes(saved) == SimBiosImage(); }, 20000))
        << "the chosen file does not hold the image";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) && IsWindowEnabled(bios); }, 5000));
    std::vector<std::string> log = Log();
    EXPECT_TRUE(HasLine(log, "name nvflash64.exe"));
    EXPECT_TRUE(HasLine(log, "bits 64"));
    EXPECT_TRUE(HasLine(log, "cmdline \"nvflash.exe\" \"--save\" \"backup.rom\""));
    EXPECT_TRUE(StrayEntries(biosFolder).empty());

    // A failing tool: the failure text, no file at the chosen name, nothing left behind.
    Behave("partial 100\nexit 3\n");
    const std::wstring failed = userFolder + L"failed.rom";
    ASSERT_TRUE(e2e::Click(bios, kBiosSave));
    HWND failDialog = WaitForFileDialog(program.pid);
    ASSERT_NE(failDialog, nullptr);
    ASSERT_TRUE(ChooseFile(failDialog, failed));
    HWND message = WindowWithControl(program.pid, kMsgText, 20000);
    ASSERT_NE(message, nullptr) << "no failure message";
    EXPECT_EQ(e2e::TextOf(message, kMsgText), L"保存BIOS失败！");
    Sleep(500);
    EXPECT_TRUE(e2e::Screenshot(message, L"bios-failure-" + e2e::Bitness() + L".bmp"));
    EXPECT_TRUE(e2e::Click(message, kMsgClose));
    EXPECT_FALSE(fs::exists(fs::path(failed)));
    EXPECT_TRUE(StrayEntries(biosFolder).empty());

    // Load of the user's own "backup.rom": flashed whole, and still there afterwards.
    Behave("");
    const std::wstring source = userFolder + L"backup.rom";
    ASSERT_TRUE(e2e::WriteBytes(source, SimBiosImage()));
    ASSERT_TRUE(e2e::WaitUntil([&] { return WindowWithControl(program.pid, kMsgText, 0) == nullptr; }, 5000));
    ASSERT_TRUE(e2e::Click(bios, kBiosLoad));
    HWND question = WindowWithControl(program.pid, kMsgOk, 10000);
    ASSERT_NE(question, nullptr) << "no flash confirmation";
    EXPECT_EQ(e2e::TextOf(question, kMsgText), L"刷新BIOS可能会导致显卡故障，确认继续？");
    ASSERT_TRUE(e2e::Click(question, kMsgOk));
    HWND openDialog = WaitForFileDialog(program.pid);
    ASSERT_NE(openDialog, nullptr) << "no open dialog";
    ASSERT_TRUE(ChooseFile(openDialog, source));
    const std::string flashed =
        "flashed " + std::to_string(kSimBiosImageBytes) + " " + SimImageHash(SimBiosImage());
    EXPECT_TRUE(e2e::WaitUntil([&] { return HasLine(Log(), flashed); }, 20000)) << "nothing flashed";
    EXPECT_TRUE(HasLine(Log(), "cmdline \"nvflash.exe\" \"backup.rom\" \"-A\" \"-6\""));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(bios) != FALSE; }, 5000));
    EXPECT_EQ(e2e::ReadBytes(source), SimBiosImage());
    EXPECT_EQ(WindowWithControl(program.pid, kMsgText, 0), nullptr) << "a message after a good flash";
    EXPECT_TRUE(StrayEntries(biosFolder).empty());

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
}

TEST_F(BiosSettingsE2e, SettingsApplyRemovesAndRegistersAutorunAndSetsTranslucency) {
    // A first run registers autorun, so the window opens with "Run" checked.
    DeleteFileW(config.c_str());
    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(e2e::Click(main, kSettingButton));
    HWND settings = WindowWithControl(program.pid, kSettingApply, 40000);
    if (!settings) {
        for (HWND w : e2e::WindowsOf(program.pid)) {
            RECT r{};
            GetWindowRect(w, &r);
            ADD_FAILURE() << "window " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top
                          << " msg=" << (GetDlgItem(w, kMsgText) != nullptr) << " run=" << (GetDlgItem(w, kSettingRun) != nullptr)
                          << " text=" << e2e::TextOf(w, kMsgText).size();
        }
    }
    ASSERT_NE(settings, nullptr) << "no settings window";
    ASSERT_FALSE(RunKeyEntry().empty() && !ProgramTaskExists()) << "the first run registered nothing";

    ASSERT_TRUE(e2e::Click(settings, kSettingRun));
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(config).find("AutoRun=0\r\n") != std::string::npos; }, 5000));
    EXPECT_EQ(RunKeyEntry(), L"");
    EXPECT_FALSE(ProgramTaskExists());

    // On again, with 30 % translucency.
    ASSERT_TRUE(e2e::Click(settings, kSettingRun));
    ASSERT_TRUE(e2e::Click(settings, kSettingTran));
    HWND list = GetDlgItem(settings, kPercentList);
    ASSERT_NE(list, nullptr);
    SendMessageW(list, CB_SETCURSEL, 7, 0);
    SendMessageW(settings, WM_COMMAND, MAKEWPARAM(kPercentList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(e2e::Click(settings, kSettingApply));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadBytes(config).find("AutoRun=1\r\n") != std::string::npos; }, 5000));
    // Wine's scheduler makes no logon task, so the Run value stands in; never both.
    EXPECT_FALSE(ProgramTaskExists());
    EXPECT_EQ(RunKeyEntry(), exe);
    EXPECT_NE(e2e::ReadBytes(config).find("Transparence=1\r\nTransPercent=2\r\n"), std::string::npos);
    // The alpha itself cannot be read from another process under Wine; the layered style can.
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    Sleep(500);
    EXPECT_TRUE(e2e::Screenshot(settings, L"settings-window-" + e2e::Bitness() + L".bmp"));

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
}

}  // namespace
