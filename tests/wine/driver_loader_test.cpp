#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gpu/CGpuControl.h"
#include "win32/DriverLoader.h"

// Runs with the simulated driver installed in the prefix's system directories (syswow64 for the
// 32-bit build, system32 for the 64-bit one), as the test runner sets it up.
namespace {

std::wstring Directory(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A 32-bit process sees the system directory redirected to the WOW64 one.
bool InSystemDirectory(const std::wstring& path) {
    std::wstring directory = Directory(path);
    wchar_t wow64[MAX_PATH] = {};
    UINT length = GetSystemWow64DirectoryW(wow64, MAX_PATH);
    return SameText(directory, SystemDirectory()) ||
           (length && SameText(directory, std::wstring(wow64, length)));
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

std::string ReadText(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

void WriteText(const std::wstring& path, const std::string& text) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

class DriverLoader : public testing::Test {
protected:
    // The simulated driver reads its scenario and journal names on its first call in the process,
    // so they are set before any test of this suite touches it.
    static void SetUpTestSuite() {
        scenarioPath = TempFile(L"coralvane_loader_test.scn");
        journalPath = TempFile(L"coralvane_loader_test.journal");
        WriteText(scenarioPath,
                  "[gpu]\ntcc = yes\npci = 10DE 1DB4 10DE 1212\n[gpu]\npci = 10DE 1E87 1458 37A8\n");
        DeleteFileW(journalPath.c_str());
        SetEnvironmentVariableW(L"CORALVANE_SIM_SCENARIO", scenarioPath.c_str());
        SetEnvironmentVariableW(L"CORALVANE_SIM_JOURNAL", journalPath.c_str());
    }
    static void TearDownTestSuite() {
        DeleteFileW(scenarioPath.c_str());
        DeleteFileW(journalPath.c_str());
    }
    static std::wstring scenarioPath;
    static std::wstring journalPath;
};
std::wstring DriverLoader::scenarioPath;
std::wstring DriverLoader::journalPath;

TEST_F(DriverLoader, LoadsTheSystemLibraryAndNeverOnePlantedBesideTheProgram) {
    std::wstring installed = SystemDirectory() + L"\\" + DriverLibraryName();
    ASSERT_NE(GetFileAttributesW(installed.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the simulated driver is not installed in the system directory";
    std::wstring planted = Directory(ModulePath(nullptr)) + L"\\" + DriverLibraryName();
    ASSERT_TRUE(CopyFileW(installed.c_str(), planted.c_str(), FALSE));

    std::wstring loadedFrom;
    NvQueryInterfaceFn queryInterface = LoadDriverInterface(&loadedFrom);
    ASSERT_NE(queryInterface, nullptr);
    EXPECT_TRUE(InSystemDirectory(loadedFrom));

    HMODULE owner = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(queryInterface), &owner));
    std::wstring ownerPath = ModulePath(owner);
    EXPECT_TRUE(InSystemDirectory(ownerPath)) << std::string(ownerPath.begin(), ownerPath.end());
    EXPECT_FALSE(SameText(ownerPath, planted));
    EXPECT_EQ(GetModuleHandleW(planted.c_str()), nullptr);
    // A loaded library cannot be deleted: deleting the planted copy proves it was never mapped.
    EXPECT_TRUE(DeleteFileW(planted.c_str()));
}

TEST_F(DriverLoader, EnumeratesGpusThroughTheLoadedSimulator) {
    CGpuControl gpu(LoadDriverInterface());
    ASSERT_EQ(gpu.EnumGpus(), 0);
    EXPECT_EQ(gpu.gpuCount, 2);
    EXPECT_EQ(gpu.pciDeviceId, 0x1DB4);  // the TCC GPU comes first
    uint16_t vendor = 0, device = 0, subVendor = 0, subsystem = 0;
    ASSERT_EQ(gpu.ReadPciIds(1, vendor, device, subVendor, subsystem), 0);
    EXPECT_EQ(device, 0x1E87);
    EXPECT_EQ(subVendor, 0x1458);

    std::string journal = ReadText(journalPath);
    EXPECT_NE(journal.find("0150E828 NvAPI_Initialize status=0"), std::string::npos) << journal;
    EXPECT_NE(journal.find("E5AC921F NvAPI_EnumPhysicalGPUs status=0"), std::string::npos) << journal;
}
