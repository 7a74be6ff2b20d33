#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Profiles.h"
#include "gpu/NvQueryIds.h"
#include "main_window_fixture.h"
#include "monitor/CMonitorDlg.h"
#include "panels/CAdvanceDlg.h"
#include "platform/Utf8Path.h"
#include "sim/SimPolicies.h"
#include "sim/SimTuning.h"

namespace {

// The program's own main window taking commands from a copy started later.
class MainWindowCommandTest : public MainWindowTest {
protected:
    void TearDown() override {
        program.reset();
        MainWindowTest::TearDown();
    }

    CCoralvaneDlg& StartProgram() {
        program = std::make_unique<CCoralvaneDlg>(Services());
        EXPECT_EQ(program->Create(), 0);
        program->ShowWindow(ShowCommand::Show);
        return *program;
    }

    void SaveProfile(std::string_view section, int coreMhz, int memMhz, int power, uint16_t device = 0x1B80) {
        ProfileRecord record = ProfileRecord::WithAllKeys(section);
        record.SetValue("CoreOffset", coreMhz);
        record.SetValue("MemOffset", memMhz);
        record.SetValue("Power", power);
        record.SetValue("TempTarget", 80);
        ASSERT_EQ(ConfigFile(folder, ConfigFileNameForDevice(device)).WriteRecordPlain(record), 0);
    }

    intptr_t Send(std::string_view bytes, uint32_t tag = kCommandTag) {
        return program->TakeCommand(tag, bytes);
    }
    static intptr_t Answer(CommandStatus status) {
        return kCommandAnswerBase + static_cast<intptr_t>(status);
    }

    size_t OverclockWrites() {
        return sim.Calls(QueryId::SetVfPointControl).size() + sim.Calls(QueryId::SetPstates20).size() +
               sim.Calls(QueryId::SetPowerPolicyStatus).size();
    }
    SimTuning& Tuning() { return sim.Model().gpus.at(0).state.Get<SimTuning>(); }

    std::unique_ptr<CCoralvaneDlg> program;
};

TEST_F(MainWindowCommandTest, HandedOverProfileIsAppliedAsLoadWouldWithoutQuestions) {
    UseCards({{0x1B00, "TITAN X"}});
    WriteConfig({}, 0x1B00);
    SaveProfile("Profile3", 45, 300, 112, 0x1B00);
    CCoralvaneDlg& main = StartProgram();
    sim.ClearJournal();

    EXPECT_EQ(Send(std::string("-Profile3\0", 10)), Answer(CommandStatus::Done));
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 45000);  // a p-state card takes the offset as it is
    EXPECT_EQ(Tuning().memoryOffsetKhz, 300000);
    EXPECT_EQ(sim.Model().gpus.at(0).state.Get<SimPolicies>().power[0].target, 112000);
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_EQ(main.OverclockPage()->Control(CAdvanceDlg::kCoreEdit).text, "45");
    EXPECT_EQ(main.ProfileIndex(), 2);
    EXPECT_EQ(main.Control(CCoralvaneDlg::kProfileButton0 + 2).iconNormal, "Profile2_H.ICO");
}

TEST_F(MainWindowCommandTest, CurveCardTakesTheProfileAsTheLoadButtonDoes) {
    WriteConfig({});
    SaveProfile("Profile1", 65, 350, 110);
    CCoralvaneDlg& main = StartProgram();
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kProfileButton0));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(main, CCoralvaneDlg::kLoadButton));
    const int32_t byLoad = Tuning().graphicsOffsetKhz;
    EXPECT_EQ(byLoad, 130000) << "every curve point carries twice the offset the page shows";

    sim.Model() = DefaultScenario();
    EXPECT_EQ(Send(std::string("-Profile1\0", 10)), Answer(CommandStatus::Done));
    EXPECT_EQ(Tuning().graphicsOffsetKhz, byLoad);
    EXPECT_EQ(main.OverclockPage()->Control(CAdvanceDlg::kCoreEdit).text, "65");
}

TEST_F(MainWindowCommandTest, RefusedCommandsChangeNothingAndTheMessageFollowsTheAnswer) {
    WriteConfig({});
    SaveProfile("Profile1", 65, 0, 110);
    CCoralvaneDlg& main = StartProgram();
    sim.ClearJournal();
    host.autoPump = false;

    EXPECT_EQ(Send(std::string("-Profile1\0", 10), 0x1234), 0) << "another program's message";
    EXPECT_EQ(Send("-Profile9"), Answer(CommandStatus::BadCommandLine));
    EXPECT_EQ(Send(std::string("\xff\0-Quit\0", 8)), Answer(CommandStatus::BadCommandLine));
    EXPECT_EQ(Send(""), Answer(CommandStatus::BadCommandLine));
    EXPECT_EQ(Send(std::string("-Profile2\0", 10)), Answer(CommandStatus::ProfileEmpty));
    EXPECT_TRUE(host.ModalRuns().empty()) << "the sender is not kept waiting behind a dialog";
    host.AnswerModal(kIdCancel);  // Close on the message posted for later
    host.RunPosted();
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"目标功耗不能为0！"}));

    main.OverclockPage()->ApplyKeyOc();
    sim.ClearJournal();
    EXPECT_EQ(Send(std::string("-Profile1\0", 10)), Answer(CommandStatus::OneKeyActive));
    EXPECT_EQ(OverclockWrites(), 0u);
    EXPECT_EQ(main.OverclockPage()->coreMhz, CAdvanceDlg::kKeyOcCoreMhz);
    host.AnswerModal(kIdCancel);
    host.RunPosted();
    EXPECT_EQ(MessageTexts().back(), CommandStatusText(CommandStatus::OneKeyActive));
}

TEST_F(MainWindowCommandTest, DriverThatRefusesTheWritesIsAFailure) {
    WriteConfig({});
    SaveProfile("Profile1", 20, 0, 110);
    StartProgram();
    // The power policy write fails from now on.
    sim.Model().gpus.at(0).state.Get<SimPolicies>().powerValid = false;
    EXPECT_EQ(Send(std::string("-Profile1\0", 10)), Answer(CommandStatus::WriteFailed));
}

TEST_F(MainWindowCommandTest, CommandArrivingWhileTheWindowStartsIsAskedForAgain) {
    WriteConfig({{"AutoOverClock", 1}});
    ASSERT_EQ(WriteFailSafeRecord(folder, ConfigFileNameForDevice(0x1B80), true), 0);
    intptr_t duringStart = 0;
    // The fail-safe's message runs a message loop of its own in the middle of the start-up.
    host.AnswerModal(
        [&](CDialog&) { duringStart = program->TakeCommand(kCommandTag, std::string("-Profile1\0", 10)); });
    StartProgram();
    EXPECT_EQ(duringStart, kCommandAnswerBusy);
}

TEST_F(MainWindowCommandTest, LogCommandRecordsTheSensorsThroughTheHiddenMonitorWindow) {
    WriteConfig({});
    CCoralvaneDlg& main = StartProgram();
    const std::filesystem::path path = dir / "sensor log 100% 日志.csv";
    const std::string name = Utf8FromPath(path);
    EXPECT_EQ(Send("-Log" + std::string(1, '\0') + name + std::string(1, '\0')), Answer(CommandStatus::Done));

    auto* monitor = dynamic_cast<CMonitorDlg*>(main.FindSidePanel(kSideMonitor));
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->IsWindowCreated()) << "its timer takes the samples";
    EXPECT_FALSE(monitor->Window().visible) << "the window stays out of sight";
    EXPECT_EQ(main.OpenSidePanelId(), kSideNone);
    EXPECT_TRUE(monitor->Logging());
    ASSERT_TRUE(host.FireTimer(*monitor, CMonitorDlg::kSampleTimer));
    ASSERT_TRUE(host.FireTimer(*monitor, CMonitorDlg::kSampleTimer));
    const std::string written = ReadAllBytes(path);
    EXPECT_EQ(written.rfind(std::string(kSensorLogHeader) + "\r\n", 0), 0u) << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3) << written;

    // A folder is no log file: the sender learns it, the running copy says it.
    CommandLine folderLog;
    folderLog.logPath = Utf8FromPath(dir.Path());
    EXPECT_EQ(main.RunCommand(folderLog), CommandStatus::LogFailed);
    host.autoPump = false;
    EXPECT_EQ(Send("-Log" + std::string(1, '\0') + folderLog.logPath + std::string(1, '\0')),
              Answer(CommandStatus::LogFailed));
    host.AnswerModal(kIdCancel);
    host.RunPosted();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"无法写入日志文件！"});
}

}  // namespace
