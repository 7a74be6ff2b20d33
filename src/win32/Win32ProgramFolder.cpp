#include "win32/Win32ProgramFolder.h"

#include <windows.h>

#include <string>

std::filesystem::path Win32ProgramFolder::ExecutablePath() {
    // Long paths need more than MAX_PATH; the system truncates silently, so grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path Win32ProgramFolder::ExecutableDir() const {
    const std::wstring path = ExecutablePath().wstring();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::filesystem::path()
                                       : std::filesystem::path(path.substr(0, slash));
}
