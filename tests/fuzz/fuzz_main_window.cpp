#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "FuzzCheck.h"
#include "HostileDriver.h"
#include "app/CCoralvaneDlg.h"
#include "app/ConfigFile.h"
#include "app/MainFanControl.h"
#include "app/StartupSettings.h"
#include "panels/CAdvanceDlg.h"
#include "panels/CKeyOCDlg.h"
#include "support/FakeClock.h"
#include "ui/HeadlessHost.h"

// The whole main window, headless, with the hostile driver behind it: start-up, the timers, the fan
// modes, the GPU and profile buttons and the overclock page all run on whatever the driver answers.
// Every question is answered OK, so the paths that write to the card run as far as they go.

namespace {

using Dlg = CCoralvaneDlg;

// The skin's bitmap sizes are read once per process rather than once per input.
class FuzzHost : public HeadlessHost {
public:
    using HeadlessHost::HeadlessHost;
    Size BitmapSize(int resourceId) override {
        auto [it, added] = sizes.try_emplace(resourceId);
        if (added) it->second = HeadlessHost::BitmapSize(resourceId);
        return it->second;
    }

private:
    static inline std::map<int, Size> sizes;
};

// One folder for the whole run; each input starts with it empty, so every input is a first run.
class ProgramDir {
public:
    ProgramDir() {
        std::error_code ec;
        // Every input writes the whole first-run file a value at a time; memory keeps that cheap.
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path(ec);
        path = base / ("coralvane-fuzz-main-window-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path, ec);
    }
    ~ProgramDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    void Empty() const {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(path, ec)) {
            std::filesystem::remove_all(entry.path(), ec);
        }
    }
    std::filesystem::path path;
};

ProgramDir& Dir() {
    static ProgramDir dir;
    return dir;
}

constexpr int kModalAnswers = 256;
constexpr int kMaxActions = 64;

void Check(const Dlg& dlg, const CGpuControl& gpu) {
    FuzzCheck(gpu.gpuCount >= 0 && gpu.gpuCount <= kMaxGpuHandles, "the GPU table stays within its array");
    FuzzCheck(std::memchr(gpu.errorText, 0, sizeof gpu.errorText) != nullptr, "the error text is terminated");
    FuzzCheck(dlg.SelectedGpu() == 0 || (dlg.SelectedGpu() > 0 && dlg.SelectedGpu() < gpu.gpuCount),
              "the selected GPU is one the driver listed");
}

// Every question is answered OK; the one-key dialog's switch is flipped first when the input says so.
std::function<void(CDialog&)> AnswerOk(FuzzHost& host, FuzzedDataProvider& in) {
    return [&host, &in](CDialog& dialog) {
        if (dialog.Window().templateId == CKeyOCDlg::kTemplateId && in.ConsumeBool()) {
            host.Click(dialog, CKeyOCDlg::kSwitchButton);
        }
        host.EndModal(dialog, kIdOk);
    };
}

// What a user types into an edit: mostly a number, sometimes anything.
std::string TypedText(FuzzedDataProvider& in) {
    if (in.ConsumeIntegral<uint8_t>() < 0xE0) return std::to_string(in.ConsumeIntegral<int32_t>());
    return in.ConsumeRandomLengthString(16);
}

void DriveOverclockPage(FuzzHost& host, CAdvanceDlg& page, FuzzedDataProvider& in) {
    constexpr int kEdits[] = {CAdvanceDlg::kCoreEdit,  CAdvanceDlg::kVoltEdit, CAdvanceDlg::kMemEdit,
                              CAdvanceDlg::kPowerEdit, CAdvanceDlg::kTempEdit, CAdvanceDlg::kPixelEdit};
    constexpr int kSliders[] = {CAdvanceDlg::kCoreSlider, CAdvanceDlg::kVoltSlider,
                                CAdvanceDlg::kMemSlider,  CAdvanceDlg::kPowerSlider,
                                CAdvanceDlg::kTempSlider, CAdvanceDlg::kPixelSlider};
    constexpr int kButtons[] = {CAdvanceDlg::kVoltButton,    CAdvanceDlg::kLinkButton,
                                CAdvanceDlg::kDisplayButton, CAdvanceDlg::kDefaultButton,
                                CAdvanceDlg::kApplyButton,   CAdvanceDlg::kKeyButton};
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0: {
            const int edit = kEdits[in.ConsumeIntegralInRange<size_t>(0, std::size(kEdits) - 1)];
            if (host.TypeText(page, edit, TypedText(in))) host.CommitEdit(page, edit);
            // Typing is often followed by Apply, so typed values reach the card.
            if (in.ConsumeBool()) host.Click(page, CAdvanceDlg::kApplyButton);
            break;
        }
        case 1: {
            const int slider = kSliders[in.ConsumeIntegralInRange<size_t>(0, std::size(kSliders) - 1)];
            host.DragSlider(page, slider, in.ConsumeIntegralInRange<int>(-50, 20050));
            break;
        }
        default:
            host.Click(page, kButtons[in.ConsumeIntegralInRange<size_t>(0, std::size(kButtons) - 1)]);
            break;
    }
}

void RunAction(FuzzHost& host, Dlg& dlg, FuzzedDataProvider& in) {
    // The overclock page has the most to drive, so it gets the larger share of actions.
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0:
            host.FireTimer(dlg, in.ConsumeIntegralInRange<int>(Dlg::kTimerClock, Dlg::kTimerMinimise));
            break;
        case 1:
            host.Click(dlg, in.ConsumeIntegralInRange<int>(MainFanControl::kFanAuto, MainFanControl::kFanCurve));
            break;
        case 2:
            host.DragSlider(dlg, MainFanControl::kFanSlider, in.ConsumeIntegralInRange<int>(-5, 105));
            host.Click(dlg, MainFanControl::kFanApply);
            break;
        case 3:
            host.Click(dlg, Dlg::kGpuButton0 + in.ConsumeIntegralInRange<int>(0, 3));
            break;
        case 4: {
            // Save, Load, or both in turn, so that a saved profile comes back through the load.
            const int which = in.ConsumeIntegralInRange<int>(0, 2);
            host.Click(dlg, Dlg::kProfileButton0 + in.ConsumeIntegralInRange<int>(0, 2));
            if (which != 1) host.Click(dlg, Dlg::kSaveButton);
            if (which != 0) host.Click(dlg, Dlg::kLoadButton);
            break;
        }
        case 5:
            host.Click(dlg, in.ConsumeBool() ? Dlg::kAdvanceButton : Dlg::kLightingButton);
            break;
        case 6:
            // What the curve editor hands back on OK: the kept curve, stored or not.
            if (MainFanControl* fan = dlg.Fan()) fan->SetFanCurve(fan->CurveForEditor(), in.ConsumeBool());
            break;
        default:
            if (CAdvanceDlg* page = dlg.OverclockPage()) DriveOverclockPage(host, *page, in);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ProgramDir& dir = Dir();
    dir.Empty();
    FuzzedDataProvider input(data, size);
    hostile::gDriver = &input;
    hostile::gKnownCards = true;
    {
        FixedProgramFolder folder(dir.path);
        FuzzHost host(CORALVANE_SKIN_DIR);
        for (int i = 0; i < kModalAnswers; ++i) host.AnswerModal(AnswerOk(host, input));
        FakeClock clock;
        CoralvaneServices services(host, folder, &hostile::FakeQueryInterface);
        services.clock = &clock;
        services.setAutorun = [] { return 0; };
        Dlg dlg(services);
        FuzzCheck(dlg.Create() == 0, "the main window opens whatever the driver answers");
        dlg.ShowWindow(ShowCommand::Show);
        Check(dlg, dlg.Gpu());
        for (int round = 0; round < 3; ++round) {
            for (int timer : {Dlg::kTimerClock, Dlg::kTimerFan, Dlg::kTimerMinimise})
                host.FireTimer(dlg, timer);
        }
        for (int i = 0; i < kMaxActions && input.remaining_bytes() > 0; ++i) {
            RunAction(host, dlg, input);
            Check(dlg, dlg.Gpu());
        }
        host.Click(dlg, Dlg::kCloseButton);
        // Whatever the driver said, the first run's file survives everything written after it.
        SettingValue initialized{std::string(kSettingsSection), "Initialized", {}, 0};
        FuzzCheck(
            ConfigFile(folder, dlg.ConfigFileName()).ReadValue(initialized) == 0 && initialized.value == 1,
            "the configuration file still records a finished first run");
    }
    hostile::gDriver = nullptr;
    return 0;
}
