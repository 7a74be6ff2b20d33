#pragma once
#include "platform/AutorunStore.h"

// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run, value
// "CoralvaneStartUpAutoRun": the executable's full path, without quotes or arguments.
class Win32AutorunStore : public AutorunStore {
public:
    long SetAutorun() override;
    long RemoveAutorun() override;
    int IsAutorunSet() override;
};
