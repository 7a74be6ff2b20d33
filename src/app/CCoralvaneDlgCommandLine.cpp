#include "app/CCoralvaneDlg.h"
#include "app/CMsgDlg.h"
#include "monitor/CMonitorDlg.h"
#include "panels/CAdvanceDlg.h"
#include "platform/Utf8Path.h"

void CCoralvaneDlg::DecideStartupOverclockNow() {
    const bool wanted = settings.autoOverClock == 1 ||
                        (settings.keyOc != 0 && (accessoryOnCard || lighting.kind == LightingUsbAccessory));
    const bool shift = wanted && services.shiftHeld && services.shiftHeld();
    const bool left = wanted && FailSafeRecordLeft(services.folder, configFileName);
    startupOverclock = DecideStartupOverclock(wanted, startupCommand.profileIndex >= 0, shift, left);
    switch (startupOverclock) {
        case StartupOverclock::Apply:
            // Set before the first write reaches the card: a start that dies from here on leaves it.
            WriteFailSafeRecord(services.folder, configFileName, true);
            failSafeSetAt = MainClock().NowMs();
            failSafePending = true;
            break;
        case StartupOverclock::SkipLeftover:
            // Said once: the next start tries the overclock again, under a new record.
            WriteFailSafeRecord(services.folder, configFileName, false);
            ShowMessage(StartupOverclockText(startupOverclock), CMsgDlg::kNotice);
            break;
        case StartupOverclock::SkipShift:
            ShowMessage(StartupOverclockText(startupOverclock), CMsgDlg::kNotice);
            break;
        case StartupOverclock::None:
        case StartupOverclock::SkipCommand:
            break;
    }
}

void CCoralvaneDlg::OnFailSafeTimer() {
    const uint64_t ran = MainClock().NowMs() - failSafeSetAt;
    if (ran < kFailSafeClearMs) {
        SetTimer(kTimerFailSafe, static_cast<uint32_t>(kFailSafeClearMs - ran));
        return;
    }
    // A record that cannot be cleared now is tried again a period later.
    if (WriteFailSafeRecord(services.folder, configFileName, false) == 0) {
        failSafePending = false;
        KillTimer(kTimerFailSafe);
    }
}

void CCoralvaneDlg::ClearFailSafeRecordOnExit() {
    if (failSafePending && WriteFailSafeRecord(services.folder, configFileName, false) == 0)
        failSafePending = false;
}

Clock& CCoralvaneDlg::MainClock() {
    static SystemClock systemClock;
    return services.clock ? *services.clock : systemClock;
}

CommandStatus CCoralvaneDlg::RunCommand(const CommandLine& command) {
    CommandStatus status = CommandStatus::Done;
    if (command.profileIndex >= 0) status = ApplyProfileCommand(command.profileIndex);
    if (!command.logPath.empty()) {
        const CommandStatus logged = StartSensorLog(PathFromUtf8(command.logPath));
        if (status == CommandStatus::Done) status = logged;
    }
    return status;
}

CommandStatus CCoralvaneDlg::StartSensorLog(const std::filesystem::path& path) {
    auto* monitor = dynamic_cast<CMonitorDlg*>(FindSidePanel(kSideMonitor));
    if (!monitor || !IsWindowCreated()) return CommandStatus::LogFailed;
    // Its timer takes the samples, shown or not.
    if (!monitor->IsWindowCreated() && monitor->Create(this) != 0) return CommandStatus::LogFailed;
    return monitor->StartLog(path) ? CommandStatus::Done : CommandStatus::LogFailed;
}

void CCoralvaneDlg::RunStartupCommand() {
    startupCommandStatus = RunCommand(startupCommand);
    if (startupCommandStatus != CommandStatus::Done)
        ShowMessage(CommandStatusText(startupCommandStatus), CMsgDlg::kNotice);
    if (startupCommand.quit) EndDialog(kIdOk);
}

intptr_t CCoralvaneDlg::TakeCommand(uint32_t tag, std::string_view bytes) {
    if (tag != kCommandTag) return 0;
    if (!initialised) return kCommandAnswerBusy;
    const ParsedCommandLine parsed = ParseCommandLine(DecodeCommandArgs(bytes));
    const CommandStatus status =
        parsed.Ok() && parsed.command.HasWork() ? RunCommand(parsed.command) : CommandStatus::BadCommandLine;
    // The sender is waiting for the answer; the message shows once it has it.
    if (status != CommandStatus::Done && status != CommandStatus::BadCommandLine) {
        PostToUi([this, status] { ShowMessage(CommandStatusText(status), CMsgDlg::kNotice); });
    }
    return kCommandAnswerBase + static_cast<intptr_t>(status);
}
