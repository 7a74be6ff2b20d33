#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "panels/CAdvanceDlg.h"

namespace {

struct Row {
    int slider;
    int edit;
};

constexpr Row kRows[] = {
    {CAdvanceDlg::kCoreSlider, CAdvanceDlg::kCoreEdit}, {CAdvanceDlg::kVoltSlider, CAdvanceDlg::kVoltEdit},
    {CAdvanceDlg::kMemSlider, CAdvanceDlg::kMemEdit},   {CAdvanceDlg::kPowerSlider, CAdvanceDlg::kPowerEdit},
    {CAdvanceDlg::kTempSlider, CAdvanceDlg::kTempEdit}, {CAdvanceDlg::kPixelSlider, CAdvanceDlg::kPixelEdit},
};

const Row* FindRow(int controlId) {
    for (const Row& row : kRows) {
        if (row.slider == controlId || row.edit == controlId) return &row;
    }
    return nullptr;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// An edit's text as a whole decimal integer, blanks allowed around it; anything else fails.
bool ParseEditInteger(const std::string& text, int& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    if (begin < end && text[begin] == '+') ++begin;
    const char* first = text.data() + begin;
    const char* last = text.data() + end;
    if (first == last) return false;
    auto [stop, error] = std::from_chars(first, last, value);
    return error == std::errc() && stop == last;
}

// The point at x on the straight piece from (xDef, yDef) to (xEnd, yEnd). A piece without length
// (a failed read leaves every limit 0) maps everything to the default.
double Along(double x, double xDef, double xEnd, double yDef, double yEnd) {
    if (xEnd == xDef) return yDef;
    return (x - xDef) / (xEnd - xDef) * (yEnd - yDef) + yDef;
}

int Truncated(double value, int low, int high) {
    if (std::isnan(value)) return low;
    return static_cast<int>(std::trunc(std::clamp(value, double(low), double(high))));
}

}  // namespace

int32_t* CAdvanceDlg::ValueOfRow(int controlId) {
    const Row* row = FindRow(controlId);
    if (!row) return nullptr;
    switch (row->slider) {
        case kCoreSlider:
            return &coreMhz;
        case kVoltSlider:
            return &voltValue;
        case kMemSlider:
            return &memMhz;
        case kPowerSlider:
            return &powerPct;
        case kTempSlider:
            return &tempC;
        default:
            return &pixelClk;
    }
}

void CAdvanceDlg::OnSliderNotify(uint32_t msg, int id, int position) {
    if (msg != kMsgSliderMoving && msg != kMsgSliderMoved) return;
    const Row* row = FindRow(id);
    int32_t* value = ValueOfRow(id);
    if (!row || row->slider != id || !value) return;
    *value = position;
    ShowEdit(row->edit, position);
    if (id == kCoreSlider) ShowClockLabel();
    if (id == kPowerSlider) LinkFromPower();
    if (id == kTempSlider) LinkFromTemp();
}

void CAdvanceDlg::OnEditCommit(int id) {
    const Row* row = FindRow(id);
    int32_t* value = ValueOfRow(id);
    if (!row || row->edit != id || !value) return;
    int entered = 0;
    if (!ParseEditInteger(GetItemText(id), entered)) entered = 0;
    *value = ClampToSlider(row->slider, entered);
    MoveSlider(row->slider, *value);
    ShowEdit(id, *value);
    if (id == kCoreEdit) ShowClockLabel();
    if (id == kPowerEdit) LinkFromPower();
    if (id == kTempEdit) LinkFromTemp();
}

void CAdvanceDlg::LinkFromPower() {
    if (!linked) return;
    tempC = ClampToSlider(kTempSlider, PowerToTemp(powerPct));
    MoveSlider(kTempSlider, tempC);
    ShowEdit(kPowerEdit, powerPct);
    ShowEdit(kTempEdit, tempC);
}

void CAdvanceDlg::LinkFromTemp() {
    if (!linked) return;
    powerPct = ClampToSlider(kPowerSlider, TempToPower(tempC));
    MoveSlider(kPowerSlider, powerPct);
    ShowEdit(kPowerEdit, powerPct);
    ShowEdit(kTempEdit, tempC);
}

int CAdvanceDlg::PowerToTemp(int power) const {
    if (power > powerPctDefault) {
        const double t = Along(power, powerPctDefault, powerPctMax, tempCDefault, tempCMax) + 0.5;
        return std::min(Truncated(t, INT32_MIN, INT32_MAX), tempCMax);
    }
    const double t = Along(power, powerPctDefault, powerPctMin, tempCDefault, tempCMin);
    return std::max(Truncated(t, INT32_MIN, INT32_MAX), tempCMin);
}

int CAdvanceDlg::TempToPower(int temp) const {
    if (temp > tempCDefault) {
        const double p = Along(temp, tempCDefault, tempCMax, powerPctDefault, powerPctMax) + 0.5;
        return std::min(Truncated(p, INT32_MIN, INT32_MAX), powerPctMax);
    }
    const double p = Along(temp, tempCDefault, tempCMin, powerPctDefault, powerPctMin);
    return std::max(Truncated(p, INT32_MIN, INT32_MAX), powerPctMin);
}
