#include "app/CCoralvaneApp.h"

#include <string>

#include "app/CMsgDlg.h"
#include "platform/Utf8Path.h"

CCoralvaneApp::CCoralvaneApp(const CoralvaneServices& given, InstanceGuard& instanceGuard)
    : services(given), guard(instanceGuard) {}

void CCoralvaneApp::SetCommandLine(ParsedCommandLine parsed, CommandHandOver* runningCopy) {
    commandLine = std::move(parsed);
    handOver = runningCopy;
}

int CCoralvaneApp::ShowNotice(std::string_view text) {
    CMsgDlg notice(services.host, CMsgDlg::kNotice);
    notice.SetText(std::string(text));
    return notice.DoModal();
}

void CCoralvaneApp::Fail(CommandStatus status, std::string_view text, bool show) {
    exitCode = ExitCodeFor(status);
    if (writeError) writeError(std::string(text) + "\r\n");
    if (show) ShowNotice(text);
}

bool CCoralvaneApp::InitInstance() {
    CommandLine& command = commandLine.command;
    // Answered before anything else, so a mistyped switch changes nothing.
    if (!commandLine.Ok()) {
        Fail(CommandStatus::BadCommandLine, commandLine.error, true);
        return false;
    }
    if (command.help) {
        if (writeOutput) writeOutput(std::string(CommandLineHelp()) + "\r\n");
        ShowNotice(CommandLineHelp());
        return false;
    }

    // A copy already running has its own current folder: the log's name is completed here.
    if (!command.logPath.empty()) {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(PathFromUtf8(command.logPath), error);
        if (!error) command.logPath = Utf8FromPath(full);
    }

    const InstanceStatus status = guard.CreateInstanceMutex(kMutexName);
    if (status == InstanceStatus::AlreadyRunning && command.HasWork() && handOver) {
        // The running copy shows its own message when it cannot do the command.
        const CommandStatus result = HandOver();
        if (result != CommandStatus::Done)
            Fail(result, CommandStatusText(result), result == CommandStatus::NotHandedOver);
        return false;
    }
    if (status != InstanceStatus::First) {
        CMsgDlg question(services.host, CMsgDlg::kQuestion);
        question.SetText(
            std::string(status == InstanceStatus::Failed ? kInitFailedText : kAlreadyRunningText));
        const int answer = question.DoModal();
        if (status == InstanceStatus::Failed) exitCode = 1;
        if (status == InstanceStatus::Failed || answer != 1) return false;
    }

    if (services.loadDriver) services.queryInterface = services.loadDriver();
    CCoralvaneDlg dialog(services);
    dialog.SetStartupCommand(command);
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    const CommandStatus result = dialog.StartupCommandStatus();
    // The main window has shown its message already.
    if (result != CommandStatus::Done) Fail(result, CommandStatusText(result), false);
    return false;
}

CommandStatus CCoralvaneApp::HandOver() {
    static SystemClock systemClock;
    Clock& clock = services.clock ? *services.clock : systemClock;
    const std::string bytes = EncodeCommand(commandLine.command);
    const uint64_t start = clock.NowMs();
    for (;;) {
        const intptr_t answer = handOver->SendToRunningCopy(kCommandTag, bytes);
        if (answer >= kCommandAnswerBase &&
            answer <= kCommandAnswerBase + static_cast<intptr_t>(CommandStatus::BadCommandLine))
            return static_cast<CommandStatus>(answer - kCommandAnswerBase);
        // No window yet, or one still starting: the other copy may be a moment ahead of us.
        if (clock.NowMs() - start >= kHandOverWaitMs) return CommandStatus::NotHandedOver;
        clock.SleepMs(kHandOverRetryMs);
    }
}
