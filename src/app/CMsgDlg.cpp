#include "app/CMsgDlg.h"

#include "controls/CButtonST.h"
#include "ui/Translucency.h"

CMsgDlg::CMsgDlg(UiHost& host, int dialogMode) : CBkDialogST(host, kTemplateId), mode(dialogMode) {
    SetKeepDialogKeys(true);
}

void CMsgDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(500, 222);
    // Every message is 85 % opaque, whatever the user's translucency setting.
    MakeTranslucent(*this, 85);
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);

    // Three lines of about twenty Chinese characters fit the 320 × 100 text area at this height.
    AddControl(kTextId, ControlKind::Label, {130, 30, 320, 100});
    ModifyItem(kTextId, [&](ControlState& s) {
        s.text = text;
        s.textColor = Rgb(255, 255, 255);
        s.transparentBackground = true;
        s.font = FontSpec{"宋体", -14, 0, 0};
    });

    Add<CButtonST>(kOkId, {130, 150, 100, 32}).SetIcons("Msg_Yes.ico", "Msg_Yes_H.ico");
    Add<CButtonST>(kCloseId, {200, 150, 100, 32}).SetIcons("Msg_Close.ico", "Msg_Close_H.ico");
    Add<CButtonST>(kNoId, {270, 150, 100, 32}).SetIcons("Msg_No.ico", "Msg_No_H.ico");

    if (mode == kQuestion) {
        ShowItem(kCloseId, false);
    } else if (mode == kNotice) {
        ShowItem(kOkId, false);
        ShowItem(kNoId, false);
    }
}

void CMsgDlg::OnCommand(int id) {
    if (id == kOkId) {
        EndDialog(1);
    } else if (id == kCloseId || id == kNoId) {
        EndDialog(2);
    }
}
