#pragma once
#include <vector>

#include "win32/WinApi.h"

// While it lives, every enabled top-level window of the calling thread takes no input, as under a
// modal dialog owned by all of them; they still paint and run their timers. Afterwards the same
// windows are enabled again and the one that was active gets the activation back.
class ThreadWindowsDisabled {
public:
    ThreadWindowsDisabled();
    ~ThreadWindowsDisabled();
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

private:
    std::vector<HWND> disabled;
    HWND active = nullptr;
};
