// Soak run of the real main window: the program's own window, driver and notification area, with its
// configuration in a private temporary folder. While the dials refresh from their timers, a thread
// timer on the UI thread works the window as a user would, one step per tick, through the real
// controls: fan modes and Apply, fan slider drags, the GPU and profile buttons, hiding into the
// notification area and coming back by the icon's message, the overclock page's locks, edits,
// Default and Apply, every side window opened from its button (the information window from the
// version label), the fan curve edited and applied, the main window moved with a side window open,
// and each side window closed by its own button; message dialogs that appear are answered. The
// first reading is taken after the warm-up, the last at the end, with one each minute between.
// Usage: main_soak.exe [minutes, default 10] [warm-up seconds, default 60 or half the run]
// The driver is the system's (the simulated one under Wine); CORALVANE_SIM_SCENARIO picks its card.
// Exit code 0 when nothing grew, 1 when something did, 2 when the window could not run.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "SoakReading.h"
#include "app/CCoralvaneApp.h"
#include "app/CMsgDlg.h"
#include "app/MainFanControl.h"
#include "help/CHelpDlg.h"
#include "monitor/CMeter.h"
#include "monitor/CMonitorDlg.h"
#include "panels/CAdvanceDlg.h"
#include "panels/CFanAdvanceDlg.h"
#include "panels/CInfoDlg.h"
#include "platform/ProgramFolder.h"
#include "win32/DriverLoader.h"
#include "win32/Win32FontProbe.h"
#include "win32/Win32Host.h"
#include "win32/Win32NotificationArea.h"
#include "win32/WinApi.h"

namespace {

constexpr UINT kTickMs = 100;

// The soak is the only copy that matters in its prefix; it never asks about another one.
class SoakInstanceGuard : public InstanceGuard {
public:
    InstanceStatus CreateInstanceMutex(std::string_view) override { return InstanceStatus::First; }
};

enum class StepKind {
    MainClick,
    PageClick,
    DragFan,
    Minimise,
    Restore,
    TypeEdit,
    Wait,
    VersionLabel,  // a click on the version label: the information window
    CloseSide,     // the open side window's own close button
    CurveClick,    // a click into the fan curve editor's curve
    EditorClick,   // a button of the fan curve editor
    MoveMain,      // the main window moves; the open side window follows
};

// The close button of each side window, by its id.
int SideCloseId(int sidePanel) {
    switch (sidePanel) {
        case kSideMonitor:
            return CMonitorDlg::kCloseButton;
        case kSideHelp:
            return CHelpDlg::kCloseButton;
        case kSideInfo:
            return CInfoDlg::kCloseButton;
        case kSideFanCurve:
            return CFanAdvanceDlg::kCloseButton;
        default:
            return 0;
    }
}

struct Step {
    StepKind kind;
    int id = 0;
};

// One round of what a user does; the dial timers keep running between the steps.
const std::vector<Step>& Round() {
    using K = StepKind;
    static const std::vector<Step> steps = {
        {K::MainClick, MainFanControl::kFanAuto},
        {K::MainClick, MainFanControl::kFanApply},
        {K::MainClick, MainFanControl::kFanManual},
        {K::DragFan},
        {K::MainClick, MainFanControl::kFanApply},
        {K::MainClick, MainFanControl::kFanCurve},
        {K::CurveClick},
        {K::CurveClick},
        {K::EditorClick, CFanAdvanceDlg::kApplyButton},
        {K::EditorClick, CFanAdvanceDlg::kDefaultButton},
        {K::CloseSide},
        {K::MainClick, MainFanControl::kFanApply},
        {K::MainClick, CCoralvaneDlg::kMonitorButton},
        {K::Wait},
        {K::MoveMain},
        {K::Wait},
        {K::MainClick, CCoralvaneDlg::kHelpButton},
        {K::MoveMain},
        {K::CloseSide},
        {K::VersionLabel},
        {K::Wait},
        {K::CloseSide},
        {K::MainClick, CCoralvaneDlg::kMonitorButton},
        {K::MainClick, CCoralvaneDlg::kGpuButton0},
        {K::MainClick, CCoralvaneDlg::kProfileButton0},
        {K::MainClick, CCoralvaneDlg::kProfileButton0 + 1},
        {K::MainClick, CCoralvaneDlg::kProfileButton0 + 2},
        {K::Minimise},
        {K::Wait},
        {K::Wait},
        {K::Wait},
        {K::Wait},
        {K::Wait},
        {K::Restore},
        {K::PageClick, CAdvanceDlg::kVoltButton},
        {K::PageClick, CAdvanceDlg::kLinkButton},
        {K::PageClick, CAdvanceDlg::kDisplayButton},
        {K::TypeEdit, CAdvanceDlg::kCoreEdit},
        {K::TypeEdit, CAdvanceDlg::kMemEdit},
        {K::TypeEdit, CAdvanceDlg::kVoltEdit},
        {K::TypeEdit, CAdvanceDlg::kPowerEdit},
        {K::TypeEdit, CAdvanceDlg::kTempEdit},
        {K::TypeEdit, CAdvanceDlg::kPixelEdit},
        {K::Wait},
        {K::PageClick, CAdvanceDlg::kDefaultButton},
        {K::PageClick, CAdvanceDlg::kApplyButton},
        {K::Wait},
    };
    return steps;
}

// Posted, not sent: a click that opens a message dialog runs it from the window's own loop, where the
// next tick answers it, instead of inside this tick.
bool PostClick(HWND dialog, int id) {
    HWND button = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

struct MessageDialogSearch {
    Win32Host* host;
    HWND mainWindow;
    HWND found;
};

BOOL CALLBACK FindMessageDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MessageDialogSearch*>(param);
    if (window == search->mainWindow || !IsWindowVisible(window)) return TRUE;
    if (!dynamic_cast<CMsgDlg*>(search->host->DialogOf(window))) return TRUE;
    search->found = window;
    return FALSE;
}

class MainSoak {
public:
    MainSoak(Win32Host& host, CCoralvaneApp& app, double minutes, double warmupSeconds)
        : host(host),
          app(app),
          startedAt(GetTickCount64()),
          measureAt(startedAt + ULONGLONG(warmupSeconds * 1000.0)),
          endAt(startedAt + ULONGLONG(minutes * 60000.0)),
          giveUpAt(endAt + 180000) {}

    void Tick() {
        if (busy) {
            // A step that focuses an edit or drags runs the window's code at once, which may open a
            // message dialog inside this very tick; its loop brings us here, only to answer it.
            CCoralvaneDlg* main = app.MainWindow();
            if (main) AnswerMessageDialog(host.WindowOf(*main));
            return;
        }
        busy = true;
        Work();
        busy = false;
    }

    soak::Reading start;
    soak::Reading end;
    bool measured = false;
    bool finished = false;
    int rounds = 0;
    int answered = 0;
    int hidden = 0;
    int restored = 0;
    int clicks = 0;

private:
    void Work() {
        const ULONGLONG now = GetTickCount64();
        if (now >= giveUpAt) {
            std::printf("the main window did not come to an end in time\n");
            std::fflush(stdout);
            ExitProcess(2);
        }
        if (finished) return;
        CCoralvaneDlg* main = app.MainWindow();
        HWND mainWindow = main ? host.WindowOf(*main) : nullptr;
        if (!mainWindow) return;
        if (AnswerMessageDialog(mainWindow)) return;
        if (step == 0 && IsWindowVisible(mainWindow)) {
            if (!BetweenRounds(now, mainWindow)) return;
        }
        Perform(Round()[step], *main, mainWindow);
        step = (step + 1) % Round().size();
    }

    // The skin bitmaps decoded lately are a cache the host trims by itself after a while: each
    // reading trims it first, so readings compare what the program holds, not what it drew last.
    soak::Reading TakeReading() {
        host.TrimSkinCache();
        return soak::Read();
    }

    // Readings are taken only here, with the window shown and no message dialog open, so every
    // reading sees the same set of windows. False once the run is over.
    bool BetweenRounds(ULONGLONG now, HWND mainWindow) {
        ++rounds;
        if (!measured && now >= measureAt) {
            start = TakeReading();
            measured = true;
            lastPrintAt = now;
            soak::Print("start", start);
        } else if (measured && now >= endAt) {
            end = TakeReading();
            finished = true;
            PostClick(mainWindow, CCoralvaneDlg::kCloseButton);
            return false;
        } else if (measured && now - lastPrintAt >= 60000) {
            lastPrintAt = now;
            char when[32];
            std::snprintf(when, sizeof when, "%3llu s", (now - startedAt) / 1000);
            soak::Print(when, TakeReading());
        }
        return true;
    }

    // A message dialog of this thread (a question or a notice) gets its first button, or No on every
    // third question so both answers run.
    bool AnswerMessageDialog(HWND mainWindow) {
        MessageDialogSearch search{&host, mainWindow, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindMessageDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return false;
        if (pendingAnswer == search.found) return true;  // the click is on its way
        const bool no = answered % 3 == 2 && PostClick(search.found, CMsgDlg::kNoId);
        if (no || PostClick(search.found, CMsgDlg::kOkId) || PostClick(search.found, CMsgDlg::kCloseId)) {
            pendingAnswer = search.found;
            ++answered;
        }
        return true;
    }

    void Perform(const Step& s, CCoralvaneDlg& main, HWND mainWindow) {
        pendingAnswer = nullptr;
        CAdvanceDlg* page = main.OverclockPage();
        HWND pageWindow = page ? host.WindowOf(*page) : nullptr;
        switch (s.kind) {
            case StepKind::MainClick:
                clicks += PostClick(mainWindow, s.id);
                break;
            case StepKind::PageClick:
                clicks += PostClick(pageWindow, s.id);
                break;
            case StepKind::DragFan:
                DragFanSlider(mainWindow);
                break;
            case StepKind::Minimise:
                clicks += PostClick(mainWindow, CCoralvaneDlg::kMinimiseButton);
                break;
            case StepKind::Restore:
                if (!IsWindowVisible(mainWindow)) ++hidden;
                PostMessageW(mainWindow, CCoralvaneDlg::kTrayCallbackMessage, CCoralvaneDlg::kAppIcon,
                             WM_LBUTTONDBLCLK);
                ++restored;
                break;
            case StepKind::TypeEdit:
                TypeInto(pageWindow, s.id);
                break;
            case StepKind::VersionLabel:
                PostMessageW(mainWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 90));
                PostMessageW(mainWindow, WM_RBUTTONUP, 0, MAKELPARAM(60, 90));
                ++clicks;
                break;
            case StepKind::CloseSide: {
                const int open = main.OpenSidePanelId();
                clicks += PostClick(SideWindow(main, open), SideCloseId(open));
                break;
            }
            case StepKind::CurveClick:
                ClickCurve(SideWindow(main, kSideFanCurve));
                break;
            case StepKind::EditorClick:
                clicks += PostClick(SideWindow(main, kSideFanCurve), s.id);
                break;
            case StepKind::MoveMain:
                SetWindowPos(mainWindow, nullptr, 560 + 40 * (rounds % 2), 80 + 20 * (step % 3), 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                break;
            case StepKind::Wait:
                break;
        }
    }

    HWND SideWindow(CCoralvaneDlg& main, int id) {
        SidePanel* panel = main.FindSidePanel(id);
        return panel ? host.WindowOf(panel->Dialog()) : nullptr;
    }

    // Real mouse messages to the curve control, at a point that wanders from round to round.
    void ClickCurve(HWND editor) {
        HWND curve = editor ? GetDlgItem(editor, CFanAdvanceDlg::kCurveControl) : nullptr;
        if (!curve || !IsWindowVisible(curve)) return;
        const int x = (rounds * 53 + int(step) * 17) % 292;
        const int y = (rounds * 31 + int(step) * 7) % 292;
        SendMessageW(curve, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(curve, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        ++clicks;
    }

    // Real mouse messages along the slider's channel, there and half-way back.
    void DragFanSlider(HWND mainWindow) {
        HWND slider = GetDlgItem(mainWindow, MainFanControl::kFanSlider);
        if (!slider || !IsWindowVisible(slider) || !IsWindowEnabled(slider)) return;
        RECT r;
        GetClientRect(slider, &r);
        const int y = (r.bottom - r.top) / 2;
        const int last = r.right - 3;
        const int first = 3;
        if (last <= first) return;
        SendMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first, y));
        const int stride = (last - first) / 12 + 1;
        for (int x = first; x <= last; x += stride)
            SendMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        for (int x = last; x >= (first + last) / 2; x -= stride)
            SendMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM((first + last) / 2, y));
    }

    // Focus into the edit (which commits the one typed before), select all and type a number; the
    // numbers wander so some land out of range and are clamped.
    void TypeInto(HWND pageWindow, int id) {
        HWND edit = pageWindow ? GetDlgItem(pageWindow, id) : nullptr;
        if (!edit || !IsWindowVisible(edit) || !IsWindowEnabled(edit)) return;
        ::SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        const std::wstring text = std::to_wstring((rounds * 37 + id * 11) % 400 - 50);
        for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
    }

    Win32Host& host;
    CCoralvaneApp& app;
    ULONGLONG startedAt;
    ULONGLONG measureAt;
    ULONGLONG endAt;
    ULONGLONG giveUpAt;
    ULONGLONG lastPrintAt = 0;
    size_t step = 0;
    HWND pendingAnswer = nullptr;
    bool busy = false;
};

MainSoak* activeSoak = nullptr;

void CALLBACK OnSoakTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (activeSoak) activeSoak->Tick();
}

// A fresh folder of its own under the temporary folder, so the program's configuration written
// during the soak never touches a real one.
std::filesystem::path MakePrivateFolder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return {};
    std::filesystem::path folder =
        std::filesystem::path(temp) / (L"coralvane-soak-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(GetTickCount64()));
    std::error_code error;
    if (!std::filesystem::create_directories(folder, error)) return {};
    return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    double minutes = 10;
    if (__argc > 1) minutes = std::wcstod(__wargv[1], nullptr);
    if (!(minutes > 0)) minutes = 10;
    double warmupSeconds = minutes * 60.0 / 2 < 60 ? minutes * 60.0 / 2 : 60;
    if (__argc > 2) {
        const double given = std::wcstod(__wargv[2], nullptr);
        if (given > 0 && given < minutes * 60.0) warmupSeconds = given;
    }

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);
    SetFontFaceProbe(FontFaceInstalled);
    const NvQueryInterfaceFn driver = LoadDriverInterface();
    if (!driver) {
        std::printf("no driver library in the system directory\n");
        return 2;
    }
    const std::filesystem::path folderPath = MakePrivateFolder();
    if (folderPath.empty()) {
        std::printf("no private temporary folder\n");
        return 2;
    }

    FixedProgramFolder folder(folderPath);
    Win32Host host(instance);
    CCoralvaneApp* appPointer = nullptr;
    Win32NotificationArea notificationArea([&]() -> HWND {
        CCoralvaneDlg* main = appPointer ? appPointer->MainWindow() : nullptr;
        return main ? host.WindowOf(*main) : nullptr;
    });
    CoralvaneServices services(host, folder, driver);
    services.notificationArea = &notificationArea;
    // The soak never registers itself to start with the system.
    services.setAutorun = [] { return 0; };
    SoakInstanceGuard guard;
    CCoralvaneApp app(services, guard);
    appPointer = &app;

    std::printf("main window soak: %.1f minute(s), first reading after %.0f s, folder %ls\n", minutes,
                warmupSeconds, folderPath.c_str());
    std::fflush(stdout);
    MainSoak run(host, app, minutes, warmupSeconds);
    activeSoak = &run;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, OnSoakTimer);
    app.InitInstance();
    KillTimer(nullptr, timer);
    activeSoak = nullptr;

    std::error_code error;
    std::filesystem::remove_all(folderPath, error);

    if (!run.finished) {
        std::printf("the main window ended before the soak did (%d rounds)\n", run.rounds);
        return 2;
    }
    soak::Print("start", run.start);
    soak::Print("end  ", run.end);
    std::printf(
        "%d rounds, %d clicks, %d message dialogs answered, hidden %d of %d times into the notification "
        "area\n",
        run.rounds, run.clicks, run.answered, run.hidden, run.restored);
    if (run.start.gdiObjects == 0 && run.start.userObjects == 0)
        std::printf("the system reports no GDI or USER counts here; the host's own tally stands in\n");
    const bool grew = soak::Grew(run.start, run.end);
    std::printf(grew ? "GREW\n" : "no growth\n");
    return grew ? 1 : 0;
}
