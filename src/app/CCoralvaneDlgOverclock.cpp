#include <memory>
#include <string>

#include "app/CCoralvaneDlg.h"
#include "app/MainFanControl.h"
#include "app/Profiles.h"
#include "panels/CAdvanceDlg.h"

// The main window as the profile operations see it.
class MainProfileOwner : public ProfileOwner {
public:
    explicit MainProfileOwner(CCoralvaneDlg& window) : main(window) {}

    const ProgramFolder& ProfileFolder() const override { return main.services.folder; }
    std::string ProfileConfigName() const override { return main.configFileName; }
    bool LightingPageShown() const override { return main.currentPage == 2; }
    bool HasChosenProfile() const override { return main.profileChosen; }
    int ChosenProfileIndex() const override { return main.profileIndex; }
    bool IsProductLineC() const override { return main.productLineC; }
    int AskUser(std::string_view text, int mode) override { return main.ShowMessage(text, mode); }
    CAdvanceDlg* OverclockPanel() override { return main.OverclockPage(); }
    ProfileFanState FanStateToSave() override {
        const int position = main.Control(MainFanControl::kFanSlider).slider.position;
        return main.fan ? FanStateOf(*main.fan, position) : ProfileFanState{0, 0, {}, {}};
    }
    void TakeFanState(const ProfileFanState& state) override {
        if (!main.fan) return;
        TakeFanStateInto(*main.fan, state);
        // Shown at once, so the fan Apply button writes what the user sees.
        main.fan->ShowFanState();
    }
    void ApplyFanModeWithIcons() override {
        if (main.fan) main.fan->ApplyFanMode(true);
    }

private:
    CCoralvaneDlg& main;
};

CAdvanceDlg* CCoralvaneDlg::OverclockPage() const {
    return dynamic_cast<CAdvanceDlg*>(FindPagePanel(kPageAdvance));
}

void CCoralvaneDlg::CreatePagePanels() {
    CreateOverclockPage();
    CreateLedPage();
    CreateZonePanels();
    CreateAccessoryPage();
}

void CCoralvaneDlg::CreateOverclockPage() {
    auto page = std::make_unique<CAdvanceDlg>(Host(), gpu, services.folder, configFileName);
    CAdvanceDlg& panel = *page;
    if (panel.Create(this) != 0) return;
    panel.SetCurveMode(voltageAsPercent);
    panel.ReadGpuValues();
    panel.InitSliders();
    panel.InitButtons();
    // A skipped start-up overclock includes the stored one-key choice.
    const bool skipped =
        startupOverclock != StartupOverclock::Apply && startupOverclock != StartupOverclock::None;
    panel.InitKeyOc(accessoryOnCard ? 1 : 0, !skipped);
    panel.MoveWindow(pageRect);
    panel.ShowWindow(ShowCommand::Show);
    AttachPagePanel(kPageAdvance, std::move(page));
}

void CCoralvaneDlg::RefreshOverclockPage() {
    CAdvanceDlg* panel = OverclockPage();
    if (!panel) return;
    panel->SetCurveMode(voltageAsPercent);
    panel->ReadGpuValues();
    panel->InitKeyOc(accessoryOnCard ? 1 : 0);
}

void CCoralvaneDlg::SaveProfile() {
    MainProfileOwner owner(*this);
    ::SaveProfile(owner);
}

void CCoralvaneDlg::LoadProfile() {
    MainProfileOwner owner(*this);
    ::LoadProfile(owner);
}

void CCoralvaneDlg::WriteDefaultProfiles() {
    ::WriteDefaultProfiles(services.folder, configFileName, startingProfileValues);
}

void CCoralvaneDlg::ReapplyOneKeyOverclock() {
    if (CAdvanceDlg* panel = OverclockPage()) panel->ApplyKeyOc();
}

CommandStatus CCoralvaneDlg::ApplyProfileCommand(int profileIndex) {
    // The profile button shows which profile is on the card, as after a click and Load.
    SelectProfile(profileIndex);
    MainProfileOwner owner(*this);
    return ::ApplyProfileNow(owner, profileIndex);
}

void CCoralvaneDlg::ApplyStartupProfile() {
    MainProfileOwner owner(*this);
    ::ApplyStartupProfile(owner);
}
