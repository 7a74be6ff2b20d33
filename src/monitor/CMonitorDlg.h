#pragma once
#include <array>
#include <climits>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"
#include "gpu/CGpuControl.h"
#include "monitor/MonitorSample.h"
#include "monitor/SensorLog.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "ui/PopupMenu.h"

// What the window's sensor log uses: the clock its times follow, the charts' menu, the file dialog
// that names the log and how the file is opened. Without a menu the charts have none.
struct MonitorLogServices {
    Clock* clock = nullptr;  // null: the system clock
    PopupMenu* menu = nullptr;
    FileDialogs* dialogs = nullptr;
    std::function<std::unique_ptr<LineFile>()> openFile;  // unset: the file system
};

// One chart's reading: the value last read, the chart's range and the value its label shows.
struct MonitorReading {
    int current = 0;
    int rangeMin = 0;
    int rangeMax = 0;
    int shown = INT_MIN;  // nothing written yet
};

// The monitoring side window: six scrolling charts of the selected GPU (core clock, memory clock,
// core voltage, temperature, GPU load, memory load), sampled every 500 ms from the first opening on,
// also while hidden, with each reading's current value beside its chart.
class CMonitorDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 285;
    static constexpr int kBackgroundBitmap = 286;
    static constexpr int kWidth = 650;
    static constexpr int kHeight = 445;
    static constexpr int kCloseButton = 1177;
    static constexpr int kSampleTimer = 1;
    static constexpr uint32_t kSampleIntervalMs = 500;
    // The charts' menu.
    static constexpr int kMenuStartLog = 40001;
    static constexpr int kMenuStopLog = 40002;
    static constexpr const char* kMenuStartLogText = "开始记录日志(&L)...";
    static constexpr const char* kMenuStopLogText = "停止记录日志(&S)";

    enum Chart { kCoreClock, kMemoryClock, kCoreVoltage, kTemperature, kGpuLoad, kMemoryLoad, kChartCount };

    // Ids of one chart's controls.
    struct ChartIds {
        int caption;
        int chart;
        int top;
        int bottom;
        int current;
    };
    static constexpr std::array<ChartIds, kChartCount> kIds = {{
        {1182, 1153, 1155, 1154, 1156},
        {1183, 1157, 1159, 1158, 1160},
        {1181, 1161, 1163, 1162, 1164},
        {1180, 1165, 1167, 1166, 1168},
        {1178, 1169, 1171, 1170, 1172},
        {1179, 1173, 1175, 1174, 1176},
    }};
    static constexpr std::array<const char*, kChartCount> kSeriesNames = {
        "Engine Clock MHz", "Memory Clock MHz", "Core Voltage mV", "Temperature C", "Gpu Utilization %",
        "Mem Utilization %"};

    CMonitorDlg(UiHost& host, CGpuControl& gpu, int memoryClockFactor, bool voltageAsPercent, bool productLineC);

    CDialog& Dialog() override { return *this; }
    // The new GPU's clock ranges and top labels; the charts keep their history.
    void OnGpuChanged() override;

    const MonitorReading& Reading(int chart) const { return readings[size_t(chart)]; }
    const MonitorSample& LastSample() const { return sample; }
    // Called with every sample the window takes.
    void SetSampleObserver(std::function<void(const MonitorSample&)> observer) { sampleObserver = std::move(observer); }

    // The sensor log (CMonitorDlgLog.cpp): one line per sample from the next tick on, into a file
    // appended to. The window must exist (its timer takes the samples). False when the file cannot
    // be opened; the log is then off.
    void SetLogServices(MonitorLogServices logServices) { logWith = std::move(logServices); }
    bool StartLog(const std::filesystem::path& path);
    void StopLog();
    bool Logging() const { return log && log->Running(); }
    const std::filesystem::path& LogPath() const;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnTimer(int timerId) override;
    void OnDestroy() override;

private:
    void CreateControls();
    void CreateCharts();
    void ReadRanges();
    void TakeSample();
    // The sensor log's part.
    void ShowChartMenu(Point clientPoint);
    void ChooseAndStartLog();
    void WriteLogLine();
    void ShowLogMessage(std::string_view text);

    CGpuControl& gpu;
    int memoryClockFactor;
    bool voltageAsPercent;
    bool productLineC;
    std::array<MonitorReading, kChartCount> readings{};
    MonitorSample sample;
    std::function<void(const MonitorSample&)> sampleObserver;
    MonitorLogServices logWith;
    std::unique_ptr<SensorLog> log;
};
