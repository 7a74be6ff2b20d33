#include "win32/Win32AutorunStore.h"

#include "win32/WinApi.h"

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"CoralvaneStartUpAutoRun";
constexpr DWORD kMaxPathChars = 255;

// Opens the Run key in the 64-bit view too, so the 32-bit build's entry is the one Windows reads.
LONG OpenRunKey(REGSAM access, HKEY& key, bool create) {
    access |= KEY_WOW64_64KEY;
    if (create) {
        return RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, access, nullptr, &key, nullptr);
    }
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, access, &key);
}

}  // namespace

std::wstring AutorunCommand(std::wstring_view executablePath) {
    if (executablePath.find(L' ') == std::wstring_view::npos) return std::wstring(executablePath);
    std::wstring quoted = L"\"";
    quoted += executablePath;
    quoted += L'"';
    return quoted;
}

long Win32AutorunStore::SetAutorun() {
    wchar_t path[kMaxPathChars + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, kMaxPathChars + 1);
    // A path the entry cannot hold whole is refused instead of being stored cut short.
    if (length == 0 || length > kMaxPathChars) return ERROR_FILENAME_EXCED_RANGE;
    HKEY key = nullptr;
    LONG status = OpenRunKey(KEY_SET_VALUE, key, true);
    if (status != ERROR_SUCCESS) return status;
    const std::wstring command = AutorunCommand(std::wstring_view(path, length));
    status = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

long Win32AutorunStore::RemoveAutorun() {
    HKEY key = nullptr;
    LONG status = OpenRunKey(KEY_SET_VALUE, key, true);
    if (status != ERROR_SUCCESS) return status;
    status = RegDeleteValueW(key, kValueName);
    RegCloseKey(key);
    return status;
}

int Win32AutorunStore::IsAutorunSet() {
    HKEY key = nullptr;
    if (OpenRunKey(KEY_QUERY_VALUE, key, false) != ERROR_SUCCESS) return 1;
    wchar_t value[kMaxPathChars + 1] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    const LONG status =
        RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? 0 : 2;
}
