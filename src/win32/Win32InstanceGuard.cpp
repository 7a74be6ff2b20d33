#include "win32/Win32InstanceGuard.h"

#include <windows.h>

#include "win32/TextConvert.h"

InstanceStatus Win32InstanceGuard::CreateInstanceMutex(std::string_view name) {
    const std::wstring wideName = Utf8ToWide(name);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wideName.c_str());
    if (!mutex) return InstanceStatus::Failed;
    return GetLastError() == ERROR_ALREADY_EXISTS ? InstanceStatus::AlreadyRunning : InstanceStatus::First;
}
