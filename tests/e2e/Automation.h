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
// Whether the running process has a library of that file name (any case) loaded.
bool HasModule(HANDLE process, const std::wstring& fileName);
// The simulated driver's file name for this bitness.
std::wstring DriverFileName();

// A visible top-level window of the process whose title contains `title` (any title when empty).
HWND WaitForWindow(DWORD pid, const std::wstring& title, DWORD timeoutMs);
// Every visible top-level window of the process.
std::vector<HWND> WindowsOf(DWORD pid);
// A top-level window of the process, shown or hidden, that holds a control with this id.
HWND WindowWithControl(DWORD pid, int id);
// A shown popup menu (window class #32768) of the process.
HWND PopupMenuOf(DWORD pid);
// Right-clicks the notification icon through its callback message until the process shows its popup
// menu and keeps it open: under load Wine can deliver a late focus change that cancels a menu just
// opened, where a user would simply click again. Null when no menu stays open after three tries.
HWND OpenNotificationMenu(HWND owner, UINT callbackMessage, UINT iconId, DWORD pid);
// Chooses the item of a shown popup menu by its mnemonic key; false when the menu stayed open.
bool ChooseMenuItem(HWND popup, wchar_t key);
// Whether the notification area holds the icon of that owner and id: the shell takes an update
// only for an icon it has.
bool NotificationIconShown(HWND owner, UINT id);

// Clicks a button of a dialog by control id, through the real control.
bool Click(HWND dialog, int id);
std::wstring TextOf(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
// The child dialog of the main window (a page or panel) that holds control `id`. A page's controls
// exist once it has been shown (a page never shown has none yet), so this waits a moment for them.
HWND PanelHolding(HWND main, int id);
// A click through the real button with its window brought forward first: a button takes the click
// only while its window is the active one, and a popup shown and hidden may have kept the activation.
bool Press(HWND dialog, int id);
// The hexadecimal data of every successful I2C write in the simulated driver's journal, in order.
std::vector<std::string> I2cWrites(const std::wstring& journal);
// Sends a key press to a window (focus goes to it first).
void PressKey(HWND window, UINT vk);

// Copies what the screen shows of a window into a 24-bit BMP file.
bool Screenshot(HWND window, const std::wstring& path);
// What the screen shows of a window's whole client area, taken at once.
class ClientPixels {
public:
    explicit ClientPixels(HWND window);
    // Client coordinates; black outside the area.
    COLORREF At(int x, int y) const;

private:
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
};

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
