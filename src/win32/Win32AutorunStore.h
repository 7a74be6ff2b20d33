#pragma once
#include <string>
#include <string_view>

#include "platform/AutorunStore.h"

// The Run entry's command for an executable path: the path itself, quoted when it holds a space.
// Unquoted, "C:\Program Files\X\a.exe" would let the system try "C:\Program.exe" first, and
// this program starts with administrator rights.
std::wstring AutorunCommand(std::wstring_view executablePath);

// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run, value
// "CoralvaneStartUpAutoRun": AutorunCommand of the executable's full path, without arguments.
class Win32AutorunStore : public AutorunStore {
public:
    long SetAutorun() override;
    long RemoveAutorun() override;
    int IsAutorunSet() override;
};
