#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/HidSystem.h"
#include "win32/WinApi.h"

// The HID library's functions the program uses. The library is not one of the system's known
// DLLs, so the elevated program loads it by its full path in the system directory, never through
// its import table (a copy placed beside the program must not load).
struct HidLibrary {
    HMODULE module = nullptr;
    void(__stdcall* getHidGuid)(GUID*) = nullptr;
    BOOLEAN(__stdcall* getAttributes)(HANDLE, void*) = nullptr;
    BOOLEAN(__stdcall* getSerialNumberString)(HANDLE, void*, ULONG) = nullptr;
    BOOLEAN(__stdcall* getPreparsedData)(HANDLE, void**) = nullptr;
    BOOLEAN(__stdcall* freePreparsedData)(void*) = nullptr;
    LONG(__stdcall* getCaps)(void*, void*) = nullptr;

    bool Loaded() const { return module != nullptr; }
    // Loads the library from the system directory; an empty HidLibrary when it is missing or lacks
    // one of the functions. `loadedFrom` receives the full path.
    static HidLibrary Load(std::wstring* loadedFrom = nullptr);
};

// One open interface: overlapped reads and writes, each with its own event, waited for with a
// time-out; a time-out or a cancel cancels that transfer and waits for it to end before returning,
// so the caller's buffer is never written after the call. Takes ownership of `handle`.
class Win32HidDevice : public HidDevice {
public:
    Win32HidDevice(HANDLE handle, const HidLibrary& library);
    ~Win32HidDevice() override;
    Win32HidDevice(const Win32HidDevice&) = delete;
    Win32HidDevice& operator=(const Win32HidDevice&) = delete;

    bool GetAttributes(HidAttributes& attributes) override;
    bool GetSerialNumber(std::u16string& serial) override;
    bool GetCaps(HidCaps& caps) override;
    HidIoResult ReadReport(std::span<uint8_t> buffer, uint32_t timeoutMs, size_t& received) override;
    HidIoResult WriteReport(std::span<const uint8_t> report, uint32_t timeoutMs) override;
    void CancelRead() override;

private:
    HANDLE handle;
    const HidLibrary& library;
    HANDLE readEvent;
    HANDLE writeEvent;
    HANDLE cancelEvent;  // manual reset: once set, every read ends at once
};

// The system's HID interfaces through the device setup functions and the HID library, which is
// loaded on first use (a run that never looks for the accessory never loads it). Devices keep a
// reference to the library: they must be closed before the system object goes.
class Win32HidSystem : public HidSystem {
public:
    Win32HidSystem() = default;
    ~Win32HidSystem() override;
    Win32HidSystem(const Win32HidSystem&) = delete;
    Win32HidSystem& operator=(const Win32HidSystem&) = delete;

    bool LibraryLoaded() { return Library().Loaded(); }
    std::vector<std::string> ListInterfacePaths() override;
    std::unique_ptr<HidDevice> OpenDevice(const std::string& path, bool exclusive, uint32_t& error) override;

private:
    const HidLibrary& Library();

    HidLibrary library;
    bool libraryTried = false;
};
