#include "app/Profiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainFanControl.h"
#include "app/StartupSettings.h"
#include "main_window_fixture.h"
#include "overclock_fixture.h"
#include "sim/SimHeat.h"
#include "sim/SimPolicies.h"

namespace {

// The main window as profiles see it: the page, the profile choice, the product line, the fan
// state and the message dialog, recorded.
class ProfilesTest : public OverclockFixture, public ProfileOwner {
protected:
    const ProgramFolder& ProfileFolder() const override { return folder; }
    std::string ProfileConfigName() const override { return configName; }
    bool LightingPageShown() const override { return lightingPage; }
    bool HasChosenProfile() const override { return chosen; }
    int ChosenProfileIndex() const override { return profileIndex; }
    bool IsProductLineC() const override { return lineC; }
    int AskUser(std::string_view text, int mode) override {
        calls.push_back("message");
        CMsgDlg message(host, mode);
        message.SetText(std::string(text));
        return message.DoModal();
    }
    CAdvanceDlg* OverclockPanel() override { return panel.get(); }
    ProfileFanState FanStateToSave() override { return fanToSave; }
    void TakeFanState(const ProfileFanState& state) override {
        calls.push_back("fan state");
        fanTaken = state;
    }
    void ApplyFanModeWithIcons() override {
        calls.push_back("fan mode");
        modalsAtFanMode = host.ModalRuns().size();
    }

    void Type(int editId, const std::string& text) {
        ASSERT_TRUE(host.TypeText(*panel, editId, text));
        ASSERT_TRUE(host.CommitEdit(*panel, editId));
    }

    ProfileRecord ReadProfile(std::string_view section) {
        ProfileRecord record = ProfileRecord::WithAllKeys(section);
        EXPECT_EQ(ConfigFile(folder, configName).ReadRecord(record), 0);
        return record;
    }

    void WriteFreshFile() { WriteFirstRunFile(folder, configName, 0x1B80, FirstRunHooks{}); }

    bool lightingPage = false;
    bool chosen = true;
    int profileIndex = 0;
    bool lineC = true;
    ProfileFanState fanToSave;
    ProfileFanState fanTaken;
    std::vector<std::string> calls;
    size_t modalsAtFanMode = 0;
};

TEST_F(ProfilesTest, SaveAndLoadDoNothingBeforeAProfileIsChosenOrOnTheLightingPage) {
    OpenPanel();
    const struct {
        bool chosen;
        bool lighting;
    } cases[] = {{false, false}, {true, true}, {false, true}};
    for (const auto& c : cases) {
        chosen = c.chosen;
        lightingPage = c.lighting;
        EXPECT_EQ(SaveProfile(*this), ProfileResult::Ignored);
        EXPECT_EQ(LoadProfile(*this), ProfileResult::Ignored);
    }
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / configName));
    EXPECT_TRUE(Writes().empty());
}

TEST_F(ProfilesTest, SaveAsksByProductLineAndNoLeavesTheFileAsItWas) {
    OpenPanel();
    WriteFreshFile();
    const std::string before = ReadAllBytes(dir / configName);
    for (bool line : {true, false}) {
        lineC = line;
        host.AnswerModal(2);
        EXPECT_EQ(SaveProfile(*this), ProfileResult::Declined);
        EXPECT_EQ(Messages().back(), line ? "请确认设置有效，再继续保存。如果你不确定，有可能导致系统故障。"
                                          : "调整GPU设置可能会导致系统不稳定，继续？");
        EXPECT_TRUE(host.ModalRuns().back().Visible(CMsgDlg::kNoId));
    }
    EXPECT_EQ(ReadAllBytes(dir / configName), before);
}

TEST_F(ProfilesTest, SaveStoresSliderPositionsAndFanStateInTheProfileAndStartOc) {
    UseMachine(MachineText("thermal_policy = 1 16640 21248 23296\n"));
    OpenPanel();
    WriteFreshFile();
    Type(CAdvanceDlg::kCoreEdit, "-35");
    Type(CAdvanceDlg::kMemEdit, "450");
    Type(CAdvanceDlg::kPowerEdit, "80");  // the link moves the temperature to 75
    fanToSave.fanSpeed = 55;
    fanToSave.fanMode = 2;
    for (int i = 0; i < kFanPointCount; ++i) {
        fanToSave.steps[i] = i + 1;
        fanToSave.levels[i] = i % 3;
    }
    profileIndex = 1;
    host.AnswerModal(1);
    ASSERT_EQ(SaveProfile(*this), ProfileResult::Done);

    for (const char* section : {"Profile2", "Start_OC"}) {
        const ProfileRecord saved = ReadProfile(section);
        EXPECT_EQ(saved.Value("CoreOffset"), -35) << section;
        EXPECT_EQ(saved.Value("MemOffset"), 450);
        EXPECT_EQ(saved.Value("Power"), 80);
        EXPECT_EQ(saved.Value("TempTarget"), 75);
        EXPECT_EQ(saved.Value("OverVolt"), 0);
        EXPECT_EQ(saved.Value("DisplayClock"), 14850);
        EXPECT_EQ(saved.Value("FanSpeed"), 55);
        EXPECT_EQ(saved.Value("FanMode"), 2);
        EXPECT_EQ(saved.Value("FanSpeedX4"), 5);
        EXPECT_EQ(saved.Value("FanSpeedY4"), 1);
        EXPECT_EQ(saved.Value("LedBright"), 0);
    }
    EXPECT_EQ(ReadProfile("Profile1").Value("CoreOffset"), 0);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(ProfilesTest, LoadOfAProfileNeverSavedIsRefused) {
    OpenPanel();
    for (bool missingFile : {true, false}) {
        if (!missingFile) WriteFreshFile();
        for (bool line : {true, false}) {
            lineC = line;
            calls.clear();
            host.AnswerModal(kIdCancel);
            EXPECT_EQ(LoadProfile(*this), ProfileResult::Refused);
            EXPECT_EQ(Messages().back(), "目标功耗不能为0！");
            EXPECT_EQ(host.ModalRuns().back().Visible(CMsgDlg::kNoId), line);
            EXPECT_EQ(host.ModalRuns().back().Visible(CMsgDlg::kCloseId), !line);
            EXPECT_EQ(calls, (std::vector<std::string>{"message"}));
        }
    }
    EXPECT_EQ(panel->powerPct, 100);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(ProfilesTest, SavedVoltageOffsetReadsBackAndReachesThePanel) {
    OpenPanel();
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(*panel, CAdvanceDlg::kVoltButton));
    Type(CAdvanceDlg::kVoltEdit, "25");
    Type(CAdvanceDlg::kCoreEdit, "60");
    host.AnswerModal(1);
    ASSERT_EQ(SaveProfile(*this), ProfileResult::Done);
    EXPECT_EQ(ReadProfile("Profile1").Value("OverVolt"), 25);

    Type(CAdvanceDlg::kVoltEdit, "0");
    Type(CAdvanceDlg::kCoreEdit, "0");
    host.AnswerModal(1);
    ASSERT_EQ(LoadProfile(*this), ProfileResult::Done);
    EXPECT_EQ(Messages().back(), "\r\n这些设置可能会造成系统不稳定，确认继续？");
    EXPECT_EQ(panel->voltValue, 25);
    EXPECT_EQ(panel->Control(CAdvanceDlg::kVoltEdit).text, "25");
    EXPECT_EQ(Tuning().overVoltUv, 25000);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 60000);
}

TEST_F(ProfilesTest, LoadShowsTheValuesAndLeavesApplyingToTheApplyButton) {
    ProfileRecord record = ProfileRecord::WithAllKeys("Profile3");
    record.SetValue("CoreOffset", 40);
    record.SetValue("Power", 110);
    record.SetValue("TempTarget", 80);
    record.SetValue("FanSpeed", 65);
    record.SetValue("FanMode", 1);
    record.SetValue("FanSpeedX9", 10);
    record.SetValue("FanSpeedY9", 3);
    ASSERT_EQ(ConfigFile(folder, configName).WriteRecord(record), 0);
    profileIndex = 2;

    const struct {
        bool lineC;
        int answer;
        std::vector<std::string> calls;
        int32_t appliedKhz;
    } cases[] = {
        {true, 1, {"fan state"}, 40000},
        {false, 1, {"fan state", "fan mode"}, 40000},
        {true, 2, {"fan state"}, 0},
    };
    for (const auto& c : cases) {
        UseMachine(MachineText());
        OpenPanel();
        lineC = c.lineC;
        calls.clear();
        const size_t before = host.ModalRuns().size();
        host.AnswerModal(c.answer);
        ASSERT_EQ(LoadProfile(*this), ProfileResult::Done);
        EXPECT_EQ(calls, c.calls) << c.lineC << c.answer;
        // The fan mode goes first; the Apply button's question follows.
        ASSERT_EQ(host.ModalRuns().size(), before + 1);
        EXPECT_EQ(Messages().back(), "\r\n这些设置可能会造成系统不稳定，确认继续？");
        if (!c.lineC) {
            EXPECT_EQ(modalsAtFanMode, before);
        }
        EXPECT_EQ(Tuning().graphicsOffsetKhz, c.appliedKhz);
        EXPECT_EQ(panel->coreMhz, 40);
        EXPECT_EQ(panel->Control(CAdvanceDlg::kCoreSlider).slider.position, 40);
        EXPECT_EQ(panel->Control(CAdvanceDlg::kPowerEdit).text, "110");
        EXPECT_EQ(fanTaken.fanSpeed, 65);
        EXPECT_EQ(fanTaken.fanMode, 1);
        EXPECT_EQ(fanTaken.steps[9], 10);
        EXPECT_EQ(fanTaken.levels[9], 3);
    }
}

TEST_F(ProfilesTest, LoadWhileOneKeyIsActiveChangesValuesButAppliesNothing) {
    ASSERT_EQ(ConfigFile(folder, configName).WriteValue({"Coralvane", "KeyOC", {}, 1}, 10), 0);
    ProfileRecord record = ProfileRecord::WithAllKeys("Profile1");
    record.SetValue("CoreOffset", 20);
    record.SetValue("MemOffset", 200);
    record.SetValue("Power", 90);
    ASSERT_EQ(ConfigFile(folder, configName).WriteRecord(record), 0);
    OpenPanel(false, 1);
    ASSERT_EQ(panel->keyOcActive, 1);

    ASSERT_EQ(LoadProfile(*this), ProfileResult::Done);
    EXPECT_EQ(panel->coreMhz, 20);
    EXPECT_EQ(panel->memMhz, 200);
    EXPECT_EQ(panel->powerPct, 90);
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 91000);
}

TEST_F(ProfilesTest, HandEditedValuesLoadByTheDecimalConversion) {
    WriteAllBytes(dir / configName,
                  "[Profile1]\nCoreOffset=12abc\nMemOffset= -7x\nPower=110%\nTempTarget=+85\nOverVolt=\n"
                  "DisplayClock=0x10\nFanMode=two\n[Profile2]\nPower=abc\nCoreOffset=30\n");
    OpenPanel();
    host.AnswerModal(2);
    ASSERT_EQ(LoadProfile(*this), ProfileResult::Done);
    EXPECT_EQ(panel->SliderPositions(), (TuningValues{12, 0, -7, 110, 85, 0}));
    EXPECT_EQ(fanTaken.fanMode, 0);

    profileIndex = 1;
    host.AnswerModal(kIdCancel);
    EXPECT_EQ(LoadProfile(*this), ProfileResult::Refused);
    EXPECT_EQ(panel->coreMhz, 12);
}

TEST_F(ProfilesTest, StartupProfileAppliesTheLastSavedProfileWithoutAQuestion) {
    OpenPanel();
    WriteFreshFile();
    Type(CAdvanceDlg::kCoreEdit, "75");
    Type(CAdvanceDlg::kMemEdit, "-250");
    Type(CAdvanceDlg::kPowerEdit, "115");
    profileIndex = 1;
    host.AnswerModal(1);
    ASSERT_EQ(SaveProfile(*this), ProfileResult::Done);

    for (bool line : {true, false}) {
        UseMachine(MachineText());
        OpenPanel();
        const size_t shown = host.ModalRuns().size();
        lineC = line;
        calls.clear();
        ApplyStartupProfile(*this);
        EXPECT_EQ(host.ModalRuns().size(), shown);
        EXPECT_EQ(calls, line ? std::vector<std::string>{} : std::vector<std::string>{"fan mode"});
        EXPECT_EQ(Tuning().graphicsOffsetKhz, 75000);
        EXPECT_EQ(Tuning().memoryOffsetKhz, -250000);
        EXPECT_EQ(Card().state.Get<SimPolicies>().power[0].target, 115000);
        EXPECT_EQ(panel->Control(CAdvanceDlg::kPowerEdit).text, "115");
    }
}

TEST_F(ProfilesTest, FirstRunRecordsHoldTheCardsStartingState) {
    UseMachine(
        MachineText("p0_graphics_delta = 50000 -200000 200000\np0_memory_delta = -100000 -500000 1000000\n"
                    "power_policy = 0 50000 105000 120000\n"));
    const DefaultProfileValues values = ReadDefaultProfileValues(*gpu, 45);
    EXPECT_EQ(values.coreOffsetMhz, 50);
    EXPECT_EQ(values.memOffsetMhz, -100);
    EXPECT_EQ(values.powerDefaultPct, 105);
    EXPECT_EQ(values.tempTargetDefault, 83);
    EXPECT_EQ(values.fanSpeed, 45);

    WriteFreshFile();
    ASSERT_EQ(WriteDefaultProfiles(folder, configName, values), 0);
    for (const char* section : {"Default", "Start_OC"}) {
        const ProfileRecord written = ReadProfile(section);
        EXPECT_EQ(written.Value("CoreOffset"), 50) << section;
        EXPECT_EQ(written.Value("MemOffset"), -100);
        EXPECT_EQ(written.Value("Power"), 105);
        EXPECT_EQ(written.Value("TempTarget"), 83);
        EXPECT_EQ(written.Value("FanSpeed"), 45);
        EXPECT_EQ(written.Value("FanMode"), 0);
        EXPECT_EQ(written.Value("FanSpeedX0"), 1);
        EXPECT_EQ(written.Value("FanSpeedY0"), 9);
        EXPECT_EQ(written.Value("FanSpeedX9"), 10);
        EXPECT_EQ(written.Value("FanSpeedY9"), 0);
        EXPECT_EQ(written.Value("LedBright"), 7);
    }

    UseMachine(MachineText("pstates20 = no\npower_policy_valid = no\nthermal_policy_valid = no\n"));
    const DefaultProfileValues failed = ReadDefaultProfileValues(*gpu, 0);
    EXPECT_EQ(failed.coreOffsetMhz, 0);
    EXPECT_EQ(failed.powerDefaultPct, 0);
    EXPECT_EQ(failed.tempTargetDefault, 0);
}

TEST_F(ProfilesTest, FanStateMovesBetweenProfilesAndTheFanControl) {
    CDialog window(host, 102);
    MainFanControl fan(window, *gpu, folder, configName, false);
    fan.fanMode = kFanModeCurve;
    fan.fanCurve[3] = {4, 6, 0};
    const ProfileFanState state = FanStateOf(fan, 70);
    EXPECT_EQ(state.fanSpeed, 70);
    EXPECT_EQ(state.fanMode, 2);
    EXPECT_EQ(state.steps[3], 6);
    EXPECT_EQ(state.levels[3], 4);

    ProfileFanState loaded = state;
    loaded.fanSpeed = 35;
    loaded.fanMode = kFanModeManual;
    loaded.steps[3] = 7;
    loaded.levels[3] = 2;
    TakeFanStateInto(fan, loaded);
    EXPECT_EQ(fan.manualFanPercent, 35);
    EXPECT_EQ(fan.fanMode, kFanModeManual);
    EXPECT_EQ(fan.fanCurve[3], (FanCurvePoint{2, 7, 0}));
}

}  // namespace

namespace {

// The program's own main window, with the overclock page and the profiles plugged in.
class MainWindowProfilesTest : public MainWindowTest {
protected:
    void TearDown() override {
        program.reset();
        MainWindowTest::TearDown();
    }

    CCoralvaneDlg& StartProgram() {
        program.reset();
        program = std::make_unique<CCoralvaneDlg>(Services());
        EXPECT_EQ(program->Create(), 0);
        program->ShowWindow(ShowCommand::Show);
        return *program;
    }

    CAdvanceDlg& Page() {
        CAdvanceDlg* page = program->OverclockPage();
        EXPECT_NE(page, nullptr);
        return *page;
    }

    void Type(int editId, const std::string& text) {
        ASSERT_TRUE(host.TypeText(Page(), editId, text));
        ASSERT_TRUE(host.CommitEdit(Page(), editId));
    }

    SimTuning& Tuning() { return sim.Model().gpus.at(0).state.Get<SimTuning>(); }

    std::unique_ptr<CCoralvaneDlg> program;
};

TEST_F(MainWindowProfilesTest, PageSitsInThePageAreaAndFirstRunRecordsTheCard) {
    CCoralvaneDlg& main = StartProgram();
    CAdvanceDlg& page = Page();
    EXPECT_TRUE(page.Window().visible);
    EXPECT_EQ(page.Window().rect.left, main.PageRect().left);
    EXPECT_EQ(page.Window().rect.top, main.PageRect().top);
    EXPECT_EQ(page.curveMode, 1);  // 0x1B80 works on the V/F curve
    EXPECT_EQ(page.Control(CAdvanceDlg::kVoltUnitLabel).text, "%");
    EXPECT_FALSE(page.Control(CAdvanceDlg::kKeyButton).visible);

    ProfileRecord defaults = ProfileRecord::WithAllKeys("Default");
    ASSERT_EQ(ConfigFile(folder, main.ConfigFileName()).ReadRecord(defaults), 0);
    EXPECT_EQ(defaults.Value("Power"), 100);
    EXPECT_EQ(defaults.Value("TempTarget"), 83);
    EXPECT_EQ(defaults.Value("FanSpeed"), main.Fan()->fanPercent);
    EXPECT_EQ(defaults.Value("LedBright"), 7);
}

TEST_F(MainWindowProfilesTest, SaveAndLoadWaitForAProfileButton) {
    CCoralvaneDlg& main = StartProgram();
    const std::string before = ReadAllBytes(dir / main.ConfigFileName());
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kSaveButton));
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kLoadButton));
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_EQ(ReadAllBytes(dir / main.ConfigFileName()), before);

    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kProfileButton0));
    host.AnswerModal(kIdCancel);
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kLoadButton));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"目标功耗不能为0！"}));
}

TEST_F(MainWindowProfilesTest, SavedProfileIsAppliedAtTheNextStartWithAutoOverclock) {
    CCoralvaneDlg& main = StartProgram();
    Type(CAdvanceDlg::kCoreEdit, "65");
    Type(CAdvanceDlg::kMemEdit, "350");
    Type(CAdvanceDlg::kPowerEdit, "110");
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kProfileButton0 + 1));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kSaveButton));
    EXPECT_EQ(MessageTexts().back(), "请确认设置有效，再继续保存。如果你不确定，有可能导致系统故障。");
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);  // saved, not applied
    ASSERT_EQ(ConfigFile(folder, main.ConfigFileName())
                  .WriteValue({std::string(kSettingsSection), "AutoOverClock", {}, 1}, 10),
              0);

    program.reset();
    sim.Model() = DefaultScenario();
    const size_t shown = host.ModalRuns().size();
    StartProgram();
    EXPECT_EQ(host.ModalRuns().size(), shown);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 130000);  // 65 MHz as a curve offset
    EXPECT_EQ(Tuning().memoryOffsetKhz, 350000);
    EXPECT_EQ(sim.Model().gpus.at(0).state.Get<SimPolicies>().power[0].target, 110000);
    EXPECT_EQ(Page().Control(CAdvanceDlg::kCoreEdit).text, "65");
}

TEST_F(MainWindowProfilesTest, StoredOneKeyChoiceIsReappliedOnCardsThatOfferIt) {
    UseCards({{0x1B82, "GeForce GTX 1070 Ti"}});
    WriteConfig({{"KeyOC", 1}, {"AutoOverClock", 1}}, 0x1B82);
    StartProgram();
    CAdvanceDlg& page = Page();
    EXPECT_TRUE(page.Control(CAdvanceDlg::kKeyButton).visible);
    EXPECT_EQ(page.keyOcActive, 1);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 182000);  // 91 MHz as a curve offset
    EXPECT_TRUE(host.ModalRuns().empty());
}

TEST_F(MainWindowProfilesTest, LoadOnProductLineCShowsTheLoadedFanStateAndTheFanApplyWritesIt) {
    CCoralvaneDlg& main = StartProgram();
    ASSERT_TRUE(main.ProductLineC());
    ASSERT_EQ(main.Fan()->fanMode, kFanModeAuto);
    ProfileRecord record = ProfileRecord::WithAllKeys("Profile2");
    record.SetValue("Power", 100);
    record.SetValue("TempTarget", 83);
    record.SetValue("FanMode", 1);
    record.SetValue("FanSpeed", 70);
    ASSERT_EQ(ConfigFile(folder, main.ConfigFileName()).WriteRecord(record), 0);
    const size_t coolerWrites = sim.CallCount(QueryId::SetCoolerLevels);

    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kProfileButton0 + 1));
    host.AnswerModal(2);  // the page's Apply question: nothing is applied
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kLoadButton));
    EXPECT_EQ(sim.CallCount(QueryId::SetCoolerLevels), coolerWrites) << "Load itself writes no fan state";
    std::vector<std::string> icons;
    for (int id : {MainFanControl::kFanAuto, MainFanControl::kFanManual, MainFanControl::kFanCurve})
        icons.push_back(main.Control(id).iconNormal);
    EXPECT_EQ(icons, (std::vector<std::string>{"Fan_Auto.ICO", "Fan_Manual_H.ICO", "Fan_Advance.ICO"}));
    EXPECT_EQ(main.Control(MainFanControl::kFanSlider).slider.position, 70);
    EXPECT_EQ(main.Control(MainFanControl::kFanLabel).text, "70%");

    ASSERT_TRUE(host.Click(main, MainFanControl::kFanApply));
    EXPECT_EQ(sim.CallCount(QueryId::SetCoolerLevels), coolerWrites + 1);
    const SimFan& cooler = sim.Model().gpus.at(0).state.Get<SimFan>();
    EXPECT_EQ(cooler.policy, kSimFanManual);
    EXPECT_EQ(cooler.heldLevel, 70);
}

TEST_F(MainWindowProfilesTest, SelectingAnotherGpuRereadsThePageInItsMode) {
    UseCards({{0x1B00, "TITAN X"}, {0x1C02, "GeForce GTX 1060 3GB"}});
    CCoralvaneDlg& main = StartProgram();
    EXPECT_EQ(Page().curveMode, 0);
    EXPECT_EQ(Page().Control(CAdvanceDlg::kVoltUnitLabel).text, "mv");
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kGpuButton0 + 1));
    EXPECT_EQ(Page().curveMode, 1);
    EXPECT_EQ(Page().Control(CAdvanceDlg::kVoltUnitLabel).text, "%");
    EXPECT_EQ(Page().coreMhzMax, 500);
}

TEST_F(MainWindowProfilesTest, BackOnAPstateCardAfterACurveCardThePageWritesPstateOffsetsAndTheFanLevel) {
    // 0x1B06 works on the V/F curve and reads its fan from the speed; 0x1B00 does neither.
    UseCards({{0x1B00, "TITAN X"}, {0x1B06, "GeForce GTX 1080 Ti"}});
    CCoralvaneDlg& main = StartProgram();
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kGpuButton0 + 1));
    ASSERT_TRUE(main.VoltageAsPercent());
    ASSERT_TRUE(main.FanPercentFromRpm());

    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kGpuButton0));
    EXPECT_FALSE(main.VoltageAsPercent());
    EXPECT_FALSE(main.FanPercentFromRpm());
    EXPECT_FALSE(main.Fan()->FanPercentFromRpm());
    EXPECT_EQ(Page().curveMode, 0);
    EXPECT_EQ(Page().Control(CAdvanceDlg::kVoltUnitLabel).text, "mv");

    sim.ClearJournal();
    Type(CAdvanceDlg::kCoreEdit, "50");
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(Page(), CAdvanceDlg::kApplyButton));
    EXPECT_EQ(sim.CallCount(QueryId::SetVfPointControl), 0u) << "no curve offsets written to a p-state card";
    EXPECT_EQ(sim.CallCount(QueryId::SetPstates20), 1u);
}

}  // namespace
