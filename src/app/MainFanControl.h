#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/FanCurve.h"
#include "gpu/CGpuControl.h"
#include "platform/ProgramFolder.h"

class CDialog;
class CMeter;

// Fan modes as stored under "FanMode"; any other value (99 from a missing key) selects none.
inline constexpr int kFanModeAuto = 0;
inline constexpr int kFanModeManual = 1;
inline constexpr int kFanModeCurve = 2;

// What StoreFanState writes besides "FanMode".
inline constexpr int kStoreFanMode = 0;
inline constexpr int kStoreFanSpeed = 1;
inline constexpr int kStoreFanCurve = 2;

// Dial layers: base, gauge for the upper value, top layer with the numbers.
inline constexpr int kClockDialBase = 211;
inline constexpr int kClockDialCoreGauge = 159;
inline constexpr int kClockDialMemoryTop = 179;
inline constexpr int kTemperatureDialBase = 275;
inline constexpr int kTemperatureDialGauge = 255;
inline constexpr int kTemperatureDialFanTop = 234;

// Steps of the dial layers: core ÷ 150 limited to 0-19, memory ÷ 500 limited to 0-31, temperature
// ÷ 5 limited to 19, fan 0 when stopped else ÷ 5 + 1 limited to 20.
int CoreClockStep(int coreClockMhz);
int MemoryClockStep(int memoryClockMhz);
int TemperatureStep(uint32_t temperature);
int FanStep(int fanPercent);

// The fan percentage from the cooler's speed reading: 0 unless the reading is present and at least
// 300, 100 at or above the full-speed reading, otherwise reading × 100 ÷ full speed.
int FanPercentFromSpeed(uint32_t reading, bool present, uint32_t fullSpeed);

// The main window's fan control and read-out dials: the fan mode buttons (1134-1137), the fan slider
// (1133) and its label (1187), the clock dial (1073) and the temperature dial (1074), the curve the
// window follows, and what timers 1 and 2 do. It adds its controls to the main window's dialog and
// talks to the card only through CGpuControl; the fan keys live in the "CoustomFanSpeed" section of
// the card's configuration file.
class MainFanControl {
public:
    static constexpr int kClockDial = 1073;
    static constexpr int kTemperatureDial = 1074;
    static constexpr int kFanSlider = 1133;
    static constexpr int kFanApply = 1134;
    static constexpr int kFanAuto = 1135;
    static constexpr int kFanManual = 1136;
    static constexpr int kFanCurve = 1137;
    static constexpr int kFanLabel = 1187;

    MainFanControl(CDialog& dialog, CGpuControl& gpu, const ProgramFolder& folder, std::string configName,
                   bool fanPercentFromRpm);
    MainFanControl(const MainFanControl&) = delete;
    MainFanControl& operator=(const MainFanControl&) = delete;

    // The card's fan percentage comes from the speed reading (changes with the selected GPU).
    void SetFanPercentFromRpm(bool fromRpm) { fanPercentFromRpm = fromRpm; }
    bool FanPercentFromRpm() const { return fanPercentFromRpm; }

    // The curve as the start-up read found it: every point enabled; the step table is left alone.
    void LoadFanCurve(const std::array<int, kFanPointCount>& steps,
                      const std::array<int, kFanPointCount>& levels);

    // Cooler range and current level (a failed read gives 0, 100 and 0), and the clock offsets the
    // clock dial shows before its first reading: from `startup` when given, else read here from the
    // p-state table. Returns the cooler read's result.
    int ReadStartingValues();
    int ReadStartingValues(const GpuPerfInfo& startup);
    // Mode and manual percentage from "CoustomFanSpeed", or from "Start_OC" when the start-up
    // profile is in use (not product line C and autoOverClock 1); then ApplyFanMode without icons.
    void StartupFanState(bool productLineC, int autoOverClock);
    // Places and configures the dials, slider, label and fan buttons; shows the mode icons.
    void SetupControls();

    void OnClockTimer();
    void OnFanTimer();
    // 1134-1137; true when the main window must open the curve editor (1137).
    bool OnFanCommand(int id);
    void OnSliderNotify(uint32_t msg, int id, int position);
    // From the curve editor: rebuilds the step table, takes every point's level and step (the
    // enabled flags of the kept curve stay) and, with persist, stores the mode and the curve.
    void SetFanCurve(const FanCurvePoints& points, bool persist);
    // Makes the driver follow fanMode.
    void ApplyFanMode(bool refreshIcons);
    // Writes "FanMode"; kStoreFanSpeed also "FanSpeed", kStoreFanCurve also the ten points.
    // 0 when every write succeeded.
    int StoreFanState(int which);
    // Manual mode shows the new GPU's fan level on the slider and label.
    void OnGpuChanged();
    // The mode buttons: the current mode's button shows its highlighted icon.
    void RefreshFanIcons();
    // Shows the mode on its buttons and, in manual mode, the manual percentage on the slider and
    // label; nothing is written to the card.
    void ShowFanState();

    // The curve editor's copy: the kept curve with every point enabled.
    FanCurvePoints CurveForEditor() const;

    int fanMode = kFanModeAuto;
    int manualFanPercent = 0;
    int fanPercent = 0;
    uint32_t gpuTemperature = 0;
    int coreClockMhz = 0;
    int memoryClockMhz = 0;
    int fanMinLevel = 0;
    int fanMaxLevel = 100;
    FanCurvePoints fanCurve = DefaultFanCurve();
    FanSegments fanSegments{};
    int fanSegmentCount = 0;
    int currentSegment = 0;

private:
    void EnsureControls();
    void FollowCurve();
    void ReadFanPercent();
    void ShowSliderPosition(int percent);
    void ShowFanLabel(int percent);
    int SliderPosition() const;
    CMeter* Dial(int id);

    CDialog& dialog;
    CGpuControl& gpu;
    const ProgramFolder& folder;
    std::string configName;
    bool fanPercentFromRpm = false;
};
