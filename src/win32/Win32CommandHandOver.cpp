#include "win32/Win32CommandHandOver.h"

#include <vector>

#include "win32/HostWindow.h"
#include "win32/WinApi.h"

namespace {

constexpr wchar_t kMainTitle[] = L"Coralvane";
// A running copy applies the command while we wait; a hung one is not waited for longer.
constexpr UINT kAnswerTimeoutMs = 15000;

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM param) {
    wchar_t name[64] = {};
    wchar_t title[64] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) return TRUE;
    if (!GetClassNameW(window, name, 64) || lstrcmpW(name, kDialogClass) != 0) return TRUE;
    if (!GetWindowTextW(window, title, 64) || lstrcmpW(title, kMainTitle) != 0) return TRUE;
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

intptr_t Win32CommandHandOver::SendToRunningCopy(uint32_t tag, std::string_view bytes) {
    std::vector<HWND> windows;
    EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        COPYDATASTRUCT data{};
        data.dwData = tag;
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = const_cast<char*>(bytes.data());
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &answer) &&
            answer != 0)
            return static_cast<intptr_t>(answer);
    }
    return 0;
}
