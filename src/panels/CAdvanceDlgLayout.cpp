#include <algorithm>
#include <cstdint>
#include <string>

#include "controls/CBitmapSlider.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "controls/CPrettifyEdit.h"
#include "panels/CAdvanceDlg.h"

namespace {

constexpr Color kValueColor = 0x01FFFF;
constexpr Color kUnitColor = 0xFFFFFF;
constexpr int kEditPattern = 154;
constexpr int kThumb = 142;
constexpr int kThumbActive = 143;
constexpr int kLockedVoltChannel = 156;
constexpr int kLockedChannel = 157;
constexpr int kPixelChannel = 152;
constexpr int kPixelChannelActive = 153;

struct SliderSkin {
    int id;
    Rect rect;
    int channel;
    int activeChannel;
};

constexpr SliderSkin kSliders[] = {
    {CAdvanceDlg::kCoreSlider, {11, 15, 215, 15}, 140, 141},
    {CAdvanceDlg::kVoltSlider, {11, 62, 215, 15}, 144, 145},
    {CAdvanceDlg::kMemSlider, {11, 107, 215, 15}, 146, 147},
    {CAdvanceDlg::kPowerSlider, {11, 152, 215, 15}, 148, 149},
    {CAdvanceDlg::kTempSlider, {11, 197, 215, 15}, 150, 151},
    {CAdvanceDlg::kPixelSlider, {11, 241, 215, 15}, kPixelChannel, kPixelChannelActive},
};

struct EditPlace {
    int id;
    Rect rect;
    bool digitsOnly;
};

constexpr EditPlace kEdits[] = {
    {CAdvanceDlg::kCoreEdit, {238, 13, 25, 14}, false}, {CAdvanceDlg::kVoltEdit, {238, 71, 25, 14}, true},
    {CAdvanceDlg::kMemEdit, {238, 116, 25, 14}, false}, {CAdvanceDlg::kPowerEdit, {238, 161, 25, 14}, true},
    {CAdvanceDlg::kTempEdit, {238, 206, 25, 14}, true}, {CAdvanceDlg::kPixelEdit, {238, 251, 25, 14}, true},
};

struct ButtonPlace {
    int id;
    Rect rect;
    const char* caption;
};

constexpr ButtonPlace kButtons[] = {
    {CAdvanceDlg::kVoltButton, {294, 70, 14, 16}, "Vol"},
    {CAdvanceDlg::kLinkButton, {294, 183, 14, 16}, "Prioritize"},
    {CAdvanceDlg::kDisplayButton, {294, 250, 14, 16}, "Display"},
    {CAdvanceDlg::kDefaultButton, {135, 295, 64, 20}, "Default"},
    {CAdvanceDlg::kApplyButton, {210, 295, 64, 20}, "Apply"},
    {CAdvanceDlg::kKeyButton, {20, 295, 70, 20}, "Key"},
};

const SliderSkin& SkinOf(int sliderId) {
    for (const SliderSkin& skin : kSliders) {
        if (skin.id == sliderId) return skin;
    }
    return kSliders[0];
}

std::string Decimal(int64_t value) {
    return std::to_string(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

CAdvanceDlg::CAdvanceDlg(UiHost& host, CGpuControl& gpuControl, const ProgramFolder& programFolder,
                         std::string fileName)
    : CBkDialogST(host, kTemplateId),
      gpu(gpuControl),
      folder(programFolder),
      configName(std::move(fileName)) {
    MutableWindow().childStyle = true;
}

void CAdvanceDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    CreateControls();
}

void CAdvanceDlg::CreateControls() {
    for (const SliderSkin& skin : kSliders) Add<CBitmapSlider>(skin.id, skin.rect);
    for (const EditPlace& place : kEdits) {
        auto& edit = Add<CPrettifyEdit>(place.id, place.rect);
        edit.SetLookMode(1);
        edit.SetBackgroundBitmap(kEditPattern);
        edit.SetFontName("DINPro");
        edit.SetFontSize(85);
        edit.SetTextColor(kValueColor);
        edit.SetDigitsOnly(place.digitsOnly);
    }
    auto addLabel = [this](int id, const Rect& rect, bool bold, Color color, const char* text) {
        Add<CLabel>(id, rect)
            .SetFontName("DINPro")
            .SetFontSize(11)
            .SetFontWeight(bold ? 700 : 0)
            .SetTextColor(color)
            .SetTransparent(true)
            .SetText(text);
    };
    addLabel(kClockLabel, {238, 34, 25, 14}, false, kValueColor, "0");
    addLabel(kVoltLockedLabel, {238, 71, 25, 14}, true, kValueColor, "N/A");
    addLabel(kVoltUnitLabel, {270, 72, 15, 14}, false, kUnitColor, curveMode ? "%" : "mv");
    addLabel(kPixelLockedLabel, {238, 251, 25, 14}, true, kValueColor, "N/A");
    for (const ButtonPlace& place : kButtons) {
        Add<CButtonST>(place.id, place.rect);
        SetItemText(place.id, place.caption);
    }
    ShowVoltLock();
    ShowDisplayLock();
}

void CAdvanceDlg::SetCurveMode(bool curve) {
    curveMode = curve ? 1 : 0;
    SetItemText(kVoltUnitLabel, curve ? "%" : "mv");
}

void CAdvanceDlg::InitSliders() {
    for (const SliderSkin& skin : kSliders) {
        if (auto* slider = ControlAs<CBitmapSlider>(skin.id)) {
            slider->SetBitmapChannel(skin.channel, skin.activeChannel);
            slider->SetBitmapThumb(kThumb, kThumbActive, true);
        }
    }
    slidersInitialised = true;
    SetSliderRanges();
    ShowValues();
    ShowVoltLock();
    ShowDisplayLock();
    if (keyOcActive) ShowKeyOcActive(true);
}

void CAdvanceDlg::SetSliderRanges() {
    const struct {
        int id;
        int min;
        int max;
    } ranges[] = {
        {kCoreSlider, coreMhzMin, coreMhzMax}, {kVoltSlider, voltMin, voltMax},
        {kMemSlider, memMhzMin, memMhzMax},    {kPowerSlider, powerPctMin, powerPctMax},
        {kTempSlider, tempCMin, tempCMax},     {kPixelSlider, 0, kPixelClkMax},
    };
    for (const auto& range : ranges) {
        if (auto* slider = ControlAs<CBitmapSlider>(range.id)) slider->SetRange(range.min, range.max);
    }
}

void CAdvanceDlg::InitButtons() {
    ShowVoltLock();
    ShowLinkLock();
    ShowDisplayLock();
    SetItemIcons(kDefaultButton, "Adv_Default.ico", "Adv_Default_H.ico");
    ShowKeyOcActive(keyOcActive != 0);
    SetItemIcons(kKeyButton, "Key_OC.ico", "Key_OC_H.ico");
}

void CAdvanceDlg::ShowValues() {
    const struct {
        int slider;
        int edit;
        int value;
    } rows[] = {
        {kCoreSlider, kCoreEdit, coreMhz}, {kVoltSlider, kVoltEdit, voltValue},
        {kMemSlider, kMemEdit, memMhz},    {kPowerSlider, kPowerEdit, powerPct},
        {kTempSlider, kTempEdit, tempC},   {kPixelSlider, kPixelEdit, pixelClk},
    };
    for (const auto& row : rows) {
        MoveSlider(row.slider, row.value);
        ShowEdit(row.edit, row.value);
    }
    ShowClockLabel();
}

void CAdvanceDlg::ShowClockLabel() {
    SetItemText(kClockLabel, Decimal(int64_t(coreMhz) + boostMhz));
}

void CAdvanceDlg::ShowEdit(int editId, int value) {
    SetItemText(editId, Decimal(value));
}

void CAdvanceDlg::MoveSlider(int sliderId, int value) {
    if (auto* slider = ControlAs<CBitmapSlider>(sliderId)) slider->SetPos(value);
}

int CAdvanceDlg::ClampToSlider(int sliderId, int value) const {
    const SliderState& s = Control(sliderId).slider;
    return std::clamp(value, s.min, s.max);
}

void CAdvanceDlg::ShowLockIcons(int buttonId, bool locked) {
    if (locked) {
        SetItemIcons(buttonId, "Lock.ico", "LockH.ico");
    } else {
        SetItemIcons(buttonId, "UnLock.ico", "UnLockH.ico");
    }
}

void CAdvanceDlg::ShowVoltLock() {
    const bool unlocked = voltUnlocked != 0;
    ShowLockIcons(kVoltButton, !unlocked);
    if (auto* slider = ControlAs<CBitmapSlider>(kVoltSlider)) {
        if (unlocked) {
            const SliderSkin& skin = SkinOf(kVoltSlider);
            slider->SetBitmapChannel(skin.channel, skin.activeChannel);
            slider->SetBitmapThumb(kThumb, kThumbActive, true);
        } else {
            slider->SetBitmapChannel(kLockedVoltChannel, kLockedVoltChannel);
            slider->RemoveThumb();
        }
        slider->Enable(unlocked);
    }
    ShowItem(kVoltEdit, unlocked);
    ShowItem(kVoltLockedLabel, !unlocked);
}

void CAdvanceDlg::ShowDisplayLock() {
    const bool unlocked = displayUnlocked != 0;
    ShowLockIcons(kDisplayButton, !unlocked);
    if (auto* slider = ControlAs<CBitmapSlider>(kPixelSlider)) {
        if (unlocked) {
            slider->SetBitmapChannel(kPixelChannel, kPixelChannelActive);
            slider->SetBitmapThumb(kThumb, kThumbActive, true);
        } else {
            slider->SetBitmapChannel(kLockedChannel, kLockedChannel);
            slider->RemoveThumb();
        }
        slider->Enable(unlocked);
    }
    ShowItem(kPixelEdit, unlocked);
    ShowItem(kPixelLockedLabel, !unlocked);
}

void CAdvanceDlg::ShowLinkLock() {
    ShowLockIcons(kLinkButton, linked != 0);
}

void CAdvanceDlg::ShowKeyOcActive(bool active) {
    for (int id : {kCoreSlider, kPowerSlider}) {
        auto* slider = ControlAs<CBitmapSlider>(id);
        if (!slider) continue;
        // Enabled again, both take the pixel clock's channel: that is the look the skin gives them.
        if (active) {
            slider->SetBitmapChannel(kLockedChannel, kLockedChannel);
            slider->RemoveThumb();
        } else {
            slider->SetBitmapChannel(kPixelChannel, kPixelChannelActive);
            slider->SetBitmapThumb(kThumb, kThumbActive, true);
        }
        slider->Enable(!active);
    }
    if (active) {
        SetItemIcons(kApplyButton, "Adv_Apply_D.ico", "Adv_Apply_D.ico");
    } else {
        SetItemIcons(kApplyButton, "Adv_Apply.ico", "Adv_Apply_H.ico");
    }
}
