#include "app/MainFanControl.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/ConfigFile.h"
#include "app/StartupSettings.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "gpu/CoolerRecords.h"
#include "monitor/CMeter.h"
#include "ui/CDialog.h"

namespace {

constexpr Rect kClockDialRect{38, 100, 286, 228};
constexpr Rect kTemperatureDialRect{678, 100, 286, 228};
constexpr Rect kSliderRect{740, 338, 160, 8};
constexpr Rect kLabelRect{810, 327, 25, 10};
constexpr int kFanButtonTop = 397;
constexpr int kFanButtonWidth = 56;
constexpr int kFanButtonHeight = 32;

constexpr int kSliderChannel = 276;
constexpr int kSliderChannelActive = 277;
constexpr int kSliderThumb = 293;
constexpr int kSliderThumbActive = 292;

constexpr Color kDialKey = Rgb(77, 0, 85);
constexpr Color kLabelColour = Rgb(255, 255, 1);
constexpr std::string_view kDialFace = "UniDreamLED";
constexpr std::string_view kLabelFace = "DINPro";
constexpr Point kUpperNumber{128, 125};
constexpr Point kLowerNumber{128, 150};

// The speed reading counts as a running fan only from this value on.
constexpr uint32_t kLowestSpeedReading = 300;

struct ModeButton {
    int id;
    int mode;
    std::string_view icon;
};
constexpr std::array<ModeButton, 3> kModeButtons = {{
    {MainFanControl::kFanAuto, kFanModeAuto, "Fan_Auto"},
    {MainFanControl::kFanManual, kFanModeManual, "Fan_Manual"},
    {MainFanControl::kFanCurve, kFanModeCurve, "Fan_Advance"},
}};

Rect FanButtonRect(int id) {
    switch (id) {
        case MainFanControl::kFanAuto:
            return {738, kFanButtonTop, kFanButtonWidth, kFanButtonHeight};
        case MainFanControl::kFanManual:
            return {796, kFanButtonTop, kFanButtonWidth, kFanButtonHeight};
        case MainFanControl::kFanApply:
            return {854, kFanButtonTop, kFanButtonWidth, kFanButtonHeight};
        default:
            return {912, kFanButtonTop, kFanButtonWidth, kFanButtonHeight};
    }
}

// The control of that kind under `id`, placed at `rect`; a control of another kind (a template
// placeholder) is replaced.
template <class T>
T& EnsureControl(CDialog& dialog, int id, const Rect& rect) {
    if (T* control = dialog.ControlAs<T>(id)) {
        dialog.MoveItem(id, rect);
        return *control;
    }
    return dialog.Add<T>(id, rect);
}

int ClampStep(int step, int highest) {
    return std::clamp(step, 0, highest);
}

std::string PercentText(int percent) {
    return std::to_string(percent) + "%";
}

}  // namespace

int CoreClockStep(int coreClockMhz) {
    return ClampStep(static_cast<int>(coreClockMhz / 150.0), 19);
}

int MemoryClockStep(int memoryClockMhz) {
    return ClampStep(static_cast<int>(memoryClockMhz / 500.0), 31);
}

int TemperatureStep(uint32_t temperature) {
    return static_cast<int>(std::min<uint32_t>(temperature / 5, 19));
}

int FanStep(int fanPercent) {
    if (fanPercent <= 0) return 0;
    return std::min(fanPercent / 5 + 1, 20);
}

int FanPercentFromSpeed(uint32_t reading, bool present, uint32_t fullSpeed) {
    if (reading < kLowestSpeedReading || !present) return 0;
    if (reading >= fullSpeed) return 100;
    return static_cast<int>(uint64_t{reading} * 100 / fullSpeed);
}

MainFanControl::MainFanControl(CDialog& dialog, CGpuControl& gpu, const ProgramFolder& folder,
                               std::string configName, bool fanPercentFromRpm)
    : dialog(dialog),
      gpu(gpu),
      folder(folder),
      configName(std::move(configName)),
      fanPercentFromRpm(fanPercentFromRpm) {
    // The start-up fan state moves the slider and label before the controls get their skin, so
    // they exist from the start.
    EnsureControls();
}

void MainFanControl::EnsureControls() {
    EnsureControl<CMeter>(dialog, kClockDial, kClockDialRect);
    EnsureControl<CMeter>(dialog, kTemperatureDial, kTemperatureDialRect);
    if (!dialog.ControlAs<CBitmapSlider>(kFanSlider)) {
        dialog.Add<CBitmapSlider>(kFanSlider, kSliderRect).SetRange(0, 100);
    }
    EnsureControl<CLabel>(dialog, kFanLabel, kLabelRect);
    for (int id : {kFanAuto, kFanManual, kFanApply, kFanCurve})
        EnsureControl<CButtonST>(dialog, id, FanButtonRect(id));
}

void MainFanControl::LoadFanCurve(const std::array<int, kFanPointCount>& steps,
                                  const std::array<int, kFanPointCount>& levels) {
    for (int i = 0; i < kFanPointCount; ++i) fanCurve[i] = {levels[i], steps[i], 1};
}

int MainFanControl::ReadStartingValues() {
    GpuPerfInfo startup{};
    gpu.ReadPstateTable(kSelectedGpu, startup);
    return ReadStartingValues(startup);
}

int MainFanControl::ReadStartingValues(const GpuPerfInfo& startup) {
    const int result = gpu.ReadCoolerSettings(gpu.coolerSettings, kSelectedGpu);
    if (result == 0) {
        fanMinLevel = gpu.coolerSettings.MinLevel();
        fanMaxLevel = gpu.coolerSettings.MaxLevel();
        fanPercent = gpu.coolerSettings.CurrentLevel();
    } else {
        fanMinLevel = 0;
        fanMaxLevel = 100;
        fanPercent = 0;
    }
    coreClockMhz = startup.graphicsOffset / 1000;
    memoryClockMhz = startup.memoryOffset / 1000;
    return result;
}

void MainFanControl::StartupFanState(bool productLineC, int autoOverClock) {
    ConfigFile file(folder, configName);
    if (productLineC || autoOverClock != 1) {
        // An unreadable file reads like a missing key: no mode.
        SettingValue mode{std::string(kFanSection), "FanMode", "99", 99};
        SettingValue speed{std::string(kFanSection), "FanSpeed", "99", 99};
        file.ReadValue(mode);
        file.ReadValue(speed);
        fanMode = mode.value;
        manualFanPercent = speed.value;
    } else {
        ProfileRecord startOc;
        startOc.section = "Start_OC";
        startOc.SetValue("FanSpeed", 0);
        startOc.SetValue("FanMode", 0);
        file.ReadRecord(startOc);
        fanMode = startOc.Value("FanMode");
        manualFanPercent = startOc.Value("FanSpeed");
    }
    ApplyFanMode(false);
}

void MainFanControl::SetupControls() {
    EnsureControls();
    for (int id : {kClockDial, kTemperatureDial}) {
        CMeter* dial = Dial(id);
        if (!dial) continue;
        dial->transparentColour = kDialKey;
        dial->textColour = Rgb(255, 255, 255);
        dial->upperX = kUpperNumber.x;
        dial->upperY = kUpperNumber.y;
        dial->lowerX = kLowerNumber.x;
        dial->lowerY = kLowerNumber.y;
        dial->SetMeterFont(std::string(kDialFace));
    }
    if (auto* slider = dialog.ControlAs<CBitmapSlider>(kFanSlider)) {
        slider->SetRange(0, 100);
        slider->SetBitmapChannel(kSliderChannel, kSliderChannelActive);
        slider->SetBitmapThumb(kSliderThumb, kSliderThumbActive, true);
    }
    if (auto* label = dialog.ControlAs<CLabel>(kFanLabel)) {
        label->SetFontName(std::string(kLabelFace)).SetFontSize(-12).SetTextColor(kLabelColour);
        label->SetTransparent(true);
    }
    dialog.SetItemIcons(kFanApply, "Fan_Apply.ICO", "Fan_Apply_H.ICO");
    RefreshFanIcons();
}

void MainFanControl::RefreshFanIcons() {
    for (const ModeButton& button : kModeButtons) {
        std::string icon(button.icon);
        icon += fanMode == button.mode ? "_H.ICO" : ".ICO";
        dialog.SetItemIcons(button.id, icon, icon);
    }
}

void MainFanControl::ShowFanState() {
    RefreshFanIcons();
    if (fanMode != kFanModeManual) return;
    ShowSliderPosition(manualFanPercent);
    ShowFanLabel(manualFanPercent);
}

void MainFanControl::OnClockTimer() {
    int coreStep = 0;
    int memoryStep = 0;
    GpuPerfInfo clocks{};
    if (gpu.ReadCurrentClocks(kSelectedGpu, clocks) == 0) {
        coreClockMhz = clocks.graphicsClock / 1000;
        coreStep = CoreClockStep(coreClockMhz);
        memoryClockMhz = clocks.memoryClock / 1000;
        memoryStep = MemoryClockStep(memoryClockMhz);
    }
    if (CMeter* dial = Dial(kClockDial)) {
        dial->DrawMeterReading(
            {kClockDialBase, kClockDialCoreGauge + coreStep, kClockDialMemoryTop + memoryStep}, coreClockMhz,
            memoryClockMhz);
    }
}

void MainFanControl::OnFanTimer() {
    if (fanMode == kFanModeCurve && fanSegmentCount > 0) FollowCurve();
    ReadFanPercent();
    int temperature = 0;
    gpu.ReadTemperature(temperature, kSelectedGpu);
    gpuTemperature = static_cast<uint32_t>(temperature);
    if (fanMode == kFanModeAuto || fanMode == kFanModeCurve) ShowSliderPosition(fanPercent);
    if (CMeter* dial = Dial(kTemperatureDial)) {
        dial->DrawMeterReading({kTemperatureDialBase, kTemperatureDialGauge + TemperatureStep(gpuTemperature),
                                kTemperatureDialFanTop + FanStep(fanPercent)},
                               static_cast<int>(gpuTemperature), fanPercent);
    }
}

void MainFanControl::FollowCurve() {
    int temperature = 0;
    gpu.ReadTemperature(temperature, kSelectedGpu);
    gpuTemperature = static_cast<uint32_t>(temperature);
    currentSegment = MatchFanSegment(fanSegments, fanSegmentCount, gpuTemperature, currentSegment);
    if (currentSegment <= 0 || currentSegment > fanSegmentCount) return;
    const int level =
        CurveFanLevel(fanSegments[currentSegment - 1], gpuTemperature, fanMinLevel, fanMaxLevel);
    gpu.SetCoolerLevel(kCoolerPolicyManual, level, kSelectedGpu);
}

void MainFanControl::ReadFanPercent() {
    if (!fanPercentFromRpm) {
        fanPercent = gpu.ReadFanLevel();
        return;
    }
    NvCoolerSettings settings;
    settings.Clear();
    // The speed readings exist only in the first layout; a card refusing it shows 0 %.
    fanPercent = gpu.ReadCoolerSpeedSettings(settings, kSelectedGpu) == 0
                     ? FanPercentFromSpeed(settings.SpeedReading(), settings.SpeedReadingPresent(),
                                           settings.FullSpeedReading())
                     : 0;
}

bool MainFanControl::OnFanCommand(int id) {
    switch (id) {
        case kFanAuto:
            fanMode = kFanModeAuto;
            RefreshFanIcons();
            return false;
        case kFanManual:
            fanMode = kFanModeManual;
            RefreshFanIcons();
            ShowFanLabel(SliderPosition());
            return false;
        case kFanCurve:
            fanMode = kFanModeCurve;
            RefreshFanIcons();
            return true;
        case kFanApply:
            if (fanMode == kFanModeAuto) {
                gpu.SetCoolerLevel(kCoolerPolicyAuto, fanPercent, kSelectedGpu);
                StoreFanState(kStoreFanMode);
            } else if (fanMode == kFanModeManual) {
                fanPercent = SliderPosition();
                gpu.SetCoolerLevel(kCoolerPolicyManual, fanPercent, kSelectedGpu);
                StoreFanState(kStoreFanSpeed);
            }
            return false;
        default:
            return false;
    }
}

void MainFanControl::OnSliderNotify(uint32_t msg, int id, int position) {
    if (fanMode != kFanModeManual || id != kFanSlider) return;
    if (msg == kMsgSliderMoving || msg == kMsgSliderMoved) ShowFanLabel(position);
}

void MainFanControl::SetFanCurve(const FanCurvePoints& points, bool persist) {
    fanSegmentCount = BuildFanSegments(points, fanSegments);
    // A shorter table must not leave the fan on a segment that no longer exists; its last segment
    // is the level in force above the curve's end.
    currentSegment = std::min(currentSegment, fanSegmentCount);
    for (int i = 0; i < kFanPointCount; ++i) {
        fanCurve[i].level = points[i].level;
        fanCurve[i].step = points[i].step;
    }
    if (persist) StoreFanState(kStoreFanCurve);
}

void MainFanControl::ApplyFanMode(bool refreshIcons) {
    if (fanMode == kFanModeAuto) {
        NvCoolerSettings settings;
        settings.Clear();
        if (gpu.ReadCoolerSettings(settings, kSelectedGpu) == 0) {
            gpu.SetCoolerLevel(kCoolerPolicyAuto, settings.CurrentLevel(), kSelectedGpu);
        }
    } else if (fanMode == kFanModeManual) {
        gpu.SetCoolerLevel(kCoolerPolicyManual, manualFanPercent, kSelectedGpu);
        ShowSliderPosition(manualFanPercent);
        ShowFanLabel(manualFanPercent);
    } else if (fanMode == kFanModeCurve) {
        SetFanCurve(fanCurve, false);
    }
    if (refreshIcons) RefreshFanIcons();
}

int MainFanControl::StoreFanState(int which) {
    ConfigFile file(folder, configName);
    auto write = [&](std::string key, int value) {
        return file.WriteValue({std::string(kFanSection), std::move(key), {}, value}, 10);
    };
    int failures = write("FanMode", fanMode);
    if (which == kStoreFanSpeed) failures += write("FanSpeed", fanPercent);
    if (which == kStoreFanCurve) {
        // Keys formatted in place: GCC 12 misreports literal + to_string as an overlapping copy at -O3.
        char key[16];
        for (int i = 0; i < kFanPointCount; ++i) {
            std::snprintf(key, sizeof key, "FanSpeedX%d", i);
            failures += write(key, fanCurve[i].step);
            std::snprintf(key, sizeof key, "FanSpeedY%d", i);
            failures += write(key, fanCurve[i].level);
        }
    }
    return failures == 0 ? 0 : 1;
}

void MainFanControl::OnGpuChanged() {
    if (fanMode != kFanModeManual) return;
    fanPercent = gpu.ReadFanLevel();
    ShowSliderPosition(fanPercent);
    ShowFanLabel(fanPercent);
}

FanCurvePoints MainFanControl::CurveForEditor() const {
    FanCurvePoints copy = fanCurve;
    for (FanCurvePoint& point : copy) point.enabled = 1;
    return copy;
}

void MainFanControl::ShowSliderPosition(int percent) {
    auto* slider = dialog.ControlAs<CBitmapSlider>(kFanSlider);
    if (!slider) return;
    // Every fan tick shows the level: the same level is the same picture, not a repaint.
    if (std::clamp(percent, slider->GetRangeMin(), slider->GetRangeMax()) == slider->GetPos()) return;
    slider->SetPos(percent);
    dialog.Invalidate(kFanSlider);
}

void MainFanControl::ShowFanLabel(int percent) {
    if (auto* label = dialog.ControlAs<CLabel>(kFanLabel)) {
        label->SetText(PercentText(percent));
    } else {
        dialog.SetItemText(kFanLabel, PercentText(percent));
    }
}

int MainFanControl::SliderPosition() const {
    auto* slider = dialog.ControlAs<CBitmapSlider>(kFanSlider);
    return slider ? slider->GetPos() : 0;
}

CMeter* MainFanControl::Dial(int id) {
    return dialog.ControlAs<CMeter>(id);
}
