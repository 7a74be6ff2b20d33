#pragma once
// What the settings and BIOS tests look for on the screen: a shown window by the control it shows,
// the program's message window, the side window's place beside the main window, the system's file
// dialog and a choice made in it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Automation.h"

namespace e2e {

// The side window's right edge on the main window's left edge, this far below its top.
inline constexpr int kSideWindowDrop = 59;

// A shown top-level window of the process in which control `id` is shown too (a hidden button of
// another layout does not count).
inline HWND WaitForShownControl(DWORD pid, int id, DWORD timeoutMs) {
    HWND hit = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(pid))
                if (IsShown(w, id)) hit = w;
            return hit != nullptr;
        },
        timeoutMs);
    return hit;
}

// The program's message window showing that button: ids alone are not enough, the main window's fan
// slider has the id of the message's "No".
inline constexpr int kMessageTextId = 1132;
inline HWND WaitForMessageWith(DWORD pid, int buttonId, DWORD timeoutMs) {
    HWND hit = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(pid))
                if (IsShown(w, kMessageTextId) && IsShown(w, buttonId)) hit = w;
            return hit != nullptr;
        },
        timeoutMs);
    return hit;
}

// A control's text as the control itself gives it: from another process, GetWindowText reads only
// a window's caption, which a combo box does not keep.
inline std::wstring ControlText(HWND dialog, int id) {
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL,
                             2000, &copied))
        return {};
    return std::wstring(buffer, copied);
}

inline bool NoWindowShowsControl(DWORD pid, int id) {
    for (HWND w : WindowsOf(pid))
        if (IsShown(w, id)) return false;
    return true;
}

// Puts the main window where a side window docked to its left fits on the screen, so the screen
// shows what the screenshots are taken of.
inline void RoomOnTheLeft(HWND main) {
    SetWindowPos(main, nullptr, 400, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

inline ::testing::AssertionResult DockedBeside(HWND main, HWND side) {
    RECT m{}, s{};
    GetWindowRect(main, &m);
    GetWindowRect(side, &s);
    if (s.right == m.left && s.top == m.top + kSideWindowDrop) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "side window at " << s.left << "," << s.top << "-" << s.right
                                         << "; main window at " << m.left << "," << m.top;
}

// The system's open or save dialog of the process, once its folder view is up: a choice made before
// the view exists is not acted on.
inline HWND WaitForFileDialog(DWORD pid, DWORD timeoutMs) {
    HWND hit = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(pid)) {
                wchar_t name[16] = {};
                GetClassNameW(w, name, 16);
                if (std::wstring(name) == L"#32770" && FindWindowExW(w, nullptr, L"SHELLDLL_DefView", nullptr))
                    hit = w;
            }
            return hit != nullptr;
        },
        timeoutMs);
    return hit;
}

// Types a full path into the file dialog's name box and presses its OK button, as a user does;
// true once the dialog has gone.
inline bool ChooseFile(HWND dialog, const std::wstring& path) {
    HWND name = GetDlgItem(dialog, 0x47c);        // cmb13
    if (!name) name = GetDlgItem(dialog, 0x480);  // edt1
    if (!name) return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 20000);
}

}  // namespace e2e
