// The benchmark's hands inside Wine:
//   probe start <exe> <title>      starts the program, waits for its first painted window whose
//                                  title holds <title>; prints "startup_ms N", "paused_ms N" (the
//                                  protocol pauses the program noted before its first picture)
//                                  and "pid N"
//   probe click <pid> <id>         clicks the control of that id in the process's windows
//   probe close <pid>              asks the process's windows to close, waits for it to end
// The program keeps running after "start".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (!s->title || wcsstr(text, s->title)) s->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Windows(DWORD pid, const wchar_t* title) {
    Search s{pid, title, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Painted: the window's rectangle on the screen holds more than one colour (before its first
// paint it is one flat colour).
bool Painted(HWND hwnd) {
    RECT r;
    if (!GetWindowRect(hwnd, &r) || r.right - r.left < 8 || r.bottom - r.top < 8) return false;
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (int i = 1; i < 16; ++i)
        for (int j = 1; j < 16; ++j)
            colours.insert(GetPixel(screen, r.left + (r.right - r.left) * i / 16, r.top + (r.bottom - r.top) * j / 16));
    ReleaseDC(nullptr, screen);
    return colours.size() > 2;
}

int Start(const wchar_t* exe, const wchar_t* title) {
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\"";
    std::wstring dir(exe);
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        std::printf("error cannot start\n");
        return 1;
    }
    for (int waited = 0; waited < 60000; waited += 5) {
        for (HWND w : Windows(pi.dwProcessId, title)) {
            if (Painted(w)) {
                QueryPerformanceCounter(&t1);
                // The program notes on its window how long its protocol paused before the first
                // picture (plus one); a window without the note paused for nothing.
                const auto noted = reinterpret_cast<uintptr_t>(GetPropW(w, L"Coralvane.PausedMs"));
                std::printf("startup_ms %lld\npaused_ms %llu\npid %lu\n",
                            (t1.QuadPart - t0.QuadPart) * 1000 / f.QuadPart,
                            static_cast<unsigned long long>(noted ? noted - 1 : 0), pi.dwProcessId);
                return 0;
            }
        }
        Sleep(5);
    }
    std::printf("error no painted window\npid %lu\n", pi.dwProcessId);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"start" && argc == 4) return Start(argv[2], argv[3]);
    if (verb == L"click" && argc == 4) {
        const int id = _wtoi(argv[3]);
        for (HWND w : Windows(wcstoul(argv[2], nullptr, 10), nullptr)) {
            if (HWND button = GetDlgItem(w, id)) {
                SendNotifyMessageW(button, BM_CLICK, 0, 0);
                DWORD_PTR ignored;
                SendMessageTimeoutW(button, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
                return 0;
            }
        }
        return 1;
    }
    if (verb == L"close" && argc == 3) {
        const DWORD pid = wcstoul(argv[2], nullptr, 10);
        HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        for (HWND w : Windows(pid, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
        if (p && WaitForSingleObject(p, 10000) != WAIT_OBJECT_0) TerminateProcess(p, 1);
        return 0;
    }
    std::fprintf(stderr, "usage: probe start <exe> <title> | click <pid> <id> | close <pid>\n");
    return 2;
}
