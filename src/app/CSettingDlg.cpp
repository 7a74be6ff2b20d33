#include "app/CSettingDlg.h"

#include <string>
#include <vector>

#include "app/CCoralvaneDlg.h"
#include "app/CMsgDlg.h"
#include "app/ConfigFile.h"
#include "app/StartupSettings.h"
#include "controls/CButtonST.h"
#include "ui/Translucency.h"

namespace {

constexpr std::string_view kCheckedIcon = "Setting_Check_H.ico";
constexpr std::string_view kUncheckedIcon = "Setting_Check.ico";

// List entry n shows 100 − 10 n percent, which is TransPercent 9 − n.
int EntryForPercent(int transPercent) {
    return transPercent >= 0 && transPercent <= 9 ? 9 - transPercent : -1;
}

int Toggled(int checked) {
    return checked != 0 ? 0 : 1;
}

}  // namespace

CSettingDlg::CSettingDlg(CCoralvaneDlg& mainWindow, const ProgramFolder& programFolder,
                         AutorunStore& autorunStore)
    : CBkDialogST(mainWindow.Host(), kTemplateId),
      SidePanel(kSideSettings),
      main(mainWindow),
      folder(programFolder),
      autorun(autorunStore) {}

void CSettingDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    configFileName = main.ConfigFileName();
    productLineC = main.ProductLineC();
    transPercent = TransPercent();
    const int background = productLineC ? kBitmapLineC : kBitmapLineE;
    SetBitmap(background);
    ShapeFromBitmap(background);
    SetEasyMove(true);
    PlaceControls();
    LoadState();
}

void CSettingDlg::PlaceControls() {
    Add<CButtonST>(kCloseId, {310, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    const int firstRow = productLineC ? 161 : 142;
    const int rows[] = {firstRow, productLineC ? 194 : 176, productLineC ? 228 : 210,
                        productLineC ? 261 : 243, 276};
    const int checks[] = {kRunId, kMinId, kOcId, kTranId, kTopId};
    for (int i = 0; i < 5; ++i) Add<CButtonST>(checks[i], {56, rows[i], 12, 12});
    if (productLineC) ShowItem(kTopId, false);
    AddControl(kPercentList, ControlKind::ComboBox, {200, rows[3], 100, 15});
    SetComboItems(kPercentList, {"100%", "90%", "80%", "70%", "60%", "50%", "40%", "30%", "20%", "10%"}, -1);
    Add<CButtonST>(kDefaultId, {90, 375, 78, 24}).SetIcons("Setting_Def.ico", "Setting_Def_H.ico");
    Add<CButtonST>(kApplyId, {185, 375, 78, 24}).SetIcons("Setting_Apply.ico", "Setting_Apply_H.ico");
}

void CSettingDlg::LoadState() {
    ReadSetting(kWindowsStartupSection, "AutoRun", runChecked, kAutorunFileFailed);
    // The entry itself decides, not what the file remembers of it.
    runChecked = autorun.IsAutorunSet() == 0 ? 1 : 0;
    ReadSetting(kSettingsSection, "StartupMinimize", minimiseChecked, kReadMinimiseFailed);
    ReadSetting(kSettingsSection, "AutoOverClock", autoOcChecked, kReadAutoOcFailed);
    ReadSetting(kSettingsSection, "Top", topChecked, kReadTopFailed);
    translucentChecked = Transparence() ? 1 : 0;
    for (int id : {kRunId, kMinId, kOcId, kTranId, kTopId}) {
        const int checked = id == kRunId    ? runChecked
                            : id == kMinId  ? minimiseChecked
                            : id == kOcId   ? autoOcChecked
                            : id == kTranId ? translucentChecked
                                            : topChecked;
        ShowCheck(id, checked);
    }
    SetComboSelection(kPercentList, EntryForPercent(transPercent));
    ShowItem(kPercentList, translucentChecked != 0);
}

void CSettingDlg::OnCommand(int id) {
    switch (id) {
        case kCloseId:
            CloseFromButton();
            return;
        case kRunId:
            ShowCheck(id, runChecked = Toggled(runChecked));
            return;
        case kMinId:
            ShowCheck(id, minimiseChecked = Toggled(minimiseChecked));
            return;
        case kOcId:
            ShowCheck(id, autoOcChecked = Toggled(autoOcChecked));
            return;
        case kTranId:
            ShowCheck(id, translucentChecked = Toggled(translucentChecked));
            ShowItem(kPercentList, translucentChecked != 0);
            return;
        case kTopId:
            ShowCheck(id, topChecked = Toggled(topChecked));
            return;
        case kDefaultId:
            runChecked = 1;
            minimiseChecked = autoOcChecked = translucentChecked = topChecked = 0;
            for (int check : {kRunId, kMinId, kOcId, kTranId}) ShowCheck(check, check == kRunId ? 1 : 0);
            if (!productLineC) ShowCheck(kTopId, 0);
            ShowItem(kPercentList, false);
            return;
        case kApplyId:
            Apply();
            return;
        default:
            return;
    }
}

void CSettingDlg::OnSelectionChanged(int id) {
    if (id != kPercentList) return;
    const int entry = Control(kPercentList).selection;
    if (entry >= 0) transPercent = 9 - entry;
}

void CSettingDlg::Apply() {
    ApplyAutorun();
    WriteSetting(kSettingsSection, "StartupMinimize", minimiseChecked != 0 ? 1 : 0,
                 minimiseChecked != 0 ? kMinimiseSaveFailed : kMinimiseClearFailed);
    WriteSetting(kSettingsSection, "AutoOverClock", autoOcChecked != 0 ? 1 : 0,
                 autoOcChecked != 0 ? kAutoOcSaveFailed : kAutoOcClearFailed);
    ApplyTranslucency();
    if (!productLineC) ApplyTop();
}

void CSettingDlg::ApplyAutorun() {
    int stored = 0;
    if (runChecked != 0) {
        stored = autorun.SetAutorun() == 0 ? 1 : 0;
        // A registration that failed must not look set.
        if (stored == 0) ShowCheck(kRunId, runChecked = 0);
    } else {
        autorun.RemoveAutorun();
    }
    WriteSetting(kWindowsStartupSection, "AutoRun", stored, kAutorunNotSaved);
}

void CSettingDlg::ApplyTranslucency() {
    if (translucentChecked != 0) {
        const int failed =
            ConfigFile(folder, configFileName)
                .WriteValue({std::string(kSettingsSection), "Transparence", {}, 1}, 10) |
            ConfigFile(folder, configFileName)
                .WriteValue({std::string(kSettingsSection), "TransPercent", {}, transPercent}, 10);
        if (failed != 0) ShowMessage(kTranslucencyFailed);
        const int opacity = TranslucentOpacity(true, transPercent);
        if (opacity >= 0) MakeTranslucent(*this, opacity);
        main.ApplyTransparency(true, transPercent);
    } else {
        WriteSetting(kSettingsSection, "Transparence", 0, kTranslucencyFailed);
        RemoveTranslucency(*this);
        main.ApplyTransparency(false, 9);
    }
}

void CSettingDlg::ApplyTop() {
    const bool top = topChecked != 0;
    WriteSetting(kSettingsSection, "Top", top ? 1 : 0, top ? kTopSaveFailed : kTopClearFailed);
    main.ApplyTopmost(top);
}

void CSettingDlg::ShowCheck(int id, int checked) {
    const std::string icon(checked != 0 ? kCheckedIcon : kUncheckedIcon);
    SetItemIcons(id, icon, icon);
}

void CSettingDlg::ReadSetting(std::string_view section, std::string_view key, int& value,
                              std::string_view failure) {
    SettingValue setting{std::string(section), std::string(key), {}, value};
    if (ConfigFile(folder, configFileName).ReadValue(setting) != 0) {
        ShowMessage(failure);
        return;
    }
    value = setting.value;
}

void CSettingDlg::WriteSetting(std::string_view section, std::string_view key, int value,
                               std::string_view failure) {
    if (ConfigFile(folder, configFileName)
            .WriteValue({std::string(section), std::string(key), {}, value}, 10) != 0) {
        ShowMessage(failure);
    }
}

void CSettingDlg::ShowMessage(std::string_view text) {
    CMsgDlg message(Host(), productLineC ? CMsgDlg::kQuestion : CMsgDlg::kNotice);
    message.SetText(std::string(text));
    message.DoModal(this);
}
