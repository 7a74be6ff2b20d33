// Soak run of the Win32 host: for the given number of minutes (default 10) it creates, shows, hides
// and destroys a skinned dialog, drags its slider and hovers its button through real mouse messages,
// types into its edits, repaints it and runs a nested message dialog, then compares what the process
// holds with what it held after the first rounds. Prints both readings; exit code 0 when nothing
// grew, 1 when something did, 2 when the dialogs could not run.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>

#include "SoakReading.h"
#include "app/CMsgDlg.h"
#include "controls/CBitmapSlider.h"
#include "controls/CBkDialogST.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "controls/CMemoryDC.h"
#include "controls/CPrettifyEdit.h"
#include "ui/Translucency.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

constexpr int kSlider = 1011;
constexpr int kLabel = 1012;
constexpr int kButton = 1013;
constexpr int kPatternEdit = 1014;
constexpr int kSolidEdit = 1015;
constexpr int kChart = 1016;
constexpr int kCombo = 1017;

using soak::Print;
using soak::Read;
using soak::Reading;

// A small chart drawn off screen and copied in one piece, as the monitoring charts do.
class CSoakChart : public CWndControl {
public:
    CSoakChart(CDialog& dialog, int id, const Rect& rect)
        : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {}
    void OnPaint(Canvas& canvas) override {
        CMemoryDC memory(canvas);
        const Size size = memory.GetSize();
        memory.FillRect({0, 0, size.width, size.height}, Rgb(10, 12, 16));
        for (int x = 0; x < size.width; x += 10)
            memory.DrawLine({x, 0}, {x, size.height}, Rgb(40, 44, 52), 1, PenStyle::Dot);
        memory.DrawLine({0, size.height - 1}, {size.width, phase % size.height}, Rgb(0, 200, 255), 2,
                        PenStyle::Solid);
        memory.DrawString({2, 2, size.width - 4, 16}, "GPU 负载", FontSpec{"宋体", -12, 0, 0},
                          Rgb(255, 255, 255), kTextLeft | kTextSingleLine);
    }
    int phase = 0;
};

// The dialog under test: one of each skinned control on the message dialog's skin.
class CSoakDlg : public CBkDialogST {
public:
    explicit CSoakDlg(UiHost& host) : CBkDialogST(host, 232) {}
    int moving = 0;
    int moved = 0;

protected:
    void OnInitDialog() override {
        CBkDialogST::OnInitDialog();
        MoveWindow({60, 60, 500, 222});
        MakeTranslucent(*this, 85);
        SetBitmap(233);
        ShapeFromBitmap(233);
        SetEasyMove(true);
        auto& slider = Add<CBitmapSlider>(kSlider, Rect{130, 40, 215, 15});
        slider.SetBitmapChannel(140, 141);
        slider.SetBitmapThumb(142, 143, true);
        slider.SetRange(0, 100);
        Add<CLabel>(kLabel, Rect{130, 70, 200, 20}).SetTextColor(Rgb(255, 255, 255)).SetTransparent(true);
        Add<CButtonST>(kButton, Rect{130, 150, 100, 32}).SetIcons("Msg_Yes.ico", "Msg_Yes_H.ico");
        auto& pattern = Add<CPrettifyEdit>(kPatternEdit, Rect{350, 40, 60, 14});
        pattern.SetLookMode(1);
        pattern.SetBackgroundBitmap(154);
        pattern.SetTextColor(Rgb(255, 255, 255));
        auto& solid = Add<CPrettifyEdit>(kSolidEdit, Rect{350, 60, 60, 14});
        solid.SetLookMode(2);
        solid.SetBkColor(Rgb(20, 20, 20));
        solid.SetTextColor(Rgb(0, 255, 0));
        Add<CSoakChart>(kChart, Rect{250, 95, 200, 50});
        AddControl(kCombo, ControlKind::ComboBox, {350, 150, 100, 20});
        SetComboItems(kCombo, {"GPU 0", "GPU 1"}, 0);
    }
    void OnSliderNotify(uint32_t msg, int, int) override { ++(msg == kMsgSliderMoving ? moving : moved); }
};

// Drives everything from its timer, so the work runs inside a real message loop.
class CSoakDriver : public CDialog {
public:
    CSoakDriver(Win32Host& host, double minutes)
        : CDialog(host, 100), host(host), endAt(GetTickCount64() + ULONGLONG(minutes * 60000.0)) {}
    Reading start;
    Reading end;
    bool measured = false;
    int rounds = 0;
    int notifications = 0;

protected:
    void OnInitDialog() override {
        MoveWindow({0, 0, 10, 10});
        ShowWindow(ShowCommand::Hide);
        SetTimer(1, 15);
    }
    void OnTimer(int timerId) override {
        if (timerId == 2) {
            if (ending) ending->EndDialog(1);
            return;
        }
        if (busy) return;  // the nested message dialog's loop lets this timer in again
        busy = true;
        Round();
        busy = false;
    }

private:
    // Every round exercises the dialog; it is hidden for one round in ten and destroyed every thirtieth
    // (each hide costs a wait for the window manager under Wine, so not every round).
    void Round() {
        ++rounds;
        if (!soak) {
            soak = std::make_unique<CSoakDlg>(host);
            if (soak->Create(this) != 0) {
                EndDialog(2);
                return;
            }
        }
        soak->ShowWindow(rounds % 10 == 5 ? ShowCommand::Hide : ShowCommand::Show);
        Exercise();
        if (rounds % 30 != 0) return;
        notifications += soak->moving + soak->moved;
        soak.reset();
        // Caches are full after the first rounds; from then on every round must give back what it took.
        if (rounds == 60) {
            start = Read();
            measured = true;
        } else if (measured && GetTickCount64() >= endAt) {
            end = Read();
            EndDialog(kIdOk);
        }
    }

    void Exercise() {
        HWND slider = host.ControlWindowOf(*soak, kSlider);
        HWND button = host.ControlWindowOf(*soak, kButton);
        const int y = 7;
        SendMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y));
        for (int x = 5; x <= 210; x += 15) SendMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(210, y));
        PostMessageW(slider, WM_KEYDOWN, VK_HOME, 0);
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        soak->ControlAs<CLabel>(kLabel)->SetText("第 " + std::to_string(rounds) + " 轮");
        soak->SetItemText(kPatternEdit, std::to_string(rounds));
        soak->SetItemText(kSolidEdit, std::to_string(rounds * 7));
        soak->SetComboSelection(kCombo, rounds % 2);
        soak->ControlAs<CSoakChart>(kChart)->phase = rounds;
        soak->Invalidate(kChart);
        soak->Invalidate();
        if (HWND window = host.WindowOf(*soak)) UpdateWindow(window);
        auto direct = soak->BeginDraw(kChart);
        direct->SetDrawMode(DrawMode::Xor);
        direct->FrameRect({1, 1, 20, 20}, Rgb(255, 255, 255));
        direct.reset();
        if (rounds % 45 == 1) {
            CMsgDlg message(host, CMsgDlg::kNotice);
            message.SetText("压力测试");
            ending = &message;
            SetTimer(2, 30);
            message.DoModal(this);
            KillTimer(2);
            ending = nullptr;
        }
    }

    Win32Host& host;
    ULONGLONG endAt;
    std::unique_ptr<CSoakDlg> soak;
    CMsgDlg* ending = nullptr;
    bool busy = false;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    double minutes = 10;
    if (__argc > 1) minutes = std::wcstod(__wargv[1], nullptr);
    if (!(minutes > 0)) minutes = 10;

    Win32Host host(instance);
    CSoakDriver driver(host, minutes);
    const int result = driver.DoModal();
    if (result != kIdOk || !driver.measured) {
        std::printf("the soak dialogs could not run (result %d)\n", result);
        return 2;
    }
    Print("start", driver.start);
    Print("end  ", driver.end);
    std::printf("%d rounds, %d slider notifications\n", driver.rounds, driver.notifications);
    const Reading& a = driver.start;
    const Reading& b = driver.end;
    const bool grew = soak::Grew(a, b);
    const bool systemCounts = a.gdiObjects != 0 || a.userObjects != 0;
    if (!systemCounts)
        std::printf("the system reports no GDI or USER counts here; the host's own tally stands in\n");
    std::printf(grew ? "GREW\n" : "no growth\n");
    return grew ? 1 : 0;
}
