#include "win32/DriverLoader.h"

#include <windows.h>

const wchar_t* DriverLibraryName() {
    return sizeof(void*) == 8 ? L"nvapi64.dll" : L"nvapi.dll";
}

NvQueryInterfaceFn LoadDriverInterface(std::wstring* loadedFrom) {
    wchar_t directory[MAX_PATH];
    UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(directory, length);
    if (path.back() != L'\\') path += L'\\';
    path += DriverLibraryName();

    // The search flag keeps the library's own dependencies in the system directory too. Windows 7
    // without its loader update refuses it; there the altered search path starts the dependencies'
    // search in the library's own (system) directory instead of the program's folder.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return nullptr;

    FARPROC entry = GetProcAddress(module, "nvapi_QueryInterface");
    if (!entry) {
        FreeLibrary(module);
        return nullptr;
    }
    if (loadedFrom) *loadedFrom = path;
    return reinterpret_cast<NvQueryInterfaceFn>(reinterpret_cast<void (*)()>(entry));
}
