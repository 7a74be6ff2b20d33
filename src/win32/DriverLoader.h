#pragma once
#include <string>

#include "gpu/NvTypes.h"

// The driver library for this build: nvapi.dll (32-bit) or nvapi64.dll (64-bit).
const wchar_t* DriverLibraryName();

// Loads the driver library from the system directory by its full path, never from the program's
// folder or the search path (the program runs elevated, and a library planted beside it must not
// load), and returns its nvapi_QueryInterface; null when the library or the export is missing.
// `loadedFrom` receives the full path that was loaded.
NvQueryInterfaceFn LoadDriverInterface(std::wstring* loadedFrom = nullptr);
