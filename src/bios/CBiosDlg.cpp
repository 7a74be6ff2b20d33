#include "bios/CBiosDlg.h"

#include <filesystem>
#include <string>

#include "app/CMsgDlg.h"
#include "controls/CButtonST.h"

namespace {

FileDialogRequest RomFileRequest() {
    return {std::string(CBiosDlg::kInitialName), std::string(CBiosDlg::kDefaultExtension),
            std::string(CBiosDlg::kFilter)};
}

// Clears the busy mark on every way out of an action.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag(flag) { flag = true; }
    ~BusyScope() { flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag;
};

}  // namespace

CBiosDlg::CBiosDlg(UiHost& host, const ProgramFolder& folder, FileDialogs& fileDialogs, ToolRunner& runner)
    : CBkDialogST(host, kTemplateId), SidePanel(kSideBios), dialogs(fileDialogs), transfer(folder, runner) {}

void CBiosDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);
    Add<CButtonST>(kCloseId, {310, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    Add<CButtonST>(kSaveId, {120, 166, 110, 34}).SetIcons("Bios_Save.ico", "Bios_Save_H.ico");
    Add<CButtonST>(kLoadId, {120, 238, 110, 34}).SetIcons("Bios_Load.ico", "Bios_Load_H.ico");
}

void CBiosDlg::OnCommand(int id) {
    if (busy) return;
    if (id == kCloseId) {
        Close();
    } else if (id == kSaveId) {
        Save();
    } else if (id == kLoadId) {
        Load();
    }
}

void CBiosDlg::Close() {
    if (Owner()) Owner()->CloseSidePanel(kSideBios);
    EndDialog(kIdCancel);
}

void CBiosDlg::Save() {
    const BusyScope running(busy);
    std::filesystem::path target;
    if (!dialogs.ChooseSaveFile(RomFileRequest(), target)) return;
    if (!transfer.SaveTo(target)) ShowFailure();
}

void CBiosDlg::Load() {
    const BusyScope running(busy);
    CMsgDlg question(Host(), CMsgDlg::kQuestion);
    question.SetText(std::string(kFlashQuestion));
    if (question.DoModal(this) != 1) return;
    std::filesystem::path source;
    if (!dialogs.ChooseOpenFile(RomFileRequest(), source)) return;
    if (!transfer.FlashFrom(source)) ShowFailure();
}

void CBiosDlg::ShowFailure() {
    CMsgDlg message(Host(), CMsgDlg::kNotice);
    message.SetText(std::string(kFailedText));
    message.DoModal(this);
}
