#include <string>
#include <vector>

#include "app/CCoralvaneApp.h"
#include "monitor/CMeter.h"
#include "platform/TaskAutorunStore.h"
#include "sim/hid/SimAccessory.h"
#include "win32/DriverLoader.h"
#include "win32/TextConvert.h"
#include "win32/Win32AutorunStore.h"
#include "win32/Win32CommandHandOver.h"
#include "win32/Win32Console.h"
#include "win32/Win32FileDialogs.h"
#include "win32/Win32FontProbe.h"
#include "win32/Win32HidSystem.h"
#include "win32/Win32Host.h"
#include "win32/Win32InstanceGuard.h"
#include "win32/Win32LogonTask.h"
#include "win32/Win32NotificationArea.h"
#include "win32/Win32PopupMenu.h"
#include "win32/Win32ProgramFolder.h"
#include "win32/Win32ShellOpener.h"
#include "win32/Win32ToolRunner.h"
#include "win32/WinApi.h"

namespace {

// The arguments after the program's name, UTF-8.
std::vector<std::string> CommandArguments() {
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(argv[i]));
        LocalFree(argv);
    }
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Every Windows 95 common control class (ICC_WIN95_CLASSES); the record is 8 bytes.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
    InitCommonControlsEx(&controls);
    // The dials draw their numbers in the LED face when it is installed, else their own segments.
    SetFontFaceProbe(FontFaceInstalled);

    Win32ProgramFolder folder;
    Win32Host host(instance);
    Win32ShellOpener shell;
    CCoralvaneApp* app = nullptr;
    auto mainWindow = [&]() -> HWND {
        CCoralvaneDlg* main = app ? app->MainWindow() : nullptr;
        return main ? host.WindowOf(*main) : nullptr;
    };
    Win32NotificationArea notificationArea(mainWindow);

    CoralvaneServices services(host, folder);
    // Only from the system directory (the program runs elevated and must not load a planted copy),
    // and only after the question a second copy asks.
    services.loadDriver = [] { return LoadDriverInterface(); };
    services.notificationArea = &notificationArea;
    services.shell = &shell;
    // Autorun is a logon task; the Run value only where the system has no scheduler for one.
    Win32LogonTask logonTask;
    Win32AutorunStore runValue;
    TaskAutorunStore autorun(logonTask, runValue);
    services.autorun = &autorun;
    services.setAutorun = [&autorun] { return static_cast<int>(autorun.SetAutorun()); };
    // The USB accessory is looked for among the system's HID interfaces, or, for tests and
    // `make run`, among simulated ones named by CORALVANE_SIM_ACCESSORY.
    Win32HidSystem systemHid;
    std::unique_ptr<SimHidSystem> simulatedHid = SimAccessoriesFromEnvironment();
    services.hid = simulatedHid ? static_cast<HidSystem*>(simulatedHid.get()) : &systemHid;
    Win32FileDialogs fileDialogs(mainWindow);
    Win32ToolRunner toolRunner;
    services.fileDialogs = &fileDialogs;
    services.toolRunner = &toolRunner;
    Win32PopupMenu popupMenu(host);
    services.popupMenu = &popupMenu;
    services.shiftHeld = [] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; };
    Win32InstanceGuard guard;
    Win32CommandHandOver handOver;
    CCoralvaneApp coralvane(services, guard);
    coralvane.SetCommandLine(ParseCommandLine(CommandArguments()), &handOver);
    coralvane.writeOutput = WriteStandardOutput;
    coralvane.writeError = WriteStandardError;
    app = &coralvane;
    // A copy started later hands its command to our main window.
    host.SetCopyDataHandler([&](CDialog& dialog, uint32_t tag, std::string_view bytes) -> intptr_t {
        CCoralvaneDlg* main = coralvane.MainWindow();
        return main && &dialog == main ? main->TakeCommand(tag, bytes) : 0;
    });
    coralvane.InitInstance();
    return coralvane.ExitCode();
}
