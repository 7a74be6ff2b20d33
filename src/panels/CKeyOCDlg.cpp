#include "panels/CKeyOCDlg.h"

#include "controls/CButtonST.h"

CKeyOCDlg::CKeyOCDlg(UiHost& host, int initial)
    : CBkDialogST(host, kTemplateId), initialChoice(initial != 0 ? 1 : 0), choice(initialChoice) {
    SetKeepDialogKeys(true);
}

void CKeyOCDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(500, 222);
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);

    Add<CButtonST>(kSwitchButton, Rect{135, 95, 16, 16});
    SetItemText(kSwitchButton, "OC");
    Add<CButtonST>(kOkButton, Rect{130, 140, 100, 32}).SetIcons("Msg_Yes.ico", "Msg_Yes_H.ico");
    SetItemText(kOkButton, "确定");
    Add<CButtonST>(kCancelButton, Rect{270, 140, 100, 32}).SetIcons("Msg_No.ico", "Msg_No_H.ico");
    SetItemText(kCancelButton, "取消");
    ShowChoice();
}

void CKeyOCDlg::OnCommand(int id) {
    if (id == kSwitchButton) {
        choice = choice ? 0 : 1;
        ShowChoice();
    } else if (id == kOkButton || id == kCancelButton) {
        EndDialog(id);
    }
}

void CKeyOCDlg::ShowChoice() {
    const char* icon = choice ? "KeyOC_H.ico" : "KeyOC.ico";
    SetItemIcons(kSwitchButton, icon, icon);
}
