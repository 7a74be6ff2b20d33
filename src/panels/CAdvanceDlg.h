#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/CBkDialogST.h"
#include "gpu/CGpuControl.h"
#include "platform/ProgramFolder.h"

// The six tuning values a profile carries, in the panel's units: MHz offsets, mV or percent,
// percent of the rated power, °C and 10 kHz.
struct TuningValues {
    int coreMhz = 0;
    int voltValue = 0;
    int memMhz = 0;
    int powerPct = 0;
    int tempC = 0;
    int pixelClk = 0;
    friend bool operator==(const TuningValues&, const TuningValues&) = default;
};

// The overclock page: core and memory clock offsets, voltage, power and temperature targets and the
// display pixel clock of the selected GPU, each with a slider and an edit, three lock buttons, and
// Default, Apply and the one-key overclock. Works in p-state mode (offsets of the P0 table,
// over-voltage in mV) or curve mode (offsets on every V/F point, voltage boost in percent).
class CAdvanceDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 103;
    static constexpr int kBackgroundBitmap = 131;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 327;

    static constexpr int kCoreSlider = 1011;
    static constexpr int kCoreEdit = 1009;
    static constexpr int kClockLabel = 1012;
    static constexpr int kVoltSlider = 1015;
    static constexpr int kVoltEdit = 1014;
    static constexpr int kVoltLockedLabel = 1027;
    static constexpr int kVoltUnitLabel = 1029;
    static constexpr int kMemSlider = 1013;
    static constexpr int kMemEdit = 1010;
    static constexpr int kPowerSlider = 1016;
    static constexpr int kPowerEdit = 1017;
    static constexpr int kTempSlider = 1018;
    static constexpr int kTempEdit = 1019;
    static constexpr int kPixelSlider = 1020;
    static constexpr int kPixelEdit = 1021;
    static constexpr int kPixelLockedLabel = 1028;
    static constexpr int kVoltButton = 1022;
    static constexpr int kLinkButton = 1023;
    static constexpr int kDisplayButton = 1024;
    static constexpr int kDefaultButton = 1025;
    static constexpr int kApplyButton = 1026;
    static constexpr int kKeyButton = 1030;

    static constexpr int kPixelClkMax = 20000;
    // The core offset of the one-key preset, MHz.
    static constexpr int kKeyOcCoreMhz = 91;

    static constexpr std::string_view kVoltQuestion =
        "\r\n\r\n 增加电压可能会损坏GPU或者造成系统不稳定。继续？";
    static constexpr std::string_view kApplyQuestion = "\r\n这些设置可能会造成系统不稳定，确认继续？";
    static constexpr std::string_view kStartPowerZeroText = "目标功耗不能为0 ！";

    // `configName` is the card's configuration file beside the program ("KeyOC", "Start_OC").
    CAdvanceDlg(UiHost& host, CGpuControl& gpu, const ProgramFolder& folder, std::string configName);

    // Chosen by the main window before the first fill; the unit label follows ("mv" or "%").
    void SetCurveMode(bool curve);
    // Fills every value from the driver for the selected GPU and shows it.
    void ReadGpuValues();
    // Skins, ranges and positions of the six sliders.
    void InitSliders();
    // Icons of the buttons and the looks of the three locks.
    void InitButtons();
    // With the card's one-key flag: shows or hides the Key button and re-applies a stored choice
    // (unless `applyStored` is false: the start-up overclock is skipped this time).
    void InitKeyOc(int cardFlag, bool applyStored = true);
    // Writes the values to the selected GPU and reads back what the driver holds; 0 when every
    // write whose result the driver gives succeeded.
    int ApplyValues();
    // The one-key preset: clocks and voltage to their preset, power to its maximum, applied; Apply
    // then ignores clicks and the core and power sliders are disabled until Default or Key clears it.
    void ApplyKeyOc();
    // The "Start_OC" profile, applied without a question; refused when its power target is 0.
    void ApplyStartOc();
    // Stores the one-key choice as "KeyOC"; 0 when written.
    int StoreKeyOc(int flag);
    // The Apply button: nothing while the one-key overclock is active, else ask and apply.
    void ClickApply();

    // The slider positions, which follow the values (clamped into each slider's range).
    TuningValues SliderPositions() const;
    // Takes the six values (as a loaded profile) and shows them; nothing is written.
    void SetTuningValues(const TuningValues& values);

    // The power–temperature link along the two straight pieces through the minimum, default and
    // maximum of both targets.
    int PowerToTemp(int power) const;
    int TempToPower(int temp) const;

    int32_t curveMode = 0;
    int32_t coreMhz = 0, coreMhzMax = 100, coreMhzMin = 0;
    int32_t boostMhz = 0;
    int32_t voltValue = 0, voltMax = 100, voltMin = 0;
    int32_t overVoltLimitUv = 0;
    int32_t memMhz = 0, memMhzMax = 100, memMhzMin = 0;
    int32_t powerPct = 0, powerPctMax = 100, powerPctMin = 0, powerPctDefault = 0;
    int32_t tempC = 0, tempCMax = 150, tempCMin = 0, tempCDefault = 0;
    int32_t pixelClk = 0, pixelClkMax = kPixelClkMax, pixelClkMin = 0, pixelClkDefault = 0;
    int32_t voltUnlocked = 0;
    int32_t linked = 1;
    int32_t displayUnlocked = 0;
    int32_t keyOcSupported = 0;
    int32_t keyOcSaved = 0;
    int32_t keyOcActive = 0;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnSliderNotify(uint32_t msg, int id, int position) override;
    void OnEditCommit(int id) override;

private:
    // Layout and looks (CAdvanceDlgLayout.cpp).
    void CreateControls();
    void SetSliderRanges();
    void ShowValues();
    void ShowClockLabel();
    void ShowEdit(int editId, int value);
    void MoveSlider(int sliderId, int value);
    int ClampToSlider(int sliderId, int value) const;
    void ShowVoltLock();
    void ShowDisplayLock();
    void ShowLinkLock();
    void ShowLockIcons(int buttonId, bool locked);
    void ShowKeyOcActive(bool active);

    // Values (CAdvanceDlgValues.cpp).
    void ReadPstateValues();
    void ReadCurveValues();
    void ReadTargets();
    GpuPerfInfo BuildWriteCopy() const;
    int WriteValues(const GpuPerfInfo& copy);
    void TakeReadBack();

    // Input (CAdvanceDlgInput.cpp).
    int32_t* ValueOfRow(int controlId);
    void LinkFromPower();
    void LinkFromTemp();

    // Buttons (CAdvanceDlgButtons.cpp).
    int Ask(std::string_view text, int mode);
    void ToggleVoltLock();
    void ToggleDisplayLock();
    void ClickDefault();
    void ClickKey();
    void ClearKeyOc();

    CGpuControl& gpu;
    const ProgramFolder& folder;
    std::string configName;
    bool slidersInitialised = false;
    bool pixelClkDefaultTaken = false;
};
