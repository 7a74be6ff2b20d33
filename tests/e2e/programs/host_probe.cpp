// A skinned dialog with a bitmap slider, an edit and an icon button, shown through the Win32 host,
// that writes what its model saw into a status label (control 1020) for the end-to-end tests to read:
//   moving=<count> last=<position> moved=<count> at=<position> focus=<id> commit=<text> hover=<0|1>
// The dialog ends with 1 on OK (Enter) and 2 on Cancel (Escape, close); that is the exit code.
#include <cstdio>
#include <string>

#include "controls/CBitmapSlider.h"
#include "controls/CBkDialogST.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "controls/CPrettifyEdit.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

constexpr int kSlider = 1011;
constexpr int kEdit = 1012;
constexpr int kButton = 1013;
constexpr int kStatus = 1020;

class CHostProbeDlg : public CBkDialogST {
public:
    explicit CHostProbeDlg(UiHost& host) : CBkDialogST(host, 232) { SetKeepDialogKeys(true); }

protected:
    void OnInitDialog() override {
        CBkDialogST::OnInitDialog();
        SetTitle("host probe");
        MoveWindow({100, 100, 500, 222});
        SetBitmap(233);
        ShapeFromBitmap(233);
        auto& slider = Add<CBitmapSlider>(kSlider, Rect{130, 40, 215, 15});
        slider.SetBitmapChannel(140, 141);
        slider.SetBitmapThumb(142, 143, true);
        slider.SetRange(0, 100);
        auto& edit = Add<CPrettifyEdit>(kEdit, Rect{130, 70, 80, 16});
        edit.SetLookMode(2);
        edit.SetBkColor(Rgb(20, 24, 30));
        edit.SetTextColor(Rgb(255, 255, 255));
        Add<CButtonST>(kButton, Rect{130, 150, 100, 32}).SetIcons("Msg_Yes.ico", "Msg_Yes_H.ico");
        Add<CLabel>(kStatus, Rect{130, 95, 330, 50}).SetTextColor(Rgb(255, 255, 255)).SetTransparent(true);
        SetTimer(1, 50);
        Report();
    }
    void OnSliderNotify(uint32_t msg, int, int position) override {
        if (msg == kMsgSliderMoving) {
            ++moving;
            last = position;
        } else {
            ++moved;
            at = position;
        }
        Report();
    }
    void OnEditCommit(int id) override {
        if (id == kEdit) commit = GetItemText(kEdit);
        Report();
    }
    void OnTimer(int) override { Report(); }

private:
    void Report() {
        char line[160];
        std::snprintf(line, sizeof line, "moving=%d last=%d moved=%d at=%d focus=%d hover=%d commit=", moving,
                      last, moved, at, FocusId(), Control(kButton).hover ? 1 : 0);
        const std::string text = line + commit;
        if (text != Control(kStatus).text) ControlAs<CLabel>(kStatus)->SetText(text);
    }

    int moving = 0;
    int last = -1;
    int moved = 0;
    int at = -1;
    std::string commit;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Win32Host host(instance);
    CHostProbeDlg dialog(host);
    const int result = dialog.DoModal();
    return result == kModalFailed ? 3 : result;
}
