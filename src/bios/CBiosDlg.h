#pragma once
#include <string_view>

#include "app/SidePanel.h"
#include "bios/BiosTransfer.h"
#include "controls/CBkDialogST.h"
#include "platform/FileDialogs.h"

// Side window 3: saves the card's video BIOS to a file, or flashes a file to the card, through
// nvflash (BiosTransfer). Each action runs to its end before the window takes input again.
class CBiosDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 278;
    static constexpr int kBackgroundBitmap = 279;
    static constexpr int kCloseId = 1143;
    static constexpr int kSaveId = 1144;
    static constexpr int kLoadId = 1145;
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 445;
    static constexpr std::string_view kFailedText = "保存BIOS失败！";
    static constexpr std::string_view kFlashQuestion = "刷新BIOS可能会导致显卡故障，确认继续？";
    static constexpr std::string_view kInitialName = "*.rom";
    static constexpr std::string_view kDefaultExtension = "*";
    static constexpr std::string_view kFilter = "rom file(*.rom)|*.rom|";

    CBiosDlg(UiHost& host, const ProgramFolder& folder, FileDialogs& dialogs, ToolRunner& runner);

    CDialog& Dialog() override { return *this; }
    // Another side window opens: the close button's whole action.
    void CloseForOther() override { Close(); }
    bool IsBusy() const { return busy; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void Close();
    void Save();
    void Load();
    void ShowFailure();

    FileDialogs& dialogs;
    BiosTransfer transfer;
    // An action is running: a click that reaches the window meanwhile starts nothing.
    bool busy = false;
};
