#include <algorithm>
#include <cmath>
#include <cstdint>

#include "controls/CBitmapSlider.h"
#include "panels/CAdvanceDlg.h"

namespace {

// Driver units are the panel's units times a factor; a value from a damaged profile must not
// overflow on the way, so the product is held at the 32-bit limits and the driver refuses it.
int32_t Scaled(int32_t value, int64_t factor) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t(value) * factor, INT32_MIN, INT32_MAX));
}

int32_t ThousandthsRoundedHalfUp(int32_t value) {
    return static_cast<int32_t>(std::floor(value / 1000.0 + 0.5));
}

}  // namespace

void CAdvanceDlg::ReadGpuValues() {
    if (curveMode) {
        ReadCurveValues();
    } else {
        ReadPstateValues();
    }
    ReadTargets();
    if (slidersInitialised) SetSliderRanges();
    ShowValues();
    ShowVoltLock();
}

void CAdvanceDlg::ReadPstateValues() {
    gpu.ReadCurrentPstate(kSelectedGpu);
    GpuPerfInfo info{};
    if (gpu.ReadPstateTable(kSelectedGpu, info, 0) != 0) {
        coreMhz = coreMhzMax = coreMhzMin = 0;
        memMhz = memMhzMax = memMhzMin = 0;
        voltValue = voltMax = voltMin = 0;
        overVoltLimitUv = 0;
        return;
    }
    coreMhz = info.graphicsOffset / 1000;
    coreMhzMax = info.graphicsOffsetMax / 1000;
    coreMhzMin = info.graphicsOffsetMin / 1000;
    memMhz = info.memoryOffset / 1000;
    memMhzMax = info.memoryOffsetMax / 1000;
    memMhzMin = info.memoryOffsetMin / 1000;
    voltValue = ThousandthsRoundedHalfUp(info.overVolt);
    voltMax = ThousandthsRoundedHalfUp(info.overVoltMax);
    voltMin = static_cast<int32_t>(info.overVoltMin / 1000 + 0.5);
    overVoltLimitUv = info.overVoltMax;
    if (voltValue != 0) voltUnlocked = 1;
}

void CAdvanceDlg::ReadCurveValues() {
    GpuPerfInfo info{};
    gpu.ReadVfDomains(kSelectedGpu, info);
    gpu.ReadVfOffsets(info);
    // Each curve point carries twice the offset the panel shows.
    coreMhz = info.graphicsOffset / 1000 / 2;
    coreMhzMax = info.vfGraphicsUpper / 1000;
    coreMhzMin = info.vfGraphicsLower / 1000;
    memMhz = info.memoryOffset / 1000;
    memMhzMax = info.vfMemoryUpper / 1000;
    memMhzMin = info.vfMemoryLower / 1000;
    voltValue = 0;
    voltMax = 100;
    voltMin = 0;
}

void CAdvanceDlg::ReadTargets() {
    GpuPerfInfo info{};
    if (gpu.ReadPowerTarget(kSelectedGpu, info) == 0) {
        powerPct = info.powerTarget / 1000;
        powerPctMax = info.powerTargetMax / 1000;
        powerPctMin = info.powerTargetMin / 1000;
        powerPctDefault = info.powerTargetDefault / 1000;
    } else {
        powerPct = powerPctMax = powerPctMin = powerPctDefault = 0;
    }
    if (gpu.ReadTempTarget(kSelectedGpu, info) == 0) {
        tempC = info.tempTarget;
        tempCMax = info.tempTargetMax;
        tempCMin = info.tempTargetMin;
        tempCDefault = info.tempTargetDefault;
    } else {
        tempC = tempCMax = tempCMin = tempCDefault = 0;
    }
    boostMhz = gpu.ReadBaseBoostClocks(kSelectedGpu, info) == 0
                   ? ThousandthsRoundedHalfUp(info.graphicsBoostClock)
                   : 0;
    pixelClk = gpu.ReadPixelClock(info) == 0 ? info.pixelClock : 0;
    // Default, the one-key preset and the start-up profile restore the display's own pixel clock
    // rather than a zero that no monitor can run at.
    if (!pixelClkDefaultTaken && pixelClk > 0) {
        pixelClkDefault = pixelClk;
        pixelClkDefaultTaken = true;
    }
}

int CAdvanceDlg::ApplyValues() {
    const int failed = WriteValues(BuildWriteCopy());
    TakeReadBack();
    ShowValues();
    return failed;
}

GpuPerfInfo CAdvanceDlg::BuildWriteCopy() const {
    GpuPerfInfo copy{};
    if (curveMode) {
        copy.graphicsOffset = Scaled(coreMhz, 2000);
        copy.memoryOffset = Scaled(memMhz, 1000);
        copy.overVolt = voltValue;
    } else {
        copy.graphicsOffset = Scaled(coreMhz, 1000);
        copy.memoryOffset = Scaled(memMhz, 1000);
        copy.overVolt = std::min(Scaled(voltValue, 1000), overVoltLimitUv);
    }
    copy.powerTarget = Scaled(powerPct, 1000);
    copy.tempTarget = tempC;
    copy.pixelClock = pixelClk;
    return copy;
}

int CAdvanceDlg::WriteValues(const GpuPerfInfo& copy) {
    // The curve points' writes give no result; every other write counts.
    int failed = 0;
    if (curveMode) {
        gpu.WriteVfOffsets(kSelectedGpu, copy);
    } else {
        failed |= gpu.WriteClockOffsets(kSelectedGpu, copy) != 0;
    }
    failed |= gpu.WritePowerTarget(kSelectedGpu, copy) != 0;
    failed |= gpu.WriteTempTarget(kSelectedGpu, copy) != 0;
    failed |= gpu.WriteTempPriority(kSelectedGpu, linked) != 0;
    // A pixel clock of 0 means none was ever read; sending it would blank the monitors.
    if (displayUnlocked && copy.pixelClock > 0) failed |= gpu.WritePixelClock(copy) != 0;
    if (voltUnlocked) {
        if (curveMode) {
            failed |=
                gpu.WriteVoltBoost(kSelectedGpu, static_cast<uint8_t>(std::clamp(voltValue, 0, 255))) != 0;
        } else {
            failed |= gpu.WriteOverVolt(kSelectedGpu, copy) != 0;
        }
    }
    return failed;
}

void CAdvanceDlg::TakeReadBack() {
    GpuPerfInfo copy{};
    uint8_t boost = 0;
    if (curveMode) {
        gpu.ReadVfOffsets(copy);
        if (gpu.ReadVoltBoost(boost) != 0) boost = 0;
    } else {
        gpu.ReadPstateTable(kSelectedGpu, copy, 0);
    }
    gpu.ReadPowerTarget(kSelectedGpu, copy);
    gpu.ReadTempTarget(kSelectedGpu, copy);
    gpu.ReadPixelClock(copy);

    coreMhz = copy.graphicsOffset / (curveMode ? 2000 : 1000);
    memMhz = copy.memoryOffset / 1000;
    powerPct = copy.powerTarget / 1000;
    tempC = copy.tempTarget;
    pixelClk = copy.pixelClock;
    voltValue = curveMode ? boost : ThousandthsRoundedHalfUp(copy.overVolt);
}

TuningValues CAdvanceDlg::SliderPositions() const {
    return {Control(kCoreSlider).slider.position, Control(kVoltSlider).slider.position,
            Control(kMemSlider).slider.position,  Control(kPowerSlider).slider.position,
            Control(kTempSlider).slider.position, Control(kPixelSlider).slider.position};
}

void CAdvanceDlg::SetTuningValues(const TuningValues& values) {
    coreMhz = values.coreMhz;
    voltValue = values.voltValue;
    memMhz = values.memMhz;
    powerPct = values.powerPct;
    tempC = values.tempC;
    pixelClk = values.pixelClk;
    ShowValues();
}
