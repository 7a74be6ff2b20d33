#pragma once
// The program's autorun entry as the system's start-up reads it (Windows tests only).
#include <windows.h>

#include <string>

inline std::wstring RunKeyEntry() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    const LONG status = RegQueryValueExW(key, L"CoralvaneStartUpAutoRun", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? value : L"";
}
