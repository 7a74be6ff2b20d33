// The release installer, silently, into a folder whose name holds spaces: the installed program
// starts against the simulated driver, and the uninstaller takes away the files, the Start-menu
// entries, its registration and the autorun entries (logon task and Run value).
// The installer is build\dist\Coralvane-<version>-setup.exe (scripts/dist.sh), or the file named by
// CORALVANE_TEST_INSTALLER.
#include <gtest/gtest.h>
#include <ole2.h>
#include <oleauto.h>
#include <shlobj.h>
#include <taskschd.h>
#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "Automation.h"
#include "resources/Version.h"
#include "support/RunKeyEntry.h"

namespace {

namespace fs = std::filesystem;
constexpr int kCloseButton = 1003;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Coralvane";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr GUID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr GUID kTaskServiceId = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring InstallerPath() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"CORALVANE_TEST_INSTALLER", path, MAX_PATH) > 0) return path;
    std::wstring version = Widen(CORALVANE_VERSION_TEXT);
    version.erase(version.rfind(L".0"));
    return e2e::BuildDir() + L"..\\dist\\Coralvane-" + version + L"-setup.exe";
}

std::wstring TaskName() {
    wchar_t user[257] = {};
    DWORD length = 257;
    return GetUserNameW(user, &length) ? std::wstring(L"CoralvaneStartUpAutoRun ") + user : L"";
}

// Registers or looks up the program's task with what Wine's scheduler has (a daily trigger: Wine
// has no logon trigger); returns whether it could, or whether the task exists.
bool TaskCall(bool plant) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    ITaskDefinition* task = nullptr;
    ITriggerCollection* triggers = nullptr;
    ITrigger* trigger = nullptr;
    IRegisteredTask* registered = nullptr;
    VARIANT empty;
    VariantInit(&empty);
    BSTR rootPath = SysAllocString(L"\\");
    BSTR name = SysAllocString(TaskName().c_str());
    bool ok = SUCCEEDED(CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER, kTaskServiceId,
                                         reinterpret_cast<void**>(&service))) &&
              SUCCEEDED(service->Connect(empty, empty, empty, empty)) &&
              SUCCEEDED(service->GetFolder(rootPath, &root));
    if (ok && plant) {
        ok = SUCCEEDED(service->NewTask(0, &task)) && SUCCEEDED(task->get_Triggers(&triggers)) &&
             SUCCEEDED(triggers->Create(TASK_TRIGGER_DAILY, &trigger)) &&
             SUCCEEDED(root->RegisterTaskDefinition(name, task, TASK_CREATE_OR_UPDATE, empty, empty,
                                                    TASK_LOGON_INTERACTIVE_TOKEN, empty, &registered));
    } else if (ok) {
        ok = SUCCEEDED(root->GetTask(name, &registered));
    }
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{registered, trigger, triggers, task, root, service}) {
        if (object) object->Release();
    }
    SysFreeString(name);
    SysFreeString(rootPath);
    CoUninitialize();
    return ok;
}

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring StartMenuFolder() {
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
    return std::wstring(programs) + L"\\Coralvane\\";
}

// The machine type in a PE file's header (0 when it is not one).
unsigned MachineOf(const std::wstring& exe) {
    const std::string bytes = e2e::ReadBytes(exe);
    if (bytes.size() < 0x40) return 0;
    const unsigned pe = *reinterpret_cast<const uint32_t*>(bytes.data() + 0x3c);
    if (pe + 6 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return *reinterpret_cast<const uint16_t*>(bytes.data() + pe + 4);
}

std::wstring VersionString(const std::wstring& exe, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size == 0) return L"";
    std::string block(size, '\0');
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) return L"";
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return L"";
    return value;
}

class InstallerE2e : public ::testing::Test {
protected:
    void TearDown() override {
        e2e::Stop(program);
        std::error_code ec;
        fs::remove_all(fs::path(folder), ec);
    }

    std::wstring folder = e2e::BuildDir() + L"installed by setup 1";
    e2e::Launched program;
};

TEST_F(InstallerE2e, InstallsSilentlyRunsAndUninstallsEverything) {
    const std::wstring installer = InstallerPath();
    ASSERT_TRUE(fs::exists(fs::path(installer))) << "no installer (scripts/dist.sh)";
    std::error_code ec;
    fs::remove_all(fs::path(folder), ec);

    e2e::Launched setup = e2e::Launch(installer, L"/S /D=" + folder);
    ASSERT_NE(setup.process, nullptr) << "cannot start the installer";
    ASSERT_EQ(e2e::WaitExit(setup, 120000), 0);
    e2e::Stop(setup);

    const std::wstring exe = folder + L"\\Coralvane.exe";
    for (const wchar_t* file : {L"\\Coralvane.exe", L"\\Uninstall.exe", L"\\README.txt", L"\\LICENSE.txt",
                                L"\\BIOS\\README.txt"}) {
        EXPECT_TRUE(fs::exists(fs::path(folder + file))) << fs::path(file).string();
    }
    EXPECT_FALSE(fs::is_empty(fs::path(folder + L"\\Resources"), ec));
    // The prefix is 64-bit Windows: the 64-bit program, whatever the installer's own bitness.
    EXPECT_EQ(MachineOf(exe), 0x8664u);
    EXPECT_EQ(VersionString(exe, L"ProductName"), L"Coralvane");
    EXPECT_EQ(VersionString(exe, L"FileVersion"), Widen(CORALVANE_VERSION_TEXT));
    EXPECT_FALSE(VersionString(exe, L"FileDescription").empty());
    EXPECT_TRUE(fs::exists(fs::path(StartMenuFolder() + L"Coralvane.lnk")));
    EXPECT_TRUE(KeyExists(kUninstallKey));

    // The installed program starts against the simulated driver and writes its file beside itself.
    program = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + e2e::CurrentDir() + L"installer-journal.txt"});
    ASSERT_NE(program.process, nullptr);
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(fs::exists(fs::path(folder + L"\\Coralvane_DID1B80.cfg")));
    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
    e2e::Stop(program);

    // Autorun as the program leaves it: the logon task (planted with what Wine's scheduler has)
    // and the Run value.
    ASSERT_TRUE(TaskCall(true)) << "cannot plant the task";
    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &run, nullptr),
              ERROR_SUCCESS);
    const std::wstring quoted = L"\"" + exe + L"\"";
    RegSetValueExW(run, L"CoralvaneStartUpAutoRun", 0, REG_SZ, reinterpret_cast<const BYTE*>(quoted.c_str()),
                   static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(run);
    ASSERT_EQ(RunKeyEntry(), quoted);

    // The uninstaller copies itself away and returns at once: wait for its work to show.
    e2e::Launched uninstall = e2e::Launch(folder + L"\\Uninstall.exe", L"/S");
    ASSERT_NE(uninstall.process, nullptr);
    e2e::WaitExit(uninstall, 60000);
    e2e::Stop(uninstall);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !fs::exists(fs::path(folder)) && !KeyExists(kUninstallKey); }, 60000))
        << "left behind: " << (fs::exists(fs::path(folder)) ? "the folder" : "the uninstall key");
    EXPECT_TRUE(e2e::WaitUntil([] { return !TaskCall(false) && RunKeyEntry().empty(); }, 10000))
        << "autorun left behind";
    EXPECT_FALSE(fs::exists(fs::path(StartMenuFolder())));
}

}  // namespace
