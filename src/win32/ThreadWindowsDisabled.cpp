#include "win32/ThreadWindowsDisabled.h"

namespace {

BOOL CALLBACK CollectEnabled(HWND window, LPARAM context) {
    if (IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

}  // namespace

ThreadWindowsDisabled::ThreadWindowsDisabled() : active(GetActiveWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);
}

ThreadWindowsDisabled::~ThreadWindowsDisabled() {
    for (HWND window : disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (active && IsWindow(active) && IsWindowVisible(active)) SetActiveWindow(active);
}
