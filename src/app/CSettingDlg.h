#pragma once
#include <string>
#include <string_view>

#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"
#include "platform/AutorunStore.h"
#include "platform/ProgramFolder.h"

class CCoralvaneDlg;

// Side window 2: start with Windows, start minimised, start-up overclock, translucency with its
// percentage and (cards of the E line) always on top. Shows the stored state; Apply stores it in
// the configuration file and the autorun entry and pushes translucency and always-on-top to the
// main window at once.
class CSettingDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 282;
    static constexpr int kBitmapLineC = 283;
    static constexpr int kBitmapLineE = 302;
    static constexpr int kCloseId = 1147;
    static constexpr int kRunId = 1148;
    static constexpr int kMinId = 1149;
    static constexpr int kOcId = 1150;
    static constexpr int kTranId = 1151;
    static constexpr int kApplyId = 1152;
    static constexpr int kDefaultId = 1153;
    static constexpr int kTopId = 1154;
    static constexpr int kPercentList = 1186;
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 445;

    static constexpr std::string_view kAutorunFileFailed = "自动运行文件失败！";
    static constexpr std::string_view kReadMinimiseFailed = "读取自动最小化文件失败！";
    static constexpr std::string_view kReadAutoOcFailed = "读取自动超频文件失败！";
    static constexpr std::string_view kReadTopFailed = "读取置顶文件失败！";
    static constexpr std::string_view kAutorunNotSaved = "无法保存自动运行文件！";
    static constexpr std::string_view kMinimiseSaveFailed = "保存设置到cfg文件失败！";
    static constexpr std::string_view kMinimiseClearFailed = "取消设置到cfg文件失败！";
    static constexpr std::string_view kAutoOcSaveFailed = "保存设置恢复频率文件失败！";
    static constexpr std::string_view kAutoOcClearFailed = "取消设置恢复频率文件失败！";
    static constexpr std::string_view kTranslucencyFailed = "设置透明度失败！";
    static constexpr std::string_view kTopSaveFailed = "设置置顶失败！";
    static constexpr std::string_view kTopClearFailed = "取消置顶设置失败！";

    CSettingDlg(CCoralvaneDlg& mainWindow, const ProgramFolder& folder, AutorunStore& autorun);

    CDialog& Dialog() override { return *this; }

    int RunChecked() const { return runChecked; }
    int MinimiseChecked() const { return minimiseChecked; }
    int AutoOcChecked() const { return autoOcChecked; }
    int TranslucentChecked() const { return translucentChecked; }
    int TopChecked() const { return topChecked; }
    int TransPercentValue() const { return transPercent; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnSelectionChanged(int id) override;

private:
    void PlaceControls();
    void LoadState();
    void Apply();
    void ApplyAutorun();
    void ApplyTranslucency();
    void ApplyTop();
    void ShowCheck(int id, int checked);
    // Reads one setting into `value`; `failure` goes to the message dialog when the file cannot be read.
    void ReadSetting(std::string_view section, std::string_view key, int& value, std::string_view failure);
    // Writes one setting; the failure text goes to the message dialog.
    void WriteSetting(std::string_view section, std::string_view key, int value, std::string_view failure);
    void ShowMessage(std::string_view text);

    CCoralvaneDlg& main;
    const ProgramFolder& folder;
    AutorunStore& autorun;
    std::string configFileName;
    bool productLineC = true;

    int runChecked = 0;
    int minimiseChecked = 0;
    int autoOcChecked = 0;
    int translucentChecked = 0;
    int topChecked = 0;
    int transPercent = 0;
};
