#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "win32/WinApi.h"

// The bytes of a resource (at most maxBytes of them), read from the module's file instead of through
// its mapped image: a page of the image, once touched, stays in the program's memory for as long as
// it runs, and sizing the skin's bitmaps alone reads the header of every one of them. A module the
// file cannot be found for (loaded as data, say) gives its mapped bytes. False when the module holds
// no such resource.
bool ReadResourceBytes(HMODULE module, const wchar_t* type, int resourceId, std::size_t maxBytes,
                       std::vector<uint8_t>& bytes);

// Where `size` bytes at `at` inside a module mapped as an image lie in its file; false outside its
// sections' file data.
bool ImageFileOffset(HMODULE module, const void* at, DWORD size, uint64_t& offset);
