#include <string>
#include <vector>

#include "app/CMsgDlg.h"
#include "monitor/CMonitorDlg.h"
#include "platform/Clock.h"

namespace {

FileDialogRequest LogFileRequest() {
    FileDialogRequest request;
    request.initialName = "Coralvane.csv";
    request.defaultExtension = "csv";
    request.filter = "CSV file(*.csv)|*.csv|";
    // The log is appended to an existing file, never replaces it.
    request.askBeforeReplacing = false;
    return request;
}

}  // namespace

bool CMonitorDlg::StartLog(const std::filesystem::path& path) {
    if (!log) {
        static SystemClock systemClock;
        Clock& clock = logWith.clock ? *logWith.clock : systemClock;
        log = logWith.openFile ? std::make_unique<SensorLog>(clock, logWith.openFile())
                               : std::make_unique<SensorLog>(clock);
    }
    return log->Start(path);
}

void CMonitorDlg::StopLog() {
    if (log) log->Stop();
}

const std::filesystem::path& CMonitorDlg::LogPath() const {
    static const std::filesystem::path none;
    return log ? log->Path() : none;
}

void CMonitorDlg::OnDestroy() {
    StopLog();
    CBkDialogST::OnDestroy();
}

void CMonitorDlg::ShowChartMenu(Point clientPoint) {
    if (!logWith.menu) return;
    // Tracked once the mouse message is done with, not inside it.
    PostToUi([this, clientPoint] {
        const std::vector<PopupMenuItem> items = {Logging()
                                                      ? PopupMenuItem{kMenuStopLog, kMenuStopLogText}
                                                      : PopupMenuItem{kMenuStartLog, kMenuStartLogText}};
        const int chosen = logWith.menu->Track(*this, clientPoint, items);
        if (chosen == kMenuStartLog && !Logging()) {
            ChooseAndStartLog();
        } else if (chosen == kMenuStopLog) {
            StopLog();
        }
    });
}

void CMonitorDlg::ChooseAndStartLog() {
    if (!logWith.dialogs) return;
    std::filesystem::path chosen;
    if (!logWith.dialogs->ChooseSaveFile(LogFileRequest(), chosen)) return;
    if (!StartLog(chosen)) ShowLogMessage(kSensorLogOpenFailedText);
}

void CMonitorDlg::WriteLogLine() {
    if (!Logging()) return;
    const SensorSample line{sample.coreClockMhz, sample.memoryClockMhz, sample.coreVoltageMv,
                            sample.temperatureC, sample.gpuLoad,        sample.memoryLoad};
    // The failed write has stopped the log, so the message is the only one.
    if (!log->Write(line)) PostToUi([this] { ShowLogMessage(kSensorLogWriteFailedText); });
}

void CMonitorDlg::ShowLogMessage(std::string_view text) {
    CMsgDlg message(Host(), CMsgDlg::kNotice);
    message.SetText(std::string(text));
    message.DoModal(Window().visible ? this : nullptr);
}
