#include "panels/CFanVoltDlg.h"

#include "controls/CBitmapSlider.h"
#include "controls/CButtonST.h"
#include "controls/CPrettifyEdit.h"
#include "lighting/ZoneCommandSender.h"

namespace {

constexpr int kInertChannel = 294;
constexpr int kEditPattern = 154;
constexpr Color kValueColor = 0x01FFFF;

}  // namespace

CFanVoltDlg::CFanVoltDlg(UiHost& host, ZoneCommandSender& zoneSender)
    : CBkDialogST(host, kTemplateId), sender(zoneSender) {
    MutableWindow().childStyle = true;
}

void CFanVoltDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetWindowSize(kWidth, kHeight);
    SetBitmap(kBackgroundBitmap);
    Add<CButtonST>(kSwitch, Rect{188, 58, 52, 14});
    SetItemText(kSwitch, "on/off");
    struct Row {
        int slider, edit, def, app;
        int sliderTop, editTop, buttonTop;
    };
    for (const Row& row : {Row{kSlider1, kEdit1, kDefault1, kApply1, 136, 138, 156},
                           Row{kSlider2, kEdit2, kDefault2, kApply2, 182, 185, 203}}) {
        auto& slider = Add<CBitmapSlider>(row.slider, Rect{11, row.sliderTop, 215, 15});
        slider.SetBitmapChannel(kInertChannel, kInertChannel);
        slider.RemoveThumb();
        slider.Enable(false);
        auto& edit = Add<CPrettifyEdit>(row.edit, Rect{238, row.editTop, 25, 14});
        edit.SetLookMode(1);
        edit.SetBackgroundBitmap(kEditPattern);
        edit.SetFontName("DINPro");
        edit.SetFontSize(85);
        edit.SetTextColor(kValueColor);
        SetItemText(row.edit, "0");
        ShowItem(row.edit, false);
        Add<CButtonST>(row.def, Rect{200, row.buttonTop, 40, 12}).SetIcon("Vemra_Def_D.ico");
        SetItemText(row.def, "Def");
        Add<CButtonST>(row.app, Rect{245, row.buttonTop, 40, 12}).SetIcon("Vemra_Apply_D.ico");
        SetItemText(row.app, "App");
    }
    ShowSwitch();
}

void CFanVoltDlg::SetSwitchState(uint8_t state) {
    switchOn = state != 0;
    ShowSwitch();
}

void CFanVoltDlg::OnCommand(int id) {
    if (id != kSwitch) return;
    const bool wanted = !switchOn;
    // The card keeps the state: a write that did not reach it leaves the switch as it was.
    if (sender.Send(FanVoltSwitch(wanted ? 1 : 0)) != 0) return;
    switchOn = wanted;
    ShowSwitch();
}

void CFanVoltDlg::ShowSwitch() {
    SetItemIcons(kSwitch, switchOn ? "Fv_On.ico" : "Fv_Off.ico", switchOn ? "Fv_On.ico" : "Fv_Off.ico");
}
