#include "win32/Win32Console.h"

#include <string>

#include "win32/TextConvert.h"
#include "win32/WinApi.h"

namespace {

HANDLE UsableHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return GetFileType(handle) == FILE_TYPE_UNKNOWN ? nullptr : handle;
}

void Write(DWORD which, std::string_view text) {
    HANDLE handle = UsableHandle(which);
    // A windowed program has no handles of its own unless they were handed to it; from a command
    // prompt, the prompt's console is there to attach to.
    if (!handle && AttachConsole(ATTACH_PARENT_PROCESS)) handle = UsableHandle(which);
    if (!handle) {
        HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (console == INVALID_HANDLE_VALUE) return;
        const std::wstring wide = Utf8ToWide(text);
        DWORD written = 0;
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        CloseHandle(console);
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Utf8ToWide(text);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace

void WriteStandardOutput(std::string_view text) {
    Write(STD_OUTPUT_HANDLE, text);
}

void WriteStandardError(std::string_view text) {
    Write(STD_ERROR_HANDLE, text);
}
