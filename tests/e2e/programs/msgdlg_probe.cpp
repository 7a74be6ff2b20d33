// Shows the message dialog through the Win32 host and exits with the dialog's result, for the
// end-to-end tests to drive from outside. Arguments: [mode] [text]; mode 1 (question) and the text
// "初始化失败！" unless given. Exit code 3: the dialog could not be shown.
#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/CMsgDlg.h"
#include "win32/TextConvert.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int mode = CMsgDlg::kQuestion;
    std::string text = "初始化失败！";
    if (__argc > 1) mode = int(std::wcstol(__wargv[1], nullptr, 10));
    if (__argc > 2) text = WideToUtf8(__wargv[2]);

    Win32Host host(instance);
    CMsgDlg dialog(host, mode);
    dialog.SetText(text);
    const int result = dialog.DoModal();
    return result == kModalFailed ? 3 : result;
}
