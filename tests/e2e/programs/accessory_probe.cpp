// A page that owns the USB accessory connection, shown through the Win32 host: it lists the
// accessories, connects to the first, and writes what its model saw into a status label (control
// 1020) for the end-to-end tests to read:
//   count=<accessories> connect=<result> awaiting=<0|1> state=<the ten reported codes>
// Button 1130 sends the Idle setting with front mode 1 and front colour 2. The accessories are the
// simulated ones of CORALVANE_SIM_ACCESSORY when it is set, else the system's HID interfaces.
// Exit code: the dialog's result (2 on close), 3 when it could not be shown.
#include <cstdio>
#include <memory>
#include <string>

#include "accessory/AccessoryConnection.h"
#include "controls/CBkDialogST.h"
#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "platform/Clock.h"
#include "sim/hid/SimAccessory.h"
#include "win32/Win32HidSystem.h"
#include "win32/Win32Host.h"
#include "win32/WinApi.h"

namespace {

constexpr int kApply = 1130;
constexpr int kStatus = 1020;

class CAccessoryProbeDlg : public CBkDialogST {
public:
    CAccessoryProbeDlg(UiHost& host, HidSystem& hid) : CBkDialogST(host, 232), connection(hid, clock, *this) {
        connection.OnStateReported([this](const VemraState& reported) {
            state = reported;
            Report();
        });
    }

protected:
    void OnInitDialog() override {
        CBkDialogST::OnInitDialog();
        SetTitle("accessory probe");
        MoveWindow({100, 100, 500, 222});
        SetBitmap(233);
        Add<CButtonST>(kApply, Rect{130, 150, 100, 32}).SetIcons("Msg_Yes.ico", "Msg_Yes_H.ico");
        Add<CLabel>(kStatus, Rect{20, 40, 460, 60}).SetTextColor(Rgb(255, 255, 255)).SetTransparent(true);
        count = connection.BuildDeviceList();
        result = static_cast<int>(connection.Connect());
        Report();
    }
    void OnDestroy() override { connection.Shutdown(); }
    void OnTimer(int timerId) override {
        if (!connection.OnTimer(timerId)) CBkDialogST::OnTimer(timerId);
    }
    void OnCommand(int id) override {
        if (id != kApply) return CBkDialogST::OnCommand(id);
        if (connection.AwaitingState()) return;
        state.idleFrontMode = 1;
        state.idleFrontColour = 2;
        connection.SendIdleSetting(state);
    }

private:
    void Report() {
        char line[200];
        std::snprintf(line, sizeof line,
                      "count=%d connect=%d awaiting=%d state=%d %d %d %d %d %d %d %d %d %d", count, result,
                      connection.AwaitingState() ? 1 : 0, state.idleFrontMode, state.idleFrontColour,
                      state.idleRearMode, state.idleRearColour, state.turboFrontMode, state.turboFrontColour,
                      state.turboRearMode, state.turboRearColour, state.idleFrontOff, state.idleRearOff);
        ControlAs<CLabel>(kStatus)->SetText(line);
    }

    SystemClock clock;
    AccessoryConnection connection;
    VemraState state;
    int count = 0;
    int result = -1;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Win32HidSystem systemHid;
    std::unique_ptr<SimHidSystem> simulated = SimAccessoriesFromEnvironment();
    Win32Host host(instance);
    CAccessoryProbeDlg dialog(host, simulated ? static_cast<HidSystem&>(*simulated) : systemHid);
    const int result = dialog.DoModal();
    return result == kModalFailed ? 3 : result;
}
