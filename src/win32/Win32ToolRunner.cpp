#include "win32/Win32ToolRunner.h"

#include "win32/TextConvert.h"
#include "win32/ThreadWindowsDisabled.h"
#include "win32/WinApi.h"

namespace {

void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped; elsewhere they stay as they are.
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    // Before the closing quote they are doubled too.
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// Waits for the process while the thread's windows keep painting and running their timers. A quit
// request that arrives meanwhile is passed on once the process has ended.
void WaitPumping(HANDLE process) {
    const ThreadWindowsDisabled modal;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) break;
        if (woke != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(process, INFINITE);
            break;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (quit) PostQuitMessage(quitCode);
}

}  // namespace

std::wstring QuotedCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty()) line += L' ';
        AppendQuoted(line, argument);
    }
    return line;
}

ToolOutcome Win32ToolRunner::RunAndWait(const ToolLaunch& launch) {
    ToolOutcome outcome;
    const std::wstring program = std::filesystem::path(launch.program).make_preferred().wstring();
    const std::wstring folder = std::filesystem::path(launch.workFolder).make_preferred().wstring();
    std::vector<std::wstring> arguments;
    for (const std::string& argument : launch.arguments) arguments.push_back(Utf8ToWide(argument));
    std::wstring commandLine = QuotedCommandLine(arguments);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return outcome;
    }
    CloseHandle(info.hThread);
    outcome.started = true;
    WaitPumping(info.hProcess);
    DWORD code = 0;
    outcome.exitCode = GetExitCodeProcess(info.hProcess, &code) ? static_cast<int>(code) : -1;
    CloseHandle(info.hProcess);
    return outcome;
}

bool Win32ToolRunner::SystemIs64Bit() {
#ifdef _WIN64
    return true;
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    auto isWow64 = kernel32 ? reinterpret_cast<IsWow64ProcessFn>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel32, "IsWow64Process")))
                            : nullptr;
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}
