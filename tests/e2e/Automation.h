#pragma once
// Drives the real program from outside, as a user or a screen reader would: by process, window and
// control id. Everything it starts it stops by handle.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct Launched {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// Folder of the running test executable, with a trailing backslash.
std::wstring ExeDir();
// The working folder (where screenshots and reports go), with a trailing backslash.
std::wstring CurrentDir();
// "64" or "32": tells the two builds' screenshots apart.
std::wstring Bitness();
// A whole file's bytes (empty when it cannot be read), and a whole file replaced.
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Build folder of this bitness (the test executable lives in <build>\tests\).
std::wstring BuildDir();

// Starts a program with extra environment variables (NAME=value); the child inherits the rest.
// With `outputPath`, its standard output and standard error go into that file.
Launched Launch(const std::wstring& exe, const std::wstring& args, const std::vector<std::wstring>& env = {},
                const std::wstring& outputPath = {});
// Waits for the process to end; returns its exit code, or -1 on time-out.
int WaitExit(const Launched& p, DWORD timeoutMs);
// Ends the process if it still runs and closes its handle.
void Stop(Launched& p);

// A visible top-level window of the process whose title contains `title` (any title when empty).
HWND WaitForWindow(DWORD pid, const std::wstring& title, DWORD timeoutMs);
// Every visible top-level window of the process.
std::vector<HWND> WindowsOf(DWORD pid);

// Clicks a button of a dialog by control id, through the real control.
bool Click(HWND dialog, int id);
std::wstring TextOf(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
// Sends a key press to a window (focus goes to it first).
void PressKey(HWND window, UINT vk);

// Copies what the screen shows of a window into a 24-bit BMP file.
bool Screenshot(HWND window, const std::wstring& path);

// Polls `pred` every 50 ms until it holds or `timeoutMs` passes.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 50) {
        if (pred()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(50);
    }
}

}  // namespace e2e
