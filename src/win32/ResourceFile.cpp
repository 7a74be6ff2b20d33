#include "win32/ResourceFile.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

bool ImageFileOffset(HMODULE module, const void* at, DWORD size, uint64_t& offset) {
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
    const uintptr_t address = reinterpret_cast<uintptr_t>(at);
    if (address < reinterpret_cast<uintptr_t>(base)) return false;
    const uint64_t rva = address - reinterpret_cast<uintptr_t>(base);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const uint64_t start = section->VirtualAddress;
        if (rva >= start && rva + size <= start + section->SizeOfRawData) {
            offset = section->PointerToRawData + (rva - start);
            return true;
        }
    }
    return false;
}

namespace {

HANDLE OpenModuleFile(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(module, path.data(), DWORD(path.size()))) == path.size() &&
           path.size() < 32768) {
        path.resize(path.size() * 2);
    }
    if (length == 0 || length == path.size()) return INVALID_HANDLE_VALUE;
    path.resize(length);
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadAt(HANDLE file, uint64_t offset, void* into, DWORD size) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    return ReadFile(file, into, size, &got, &at) && got == size;
}

// The program's own file, opened once and kept while the program runs: the skin asks for its
// bitmaps one by one. (Another module may be unloaded and its address reused, so its file is opened
// for each read.)
class ProgramFile {
public:
    ~ProgramFile() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    bool Read(uint64_t offset, void* into, DWORD size) {
        std::lock_guard<std::mutex> hold(lock);
        if (!tried) {
            tried = true;
            file = OpenModuleFile(nullptr);
        }
        return file != INVALID_HANDLE_VALUE && ReadAt(file, offset, into, size);
    }

private:
    std::mutex lock;
    bool tried = false;
    HANDLE file = INVALID_HANDLE_VALUE;
};

bool ReadModuleFile(HMODULE module, uint64_t offset, void* into, DWORD size) {
    if (module == GetModuleHandleW(nullptr)) {
        static ProgramFile program;
        return program.Read(offset, into, size);
    }
    HANDLE file = OpenModuleFile(module);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool read = ReadAt(file, offset, into, size);
    CloseHandle(file);
    return read;
}

}  // namespace

bool ReadResourceBytes(HMODULE module, const wchar_t* type, int resourceId, std::size_t maxBytes,
                       std::vector<uint8_t>& bytes) {
    bytes.clear();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* mapped = loaded ? LockResource(loaded) : nullptr;
    const DWORD whole = found ? SizeofResource(module, found) : 0;
    if (!mapped || whole == 0) return false;
    const DWORD size = DWORD(std::min<std::size_t>(whole, maxBytes));
    bytes.resize(size);
    // A module loaded as data carries flags in its handle's low bits and has no file name to read.
    uint64_t offset = 0;
    const bool imageModule = (reinterpret_cast<uintptr_t>(module) & 3) == 0;
    if (imageModule && ImageFileOffset(module, mapped, size, offset) &&
        ReadModuleFile(module, offset, bytes.data(), size)) {
        return true;
    }
    std::memcpy(bytes.data(), mapped, size);
    return true;
}
