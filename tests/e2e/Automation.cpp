#include "Automation.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

std::wstring ExeDir() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

std::wstring CurrentDir() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    return std::wstring(buffer, length) + L"\\";
}

std::wstring Bitness() {
    return sizeof(void*) == 8 ? L"64" : L"32";
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::wstring BuildDir() {
    std::wstring dir = ExeDir();
    dir.pop_back();
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

Launched Launch(const std::wstring& exe, const std::wstring& args, const std::vector<std::wstring>& env,
                const std::wstring& outputPath) {
    // The child gets our environment plus the given variables, as a sorted-enough block.
    std::wstring block;
    if (wchar_t* current = GetEnvironmentStringsW()) {
        for (const wchar_t* v = current; *v; v += wcslen(v) + 1) {
            std::wstring var(v);
            bool overridden = false;
            for (const auto& e : env)
                if (_wcsnicmp(var.c_str(), e.c_str(), e.find(L'=') + 1) == 0) overridden = true;
            if (!overridden) block += var + L'\0';
        }
        FreeEnvironmentStringsW(current);
    }
    for (const auto& e : env) block += e + L'\0';
    block += L'\0';

    std::wstring cmd = L"\"" + exe + L"\" " + args;
    std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputPath.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) return {};
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output;
        si.hStdError = output;
    }
    PROCESS_INFORMATION pi{};
    Launched out;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE,
                       CREATE_UNICODE_ENVIRONMENT, block.data(), dir.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        out.process = pi.hProcess;
        out.pid = pi.dwProcessId;
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    return out;
}

int WaitExit(const Launched& p, DWORD timeoutMs) {
    if (!p.process || WaitForSingleObject(p.process, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(p.process, &code);
    return static_cast<int>(code);
}

void Stop(Launched& p) {
    if (!p.process) return;
    if (WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(p.process, 99);
        WaitForSingleObject(p.process, 5000);
    }
    CloseHandle(p.process);
    p.process = nullptr;
}

bool HasModule(HANDLE process, const std::wstring& fileName) {
    HMODULE modules[512];
    DWORD needed = 0;
    if (!process || !EnumProcessModules(process, modules, sizeof modules, &needed)) return false;
    const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 512);
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) && _wcsicmp(name, fileName.c_str()) == 0)
            return true;
    }
    return false;
}

std::wstring DriverFileName() {
    return sizeof(void*) == 8 ? L"nvapi64.dll" : L"nvapi.dll";
}

namespace {
struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
    return TRUE;
}

std::wstring TitleOf(HWND hwnd) {
    wchar_t buf[512];
    int n = GetWindowTextW(hwnd, buf, 512);
    return std::wstring(buf, n > 0 ? n : 0);
}
}  // namespace

namespace {
struct ControlSearch {
    DWORD pid;
    int id;
    HWND found;
};

BOOL CALLBACK FindWithControl(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<ControlSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != f->pid || !GetDlgItem(hwnd, f->id)) return TRUE;
    f->found = hwnd;
    return FALSE;
}

struct MenuSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPopupMenu(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<MenuSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (owner != s->pid || std::wstring(name) != L"#32768" || !IsWindowVisible(window)) return TRUE;
    s->found = window;
    return FALSE;
}
}  // namespace

HWND WindowWithControl(DWORD pid, int id) {
    ControlSearch find{pid, id, nullptr};
    EnumWindows(FindWithControl, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND PopupMenuOf(DWORD pid) {
    MenuSearch search{pid, nullptr};
    EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND OpenNotificationMenu(HWND owner, UINT callbackMessage, UINT iconId, DWORD pid) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        PostMessageW(owner, callbackMessage, iconId, WM_RBUTTONUP);
        HWND popup = nullptr;
        if (!WaitUntil([&] { return (popup = PopupMenuOf(pid)) != nullptr; }, 3000)) continue;
        Sleep(300);
        if (IsWindowVisible(popup)) return popup;
    }
    return nullptr;
}

bool ChooseMenuItem(HWND popup, wchar_t key) {
    // A key that reaches the menu before its loop runs is dropped, so it goes again until the menu
    // closes.
    return WaitUntil(
        [&] {
            PostMessageW(popup, WM_CHAR, key, 0);
            return !IsWindowVisible(popup);
        },
        5000);
}

bool NotificationIconShown(HWND owner, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Coralvane");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::vector<HWND> WindowsOf(DWORD pid) {
    Search s{pid, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForWindow(DWORD pid, const std::wstring& title, DWORD timeoutMs) {
    HWND hit = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(pid))
                if (title.empty() || TitleOf(w).find(title) != std::wstring::npos) {
                    hit = w;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return hit;
}

bool Click(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    // BM_CLICK goes as a sent message that nobody waits for: a send that timed out while the program
    // was busy would be withdrawn (Wine does so), and the click lost. The empty message sent after
    // it comes back once the click has run, or its modal loop has started; if the program is still
    // busy after the time-out, the click runs later all the same.
    SendNotifyMessageW(button, BM_CLICK, 0, 0);
    DWORD_PTR ignored;
    SendMessageTimeoutW(button, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    return true;
}

std::wstring TextOf(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? TitleOf(item) : std::wstring();
}

bool IsShown(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowVisible(item);
}

void PressKey(HWND window, UINT vk) {
    PostMessageW(window, WM_KEYDOWN, vk, 0);
    PostMessageW(window, WM_KEYUP, vk, 0xC0000000);
}

ClientPixels::ClientPixels(HWND window) {
    RECT r{};
    if (!GetClientRect(window, &r) || r.right <= 0 || r.bottom <= 0) return;
    width = r.right;
    height = r.bottom;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* words = static_cast<const uint32_t*>(bits);
        pixels.resize(size_t(width) * size_t(height));
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t w = words[i];
            pixels[i] = RGB((w >> 16) & 0xFF, (w >> 8) & 0xFF, w & 0xFF);
        }
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

COLORREF ClientPixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height || pixels.empty()) return RGB(0, 0, 0);
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

bool Screenshot(HWND window, const std::wstring& path) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
        ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             fwrite(bits, 1, size, f) == size;
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

namespace {
BOOL CALLBACK FindControlById(HWND child, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<int, HWND>*>(param);
    if (GetDlgCtrlID(child) != found->first) return TRUE;
    found->second = child;
    return FALSE;
}
}  // namespace

HWND PanelHolding(HWND main, int id) {
    std::pair<int, HWND> found{id, nullptr};
    WaitUntil(
        [&] {
            EnumChildWindows(main, FindControlById, reinterpret_cast<LPARAM>(&found));
            return found.second != nullptr;
        },
        5000);
    return found.second ? GetParent(found.second) : nullptr;
}

bool Press(HWND dialog, int id) {
    HWND root = GetAncestor(dialog, GA_ROOT);
    if (GetForegroundWindow() != root) {
        SetForegroundWindow(root);
        WaitUntil([&] { return GetForegroundWindow() == root; }, 2000);
    }
    return Click(dialog, id);
}

std::vector<std::string> I2cWrites(const std::wstring& journal) {
    std::vector<std::string> writes;
    std::ifstream in(std::filesystem::path(journal), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("E812EB07 NvAPI_I2CWrite status=0 ", 0) != 0) continue;
        const size_t at = line.find(" data=");
        if (at == std::string::npos) continue;
        std::string data = line.substr(at + 6);
        while (!data.empty() && (data.back() == '\r' || data.back() == '\n')) data.pop_back();
        writes.push_back(data);
    }
    return writes;
}

}  // namespace e2e
