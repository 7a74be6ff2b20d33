#include <string>

#include "accessory/CVemraDlg.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonST.h"
#include "controls/CPrettifyEdit.h"

namespace {

constexpr Rect kIdleTabRect{4, 100, 58, 28};
constexpr Rect kTurboTabRect{61, 100, 58, 28};
constexpr Rect kListRect{10, 296, 120, 20};
constexpr Rect kDefaultRect{150, 296, 64, 20};
constexpr Rect kApplyRect{220, 296, 64, 20};
constexpr Rect kFrontSwitchRect{246, 139, 52, 14};
constexpr Rect kRearSwitchRect{246, 215, 52, 14};

// Rows of the front (top) and rear (bottom) zone: modes, then Color/Cycle beside them, then the
// palette with its swatch.
constexpr int kFrontModeRow = 158;
constexpr int kFrontPaletteRow = 182;
constexpr int kRearModeRow = 234;
constexpr int kRearPaletteRow = 258;
constexpr int kModeWidth = 44;
constexpr int kModeHeight = 18;
constexpr int kChip = 16;

Rect ModeRect(int row, int index) {
    return Rect{12 + 48 * index, row, kModeWidth, kModeHeight};
}
Rect ColorRect(int row) {
    return Rect{204, row + 3, 44, 12};
}
Rect CycleRect(int row) {
    return Rect{254, row + 3, 44, 12};
}
Rect ChipRect(int row, int index) {
    return Rect{12 + 20 * index, row, kChip, kChip};
}
Rect SwatchRect(int row) {
    return Rect{156, row, 24, 16};
}

}  // namespace

void CVemraDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    CreateControls();
    connection->BuildDeviceList();
    FillAccessoryList();
    RefreshAllControls();
    ShowSettingPage(0);
}

void CVemraDlg::CreatePageControls(const PageIds& ids) {
    for (int i = 0; i < 4; ++i) Add<CButtonST>(ids.frontModes[size_t(i)], ModeRect(kFrontModeRow, i));
    for (int i = 0; i < 2; ++i) Add<CButtonST>(ids.rearModes[size_t(i)], ModeRect(kRearModeRow, i));
    Add<CButtonST>(ids.frontColor, ColorRect(kFrontModeRow));
    Add<CButtonST>(ids.frontCycle, CycleRect(kFrontModeRow));
    Add<CButtonST>(ids.rearColor, ColorRect(kRearModeRow));
    Add<CButtonST>(ids.rearCycle, CycleRect(kRearModeRow));
    for (int i = 0; i < 7; ++i) {
        Add<CButtonST>(ids.frontPalette0 + i, ChipRect(kFrontPaletteRow, i));
        Add<CButtonST>(ids.rearPalette0 + i, ChipRect(kRearPaletteRow, i));
    }
    AddControl(ids.frontSwatch, ControlKind::Picture, SwatchRect(kFrontPaletteRow));
    AddControl(ids.rearSwatch, ControlKind::Picture, SwatchRect(kRearPaletteRow));
}

void CVemraDlg::CreateControls() {
    Add<CButtonST>(kIdleTab, kIdleTabRect);
    Add<CButtonST>(kTurboTab, kTurboTabRect);
    Add<CButtonST>(kFrontSwitch, kFrontSwitchRect);
    Add<CButtonST>(kRearSwitch, kRearSwitchRect);
    Add<CButtonST>(kTurboFrontSwitch, kFrontSwitchRect);
    Add<CButtonST>(kTurboRearSwitch, kRearSwitchRect);
    ShowItem(kTurboFrontSwitch, false);
    ShowItem(kTurboRearSwitch, false);
    CreatePageControls(kIdleIds);
    CreatePageControls(kTurboIds);
    Add<CButtonST>(kDefaultButton, kDefaultRect);
    Add<CButtonST>(kApplyButton, kApplyRect);
    AddControl(kAccessoryList, ControlKind::ComboBox, kListRect);

    // The template's speed sliders: present, without effect.
    for (size_t i = 0; i < 2; ++i) {
        const int row = 62 + 22 * int(i);
        Add<CBitmapSlider>(kInertSliders[i], Rect{12, row, 150, 12}).Enable(false);
        Add<CPrettifyEdit>(kInertEdits[i], Rect{168, row - 2, 30, 16});
        EnableItem(kInertEdits[i], false);
        Add<CButtonST>(kInertButtons[2 * i], Rect{206, row, 40, 12});
        Add<CButtonST>(kInertButtons[2 * i + 1], Rect{252, row, 40, 12});
    }
}

void CVemraDlg::ShowSettingPage(int page) {
    shownPage = page;
    for (int p = 0; p < 2; ++p) {
        const PageIds& ids = IdsOf(p);
        const bool show = p == page;
        for (int id : ids.frontModes) ShowItem(id, show);
        for (int id : ids.rearModes) ShowItem(id, show);
        for (int id :
             {ids.frontColor, ids.frontCycle, ids.frontSwatch, ids.rearColor, ids.rearCycle, ids.rearSwatch})
            ShowItem(id, show);
        for (int i = 0; i < 7; ++i) {
            ShowItem(ids.frontPalette0 + i, show);
            ShowItem(ids.rearPalette0 + i, show);
        }
    }
    RefreshTabs();
}
