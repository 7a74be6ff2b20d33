#include "win32/Win32HidSystem.h"

#include <setupapi.h>

#include <cstring>

#include "win32/TextConvert.h"

namespace {

// The HID interface class, for when the library cannot be asked.
constexpr GUID kHidInterfaceClass{
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The library's records, as its headers lay them out.
struct HidAttributesRecord {
    ULONG size;
    USHORT vendorId;
    USHORT productId;
    USHORT versionNumber;
};
struct HidCapsRecord {
    USHORT usage;
    USHORT usagePage;
    USHORT inputReportByteLength;
    USHORT outputReportByteLength;
    USHORT featureReportByteLength;
    USHORT reserved[17];
    USHORT numbers[10];
};
static_assert(sizeof(HidCapsRecord) == 64);
constexpr LONG kHidpStatusSuccess = 0x00110000;

template <class Fn>
bool Fetch(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return fn != nullptr;
}

// Waits for an overlapped transfer already started; on time-out or cancel, cancels it and waits for
// its end, so the system is done with the buffer when this returns.
HidIoResult Finish(HANDLE handle, OVERLAPPED& overlapped, HANDLE cancelEvent, uint32_t timeoutMs,
                   DWORD& done) {
    HANDLE waits[2] = {overlapped.hEvent, cancelEvent};
    const DWORD count = cancelEvent ? 2 : 1;
    const DWORD wait = WaitForMultipleObjects(count, waits, FALSE, timeoutMs);
    if (wait == WAIT_OBJECT_0)
        return GetOverlappedResult(handle, &overlapped, &done, FALSE) ? HidIoResult::Ok : HidIoResult::Failed;
    CancelIoEx(handle, &overlapped);
    // A transfer that finished just before the cancel still counts.
    const bool completed = GetOverlappedResult(handle, &overlapped, &done, TRUE) != FALSE;
    if (wait == WAIT_OBJECT_0 + 1) return HidIoResult::Cancelled;
    if (wait == WAIT_TIMEOUT) return completed ? HidIoResult::Ok : HidIoResult::TimedOut;
    return HidIoResult::Failed;
}

}  // namespace

HidLibrary HidLibrary::Load(std::wstring* loadedFrom) {
    HidLibrary library;
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return library;
    std::wstring path(directory, length);
    if (path.back() != L'\\') path += L'\\';
    path += L"hid.dll";
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update refuses the flag; the full path still names the system copy.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return library;
    const bool complete = Fetch(module, "HidD_GetHidGuid", library.getHidGuid) &&
                          Fetch(module, "HidD_GetAttributes", library.getAttributes) &&
                          Fetch(module, "HidD_GetSerialNumberString", library.getSerialNumberString) &&
                          Fetch(module, "HidD_GetPreparsedData", library.getPreparsedData) &&
                          Fetch(module, "HidD_FreePreparsedData", library.freePreparsedData) &&
                          Fetch(module, "HidP_GetCaps", library.getCaps);
    if (!complete) {
        FreeLibrary(module);
        return HidLibrary{};
    }
    library.module = module;
    if (loadedFrom) *loadedFrom = path;
    return library;
}

Win32HidDevice::Win32HidDevice(HANDLE handle, const HidLibrary& library)
    : handle(handle),
      library(library),
      readEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      writeEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      cancelEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32HidDevice::~Win32HidDevice() {
    CloseHandle(handle);
    for (HANDLE event : {readEvent, writeEvent, cancelEvent})
        if (event) CloseHandle(event);
}

bool Win32HidDevice::GetAttributes(HidAttributes& attributes) {
    if (!library.getAttributes) return false;
    HidAttributesRecord record{};
    record.size = sizeof record;
    if (!library.getAttributes(handle, &record)) return false;
    attributes = {record.vendorId, record.productId, record.versionNumber};
    return true;
}

bool Win32HidDevice::GetSerialNumber(std::u16string& serial) {
    if (!library.getSerialNumberString) return false;
    // 40 UTF-16 units; the extra one keeps a full buffer terminated.
    wchar_t text[41] = {};
    if (!library.getSerialNumberString(handle, text, 80)) return false;
    serial.clear();
    for (size_t i = 0; i < 40 && text[i] != 0; ++i) serial.push_back(static_cast<char16_t>(text[i]));
    return true;
}

bool Win32HidDevice::GetCaps(HidCaps& caps) {
    if (!library.getPreparsedData || !library.getCaps || !library.freePreparsedData) return false;
    void* preparsed = nullptr;
    if (!library.getPreparsedData(handle, &preparsed) || !preparsed) return false;
    HidCapsRecord record{};
    const bool ok = library.getCaps(preparsed, &record) == kHidpStatusSuccess;
    library.freePreparsedData(preparsed);
    if (ok) caps = {record.inputReportByteLength, record.outputReportByteLength};
    return ok;
}

HidIoResult Win32HidDevice::ReadReport(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t& received) {
    received = 0;
    if (!readEvent || !cancelEvent) return HidIoResult::Failed;
    if (WaitForSingleObject(cancelEvent, 0) == WAIT_OBJECT_0) return HidIoResult::Cancelled;
    OVERLAPPED overlapped{};
    overlapped.hEvent = readEvent;
    ResetEvent(readEvent);
    DWORD done = 0;
    HidIoResult result = HidIoResult::Ok;
    if (!ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) return HidIoResult::Failed;
        result = Finish(handle, overlapped, cancelEvent, timeoutMs, done);
    } else if (!GetOverlappedResult(handle, &overlapped, &done, FALSE)) {
        result = HidIoResult::Failed;
    }
    // Only a transfer that succeeded hands out bytes.
    if (result == HidIoResult::Ok) received = done;
    return result;
}

HidIoResult Win32HidDevice::WriteReport(std::span<const uint8_t> report, uint32_t timeoutMs) {
    if (!writeEvent) return HidIoResult::Failed;
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeEvent;
    ResetEvent(writeEvent);
    DWORD done = 0;
    if (WriteFile(handle, report.data(), static_cast<DWORD>(report.size()), nullptr, &overlapped))
        return GetOverlappedResult(handle, &overlapped, &done, FALSE) ? HidIoResult::Ok : HidIoResult::Failed;
    if (GetLastError() != ERROR_IO_PENDING) return HidIoResult::Failed;
    return Finish(handle, overlapped, nullptr, timeoutMs, done);
}

void Win32HidDevice::CancelRead() {
    if (cancelEvent) SetEvent(cancelEvent);
}

Win32HidSystem::~Win32HidSystem() {
    if (library.module) FreeLibrary(library.module);
}

const HidLibrary& Win32HidSystem::Library() {
    if (!libraryTried) {
        libraryTried = true;
        library = HidLibrary::Load();
    }
    return library;
}

std::vector<std::string> Win32HidSystem::ListInterfacePaths() {
    Library();
    std::vector<std::string> paths;
    GUID hidClass = kHidInterfaceClass;
    if (library.getHidGuid) library.getHidGuid(&hidClass);
    HDEVINFO devices =
        SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE) return paths;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA item{};
        item.cbSize = sizeof item;
        if (!SetupDiEnumDeviceInterfaces(devices, nullptr, &hidClass, index, &item)) break;
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(devices, &item, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            paths.emplace_back();  // keeps the indices of the interfaces after it
            continue;
        }
        std::vector<uint8_t> storage(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (SetupDiGetDeviceInterfaceDetailW(devices, &item, detail, size, nullptr, nullptr))
            paths.push_back(WideToUtf8(detail->DevicePath));
        else
            paths.emplace_back();
    }
    SetupDiDestroyDeviceInfoList(devices);
    return paths;
}

std::unique_ptr<HidDevice> Win32HidSystem::OpenDevice(const std::string& path, bool exclusive,
                                                      uint32_t& error) {
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = kHidErrorNone;
    return std::make_unique<Win32HidDevice>(handle, Library());
}
