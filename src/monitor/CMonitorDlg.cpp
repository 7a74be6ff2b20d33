#include "monitor/CMonitorDlg.h"

#include <cstdio>
#include <string>
#include <utility>

#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "monitor/CPlot.h"

namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kGrey = Rgb(64, 64, 64);
constexpr Color kGridColour = Rgb(0, 84, 107);

struct ChartPlaces {
    Rect caption;
    Rect chart;
    Rect top;
    Rect bottom;
    Rect current;
    const char* captionC;
    const char* captionOther;
};

constexpr std::array<ChartPlaces, CMonitorDlg::kChartCount> kPlaces = {{
    {{58, 60, 220, 20}, {58, 80, 220, 82}, {28, 80, 30, 15}, {28, 145, 30, 15}, {279, 115, 30, 15},
     "Gpu Core Clock(MHz)", "GPU Core Clock(MHz)"},
    {{348, 60, 220, 20}, {358, 80, 220, 82}, {328, 80, 30, 15}, {328, 145, 30, 15}, {579, 115, 40, 15},
     "Gpu Memory Clock(MHz)", "GPU Memory Clock(MHz)"},
    {{58, 180, 220, 20}, {58, 200, 220, 82}, {28, 200, 30, 15}, {28, 265, 30, 15}, {279, 235, 30, 15},
     "Gpu Voltage(mv)", "GPU Voltage(mv)"},
    {{358, 180, 220, 20}, {358, 200, 220, 82}, {328, 200, 30, 15}, {328, 265, 30, 15}, {579, 235, 30, 15},
     "Gpu Temperature(℃)", "GPU Temperature(℃)"},
    {{58, 300, 220, 20}, {58, 322, 220, 82}, {28, 320, 30, 15}, {28, 385, 30, 15}, {279, 355, 30, 15},
     "Gpu Utilization(%)", "GPU Utilization(%)"},
    {{358, 300, 220, 20}, {358, 320, 220, 82}, {328, 320, 30, 15}, {328, 385, 30, 15}, {579, 355, 30, 15},
     "Mem Utilization(%)", "Mem Utilization(%)"},
}};

std::string Number(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

}  // namespace

CMonitorDlg::CMonitorDlg(UiHost& host, CGpuControl& gpuControl, int factor, bool asPercent, bool lineC)
    : CBkDialogST(host, kTemplateId), SidePanel(kSideMonitor), gpu(gpuControl), memoryClockFactor(factor),
      voltageAsPercent(asPercent), productLineC(lineC) {
    readings[kCoreVoltage].rangeMax = 1600;
    readings[kTemperature].rangeMax = kMonitorMaxTemperature;
    readings[kGpuLoad].rangeMax = 100;
    readings[kMemoryLoad].rangeMax = 100;
}

void CMonitorDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetTitle("Monitor");
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);
    CreateControls();
    CreateCharts();
    ReadRanges();
    SetTimer(kSampleTimer, kSampleIntervalMs);
}

void CMonitorDlg::CreateControls() {
    Add<CButtonST>(kCloseButton, Rect{614, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    for (int i = 0; i < kChartCount; ++i) {
        const ChartIds& ids = kIds[size_t(i)];
        const ChartPlaces& places = kPlaces[size_t(i)];
        CLabel& caption = Add<CLabel>(ids.caption, places.caption);
        caption.SetFontName("DINPro").SetFontSize(-14).SetTextColor(kWhite).SetTransparent(true);
        caption.SetText(productLineC ? places.captionC : places.captionOther);
        const Color valueColour = i == kCoreVoltage && voltageAsPercent ? kGrey : kWhite;
        for (auto [id, rect] : {std::pair{ids.top, places.top}, std::pair{ids.bottom, places.bottom},
                                std::pair{ids.current, places.current}}) {
            Add<CLabel>(id, rect).SetFontName("DINPro").SetFontSize(-13).SetTextColor(valueColour).SetTransparent(true);
        }
    }
}

void CMonitorDlg::CreateCharts() {
    for (int i = 0; i < kChartCount; ++i) {
        rlcuv::CPlot& plot = Add<rlcuv::CPlot>(kIds[size_t(i)].chart, kPlaces[size_t(i)].chart);
        plot.gridOn = true;
        plot.gridColour = i == kCoreVoltage && voltageAsPercent ? kGrey : kGridColour;
        plot.blend = 1.0f;
        plot.penStyle = PenStyle::Solid;
        plot.SetScrollInterval(rlcuv::CPlot::kNoScrolling);
        const MonitorReading& reading = readings[size_t(i)];
        plot.AddSeries(reading.rangeMax, kSeriesNames[size_t(i)], reading.rangeMin, i == kGpuLoad ? 1 : 0);
        const Rect& place = kPlaces[size_t(i)].chart;
        plot.onContextMenu = [this, place](Point at) { ShowChartMenu({place.left + at.x, place.top + at.y}); };
    }
}

void CMonitorDlg::ReadRanges() {
    GpuPerfInfo info{};
    if (gpu.ReadPstateTable(kSelectedGpu, info, 0) == 0) {
        // Doubled before the division by 1000, in 64 bits: the driver's range cannot overflow it.
        const int64_t memory = voltageAsPercent ? info.memoryRangeMax : info.memorySingleClock;
        readings[kCoreClock].rangeMax = ClampToInt(2 * int64_t(info.graphicsRangeMax) / 1000);
        readings[kMemoryClock].rangeMax = ClampToInt(2 * memory / 1000);
    } else {
        readings[kCoreClock].rangeMax = 0;
        readings[kMemoryClock].rangeMax = 0;
    }
    for (int i = 0; i < kChartCount; ++i) {
        SetItemText(kIds[size_t(i)].top, Number(readings[size_t(i)].rangeMax));
        SetItemText(kIds[size_t(i)].bottom, "0");
    }
}

void CMonitorDlg::OnGpuChanged() {
    if (IsWindowCreated()) ReadRanges();
}

void CMonitorDlg::OnTimer(int timerId) {
    if (timerId == kSampleTimer) TakeSample();
}

void CMonitorDlg::TakeSample() {
    // A failed clock read leaves every chart and label as it was.
    if (!ReadMonitorSample(gpu, memoryClockFactor, sample)) return;
    const int values[kChartCount] = {sample.coreClockMhz, sample.memoryClockMhz, sample.coreVoltageMv,
                                     sample.temperatureC, sample.gpuLoad,        sample.memoryLoad};
    for (int i = 0; i < kChartCount; ++i) {
        MonitorReading& reading = readings[size_t(i)];
        reading.current = values[i];
        // Curve-mode cards give the voltage as a boost, so the chart of absolute volts stays empty.
        if (i != kCoreVoltage || !voltageAsPercent) {
            if (auto* plot = ControlAs<rlcuv::CPlot>(kIds[size_t(i)].chart)) {
                plot->AddPoint(kSeriesNames[size_t(i)], RangePercent(reading.current, reading.rangeMin, reading.rangeMax),
                               reading.current, "", true);
            }
        }
        // Only a changed value repaints its label.
        if (reading.current != reading.shown) {
            SetItemText(kIds[size_t(i)].current, Number(reading.current));
            reading.shown = reading.current;
        }
    }
    WriteLogLine();
    if (sampleObserver) sampleObserver(sample);
}

void CMonitorDlg::OnCommand(int id) {
    if (id == kCloseButton) CloseFromButton();
}
