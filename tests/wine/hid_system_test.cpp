#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "accessory/UsbHidLink.h"
#include "win32/Win32HidSystem.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring Directory(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length);
}

// A 32-bit process sees the system directory redirected to the WOW64 one.
bool InSystemDirectory(const std::wstring& path) {
    const std::wstring directory = Directory(path);
    wchar_t wow64[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryW(wow64, MAX_PATH);
    return SameText(directory, SystemDirectory()) ||
           (length && SameText(directory, std::wstring(wow64, length)));
}

// The DLL names in this program's import table; the tests link the Win32 layer as the program does.
std::vector<std::string> ImportedLibraries() {
    std::vector<std::string> names;
    auto* base = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return names;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name; ++entry)
        names.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    return names;
}

TEST(HidSystemTest, HidLibraryIsLoadedAtRunTimeFromTheSystemDirectoryOnly) {
    for (const std::string& name : ImportedLibraries())
        EXPECT_NE(_stricmp(name.c_str(), "hid.dll"), 0) << name;

    const std::wstring installed = SystemDirectory() + L"\\hid.dll";
    const std::wstring planted = Directory(ModulePath(nullptr)) + L"\\hid.dll";
    ASSERT_TRUE(CopyFileW(installed.c_str(), planted.c_str(), FALSE));
    HidLibrary library = HidLibrary::Load();
    ASSERT_TRUE(library.Loaded());
    HMODULE owner = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(library.getAttributes), &owner));
    EXPECT_TRUE(InSystemDirectory(ModulePath(owner)));
    EXPECT_EQ(GetModuleHandleW(planted.c_str()), nullptr);
    // A loaded library cannot be deleted: deleting the planted copy proves it was never mapped.
    EXPECT_TRUE(DeleteFileW(planted.c_str()));
    FreeLibrary(library.module);
}

// No accessory is plugged into the test machine: the walk ends at once with nothing found.
TEST(HidSystemTest, EnumerationWithoutTheAccessoryFindsNothingQuickly) {
    Win32HidSystem hid;
    EXPECT_TRUE(hid.LibraryLoaded());
    const auto start = SteadyClock::now();
    const std::vector<std::string> paths = hid.ListInterfacePaths();
    for (const std::string& path : paths)
        EXPECT_EQ(path.find("vid_2047&pid_0310"), std::string::npos) << path;
    EXPECT_FALSE(ProbeAccessoryPresent(hid));
    std::array<AccessorySlot, 3> table{};
    EXPECT_EQ(ListSerialNumbers(hid, kAccessoryVendorId, kAccessoryProductId, table), 0);
    EXPECT_EQ(CountInterfaces(hid, kAccessoryVendorId, kAccessoryProductId, 1), 0);
    UsbHidLink link;
    InitLink(link, hid, 1000, 50);
    EXPECT_EQ(OpenLink(link, kAccessoryVendorId, kAccessoryProductId, 0, "A1", 1, 1), LinkNotFound);
    EXPECT_LT(SteadyClock::now() - start, std::chrono::seconds(10));

    uint32_t error = 0;
    EXPECT_EQ(hid.OpenDevice("\\\\?\\hid#vid_2047&pid_0310#gone#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                             false, error),
              nullptr);
    EXPECT_NE(error, 0u);
}

// The overlapped reads and writes of a device, on a named pipe standing in for the HID interface.
class OverlappedDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring name = L"\\\\.\\pipe\\coralvane-hid-" + std::to_wstring(GetCurrentProcessId());
        server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE,
                                  1, 4096, 4096, 0, nullptr);
        ASSERT_NE(server, INVALID_HANDLE_VALUE);
        HANDLE client = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(client, INVALID_HANDLE_VALUE);
        device = std::make_unique<Win32HidDevice>(client, library);
    }
    void TearDown() override {
        device.reset();
        if (server != INVALID_HANDLE_VALUE) CloseHandle(server);
    }
    void ServerWrite(std::vector<uint8_t> bytes) {
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(server, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    }

    HidLibrary library;
    HANDLE server = INVALID_HANDLE_VALUE;
    std::unique_ptr<Win32HidDevice> device;
};

TEST_F(OverlappedDeviceTest, ReadTimesOutWithNothingAndTheNextReadGetsWhatCameLater) {
    std::array<uint8_t, 64> buffer{};
    size_t received = 7;
    const auto start = SteadyClock::now();
    EXPECT_EQ(device->ReadReport(buffer, 50, received), HidIoResult::TimedOut);
    EXPECT_GE(SteadyClock::now() - start, std::chrono::milliseconds(40));
    EXPECT_EQ(received, 0u);

    ServerWrite({0x3F, 0x02, 0xAA, 0xBB});
    buffer.fill(0);
    EXPECT_EQ(device->ReadReport(buffer, 1000, received), HidIoResult::Ok);
    EXPECT_EQ(received, 4u);
    EXPECT_EQ(buffer[2], 0xAA);
    EXPECT_EQ(buffer[3], 0xBB);
}

TEST_F(OverlappedDeviceTest, CancelFromAnotherThreadEndsAWaitingReadAtOnce) {
    std::array<uint8_t, 64> buffer{};
    size_t received = 7;
    HidIoResult result = HidIoResult::Ok;
    const auto start = SteadyClock::now();
    std::thread reader([&] { result = device->ReadReport(buffer, 10000, received); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    device->CancelRead();
    reader.join();
    EXPECT_LT(SteadyClock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(result, HidIoResult::Cancelled);
    EXPECT_EQ(received, 0u);
    // A cancelled device stays cancelled, even with data waiting.
    ServerWrite({0x3F, 0x01, 0x55});
    EXPECT_EQ(device->ReadReport(buffer, 1000, received), HidIoResult::Cancelled);
}

TEST_F(OverlappedDeviceTest, WriteSendsTheWholeReportAndABrokenLinkFails) {
    const std::vector<uint8_t> report{0x3F, 0x07, 0xF5, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(device->WriteReport(report, 1000), HidIoResult::Ok);
    std::array<uint8_t, 64> got{};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(server, got.data(), DWORD(got.size()), &read, nullptr));
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + read), report);

    CloseHandle(server);
    server = INVALID_HANDLE_VALUE;
    std::array<uint8_t, 64> buffer{};
    size_t received = 7;
    EXPECT_EQ(device->ReadReport(buffer, 1000, received), HidIoResult::Failed);
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(device->WriteReport(report, 1000), HidIoResult::Failed);
    HidAttributes attributes;
    EXPECT_FALSE(device->GetAttributes(attributes));  // no HID library: nothing to ask
}

}  // namespace
