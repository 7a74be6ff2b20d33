#include "win32/Win32ShellOpener.h"

#include "win32/TextConvert.h"
#include "win32/WinApi.h"

int Win32ShellOpener::OpenUrl(std::string_view url) {
    // Only web addresses go to the shell, so nothing here can start a program.
    if (url.rfind("https://", 0) != 0 && url.rfind("http://", 0) != 0) return 1;
    const std::wstring wideUrl = Utf8ToWide(url);
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wideUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // The shell reports success with a value above 32.
    return reinterpret_cast<INT_PTR>(result) > 32 ? 0 : 1;
}
