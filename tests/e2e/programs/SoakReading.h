#pragma once
// What a soak probe measures of its own process: the system's GDI and USER counts, its handles, its
// windows, and the host's own tally of what it created from the system (which stands in where the
// system keeps no GDI count, as under Wine).
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "win32/GdiTally.h"
#include "win32/WinApi.h"

namespace soak {

struct Reading {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD handles = 0;
    int windows = 0;
    long hostObjects = 0;
    long hostMemoryDcs = 0;
    long hostWindowDcs = 0;
    long hostIcons = 0;
};

inline BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Windows of this thread, children included: the USER objects the host makes, counted directly.
inline int CountWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The process's handles from the system-wide handle list, where the process count is not kept.
inline DWORD CountHandlesFromSystemList() {
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    struct Entry {
        ULONG processId;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<unsigned char> buffer(1 << 16);
    for (int attempt = 0; attempt < 12; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed);
        if (status == 0) {
            ULONG_PTR count = *reinterpret_cast<const ULONG*>(buffer.data());
            const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
            const size_t room = (buffer.size() - sizeof(ULONG_PTR)) / sizeof(Entry);
            if (count > room) count = room;
            DWORD mine = 0;
            for (ULONG_PTR i = 0; i < count; ++i) mine += entries[i].processId == GetCurrentProcessId();
            return mine;
        }
        buffer.resize(buffer.size() * 2);
    }
    return 0;
}

// GDI objects from the system's shared GDI handle table, where the system keeps no per-process count
// (64-bit Wine fills that table for each process on its own); 0 when there is no table. The table's
// place in the process block and its 24-byte entries are the system's documented-by-use layout.
inline DWORD CountGdiFromSharedTable() {
#if defined(_WIN64)
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    constexpr size_t kTableOffset = 0xF8;
    constexpr size_t kEntries = 0x10000;
    using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !basic.PebBaseAddress)
        return 0;
    const auto* block = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    const auto* entries = *reinterpret_cast<const Entry* const*>(block + kTableOffset);
    if (!entries) return 0;
    DWORD count = 0;
    for (size_t i = 0; i < kEntries; ++i) count += entries[i].type != 0;
    return count;
#else
    return 0;
#endif
}

inline Reading Read() {
    Reading r;
    HANDLE self = GetCurrentProcess();
    r.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
    if (r.gdiObjects == 0) r.gdiObjects = CountGdiFromSharedTable();
    r.userObjects = GetGuiResources(self, GR_USEROBJECTS);
    if (!GetProcessHandleCount(self, &r.handles) || r.handles == 0) r.handles = CountHandlesFromSystemList();
    r.windows = CountWindows();
    r.hostObjects = GdiTally::Live(GdiKind::Object);
    r.hostMemoryDcs = GdiTally::Live(GdiKind::MemoryDc);
    r.hostWindowDcs = GdiTally::Live(GdiKind::WindowDc);
    r.hostIcons = GdiTally::Live(GdiKind::Icon);
    return r;
}

inline void Print(const char* when, const Reading& r) {
    std::printf(
        "%s: GDI objects %lu, USER objects %lu, handles %lu, windows %d; host: GDI objects %ld, "
        "memory DCs %ld, window DCs %ld, icons %ld\n",
        when, static_cast<unsigned long>(r.gdiObjects), static_cast<unsigned long>(r.userObjects),
        static_cast<unsigned long>(r.handles), r.windows, r.hostObjects, r.hostMemoryDcs, r.hostWindowDcs,
        r.hostIcons);
    std::fflush(stdout);
}

// True when anything counted at `end` exceeds what was counted at `start`; handles may exceed it by
// `handleSlack`, for a system whose own handle use is shown to wander.
inline bool Grew(const Reading& start, const Reading& end, DWORD handleSlack = 0) {
    return end.gdiObjects > start.gdiObjects || end.userObjects > start.userObjects ||
           end.handles > start.handles + handleSlack || end.windows > start.windows ||
           end.hostObjects > start.hostObjects || end.hostMemoryDcs > start.hostMemoryDcs ||
           end.hostWindowDcs > start.hostWindowDcs || end.hostIcons > start.hostIcons;
}

}  // namespace soak
