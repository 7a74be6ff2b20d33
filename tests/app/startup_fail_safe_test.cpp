#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Profiles.h"
#include "app/StartupFailSafe.h"
#include "gpu/NvQueryIds.h"
#include "main_window_fixture.h"
#include "panels/CAdvanceDlg.h"
#include "sim/SimTuning.h"

namespace {

// The program's own main window started on a card whose configuration asks for a start-up
// overclock: "Start_OC" holds 50 MHz core and 200 MHz memory.
class StartupFailSafeTest : public MainWindowTest {
protected:
    void TearDown() override {
        program.reset();
        MainWindowTest::TearDown();
    }

    void Configure(std::initializer_list<std::pair<const char*, int>> settings, uint16_t device = 0x1B80) {
        deviceId = device;
        WriteConfig(settings, device);
        ProfileRecord start = ProfileRecord::WithAllKeys(kStartOcSection);
        start.SetValue("CoreOffset", 50);
        start.SetValue("MemOffset", 200);
        start.SetValue("Power", 105);
        start.SetValue("TempTarget", 83);
        ASSERT_EQ(Config().WriteRecordPlain(start), 0);
    }

    ConfigFile Config() { return ConfigFile(folder, ConfigFileNameForDevice(deviceId)); }

    CCoralvaneDlg& StartProgram(const CommandLine& command = {}) {
        CoralvaneServices services = Services();
        services.shiftHeld = [this] { return shiftHeld; };
        program = std::make_unique<CCoralvaneDlg>(services);
        program->SetStartupCommand(command);
        EXPECT_EQ(program->Create(), 0);
        return *program;
    }

    // The record as the file holds it: 1 set, 0 cleared, 99 never written.
    int Record() {
        SettingValue value{std::string(kFailSafeSection), std::string(kFailSafeKey), {}, 0};
        EXPECT_EQ(Config().ReadValue(value), 0);
        return value.value;
    }

    size_t OverclockWrites() {
        return sim.Calls(QueryId::SetVfPointControl).size() + sim.Calls(QueryId::SetPstates20).size();
    }
    SimTuning& Tuning() { return sim.Model().gpus.at(0).state.Get<SimTuning>(); }

    uint16_t deviceId = 0x1B80;
    bool shiftHeld = false;
    std::unique_ptr<CCoralvaneDlg> program;
};

TEST_F(StartupFailSafeTest, RecordIsSetBeforeTheOverclockAndClearedAfterAMinuteOfRunning) {
    Configure({{"AutoOverClock", 1}});
    bool recordBeforeWrite = false;
    sim.SetJournalSink([&](const SimJournalEntry& entry) {
        if (entry.queryId == QueryId::SetVfPointControl && !recordBeforeWrite)
            recordBeforeWrite = Record() == 1;
    });
    clock.now = 1000;
    CCoralvaneDlg& main = StartProgram();
    sim.SetJournalSink(nullptr);
    EXPECT_TRUE(recordBeforeWrite) << "the record must be on disk before the card is touched";
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 100000);
    EXPECT_EQ(main.StartupOverclockDecision(), StartupOverclock::Apply);
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(host.TimerInterval(main, CCoralvaneDlg::kTimerFailSafe), kFailSafeClearMs);

    // A timer that comes early by the clock waits for the rest.
    clock.now += kFailSafeClearMs - 1;
    ASSERT_TRUE(host.FireTimer(main, CCoralvaneDlg::kTimerFailSafe));
    EXPECT_EQ(Record(), 1);
    EXPECT_EQ(host.TimerInterval(main, CCoralvaneDlg::kTimerFailSafe), 1u);
    clock.now += 1;
    ASSERT_TRUE(host.FireTimer(main, CCoralvaneDlg::kTimerFailSafe));
    EXPECT_EQ(Record(), 0);
    EXPECT_FALSE(host.IsTimerRunning(main, CCoralvaneDlg::kTimerFailSafe));

    // The next start finds no record and overclocks again.
    program.reset();
    sim.Model() = DefaultScenario();
    StartProgram();
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 100000);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(StartupFailSafeTest, ACleanEndBeforeTheMinuteClearsTheRecord) {
    Configure({{"AutoOverClock", 1}});
    CCoralvaneDlg& main = StartProgram();
    EXPECT_EQ(Record(), 1);
    main.DestroyWindow();
    EXPECT_EQ(Record(), 0) << "a program closed by the user did not die";

    // So the next start overclocks again, without a message.
    program.reset();
    sim.Model() = DefaultScenario();
    StartProgram();
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 100000);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(StartupFailSafeTest, LeftoverRecordOrShiftSkipsTheStartupOverclockAndSaysSoOnce) {
    struct Case {
        const char* name;
        bool leftover;
        bool shift;
        const char* text;
        int recordAfter;
    };
    const Case cases[] = {
        {"record left by a start that died", true, false, kFailSafeLeftoverText.data(), 0},
        {"Shift held", false, true, kFailSafeShiftText.data(), 99},
        {"both: the record's reason is given", true, true, kFailSafeLeftoverText.data(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure({{"AutoOverClock", 1}});
        if (c.leftover) {
            ASSERT_EQ(WriteFailSafeRecord(folder, ConfigFileNameForDevice(0x1B80), true), 0);
        }
        sim.Model() = DefaultScenario();
        sim.ClearJournal();
        const size_t shown = MessageTexts().size();
        shiftHeld = c.shift;
        host.AnswerModal(kIdCancel);  // Close on the message
        CCoralvaneDlg& main = StartProgram();
        EXPECT_EQ(OverclockWrites(), 0u) << "no overclock write reached the driver";
        EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);
        const std::vector<std::string> texts = MessageTexts();
        ASSERT_EQ(texts.size(), shown + 1);
        EXPECT_EQ(texts.back(), c.text);
        EXPECT_EQ(Record(), c.recordAfter);
        EXPECT_FALSE(host.IsTimerRunning(main, CCoralvaneDlg::kTimerFailSafe));
        program.reset();
        shiftHeld = false;
    }
}

TEST_F(StartupFailSafeTest, OneKeyOverclockAtStartIsCoveredToo) {
    UseCards({{0x1B82, "GeForce GTX 1070 Ti"}});
    Configure({{"KeyOC", 1}}, 0x1B82);
    ASSERT_EQ(WriteFailSafeRecord(folder, ConfigFileNameForDevice(0x1B82), true), 0);
    host.AnswerModal(kIdCancel);
    StartProgram();
    ASSERT_NE(program->OverclockPage(), nullptr);
    EXPECT_EQ(program->OverclockPage()->keyOcActive, 0);
    EXPECT_EQ(OverclockWrites(), 0u);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{std::string(kFailSafeLeftoverText)}));

    program.reset();
    sim.ClearJournal();
    StartProgram();
    EXPECT_EQ(program->OverclockPage()->keyOcActive, 1);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 182000);
    EXPECT_EQ(Record(), 1);
}

TEST_F(StartupFailSafeTest, NoStartupOverclockLeavesTheFileAloneAndAProfileOnTheCommandLineTakesItsPlace) {
    Configure({});
    const std::string before = ReadAllBytes(dir / ConfigFileNameForDevice(0x1B80));
    StartProgram();
    EXPECT_EQ(program->StartupOverclockDecision(), StartupOverclock::None);
    EXPECT_EQ(ReadAllBytes(dir / ConfigFileNameForDevice(0x1B80)), before);

    // With a profile named, "Start_OC" is not applied first, and no record is left by a quick exit.
    program.reset();
    Configure({{"AutoOverClock", 1}});
    ProfileRecord profile = ProfileRecord::WithAllKeys("Profile2");
    profile.SetValue("CoreOffset", 30);
    profile.SetValue("Power", 100);
    profile.SetValue("TempTarget", 83);
    ASSERT_EQ(Config().WriteRecordPlain(profile), 0);
    CommandLine command;
    command.profileIndex = 1;
    sim.ClearJournal();
    StartProgram(command);
    EXPECT_EQ(OverclockWrites(), 0u) << "nothing before the command runs";
    host.RunPosted();
    EXPECT_EQ(program->StartupOverclockDecision(), StartupOverclock::SkipCommand);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 60000);
    EXPECT_EQ(Record(), 99);
    EXPECT_TRUE(MessageTexts().empty());
}

}  // namespace
