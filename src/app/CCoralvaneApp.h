#pragma once
#include <string_view>

#include "app/CCoralvaneDlg.h"
#include "app/CommandLine.h"
#include "platform/CommandHandOver.h"
#include "platform/InstanceGuard.h"

// The process's application object: answers -Help and a bad command line, guards against a second
// running copy (handing a command over to it instead), then runs the main window modally. The
// process ends when that window closes.
class CCoralvaneApp {
public:
    static constexpr std::string_view kMutexName = "Coralvane MainFrame mutex";
    static constexpr std::string_view kInitFailedText = "初始化失败！";
    static constexpr std::string_view kAlreadyRunningText =
        "已经有一个Coralvane运行中，需要再打开多一个Coralvane？";
    // How long a command waits for a running copy whose main window is still starting.
    static constexpr uint32_t kHandOverWaitMs = 20000;
    static constexpr uint32_t kHandOverRetryMs = 250;

    CCoralvaneApp(const CoralvaneServices& services, InstanceGuard& guard);

    // The command line, and the way to a running copy (none: a command never goes there).
    void SetCommandLine(ParsedCommandLine parsed, CommandHandOver* handOver);
    // Where -Help and failures of a command go besides the message dialog (standard output and
    // standard error); unset: nowhere.
    std::function<void(std::string_view)> writeOutput;
    std::function<void(std::string_view)> writeError;

    // Always false: there is no message loop of the application's own, so the process exits once
    // this returns.
    bool InitInstance();

    // The main window while it runs, else null.
    CCoralvaneDlg* MainWindow() const { return mainWindow; }
    // The process's exit code: 0, or ExitCodeFor the command's failure.
    int ExitCode() const { return exitCode; }

private:
    // Tells of a failed command in the message dialog (when `show`) and on standard error.
    void Fail(CommandStatus status, std::string_view text, bool show);
    CommandStatus HandOver();
    int ShowNotice(std::string_view text);

    CoralvaneServices services;
    InstanceGuard& guard;
    ParsedCommandLine commandLine;
    CommandHandOver* handOver = nullptr;
    CCoralvaneDlg* mainWindow = nullptr;
    int exitCode = 0;
};
