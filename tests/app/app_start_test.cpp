#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/CCoralvaneApp.h"
#include "app/Profiles.h"
#include "gpu/NvQueryIds.h"
#include "main_window_fixture.h"
#include "platform/Utf8Path.h"
#include "sim/SimPolicies.h"
#include "sim/SimTuning.h"

namespace {

class FakeInstanceGuard : public InstanceGuard {
public:
    explicit FakeInstanceGuard(InstanceStatus answer) : status(answer) {}
    InstanceStatus CreateInstanceMutex(std::string_view name) override {
        names.emplace_back(name);
        return status;
    }
    InstanceStatus status;
    std::vector<std::string> names;
};

// A running copy as the new one sees it: each attempt gets the next answer (the last repeats).
class FakeHandOver : public CommandHandOver {
public:
    intptr_t SendToRunningCopy(uint32_t tag, std::string_view bytes) override {
        sent.emplace_back(tag, std::string(bytes));
        const size_t i = std::min(sent.size(), answers.size()) - 1;
        return answers.empty() ? 0 : answers[i];
    }
    std::vector<intptr_t> answers;
    std::vector<std::pair<uint32_t, std::string>> sent;
};

using AppStartTest = MainWindowTest;

// The application object with a command line, its console output recorded.
class AppCommandTest : public MainWindowTest {
protected:
    int Run(const std::vector<std::string>& args, InstanceStatus instance) {
        FakeInstanceGuard guard(instance);
        CCoralvaneApp app(Services(), guard);
        app.SetCommandLine(ParseCommandLine(args), &handOver);
        app.writeOutput = [this](std::string_view text) { output += text; };
        app.writeError = [this](std::string_view text) { error += text; };
        EXPECT_FALSE(app.InitInstance());
        mutexCreated = !guard.names.empty();
        return app.ExitCode();
    }

    void SaveProfile(std::string_view section, int coreMhz, int memMhz, int power) {
        ProfileRecord record = ProfileRecord::WithAllKeys(section);
        record.SetValue("CoreOffset", coreMhz);
        record.SetValue("MemOffset", memMhz);
        record.SetValue("Power", power);
        record.SetValue("TempTarget", 83);
        ASSERT_EQ(ConfigFile(folder, ConfigFileNameForDevice(0x1B80)).WriteRecordPlain(record), 0);
    }

    SimTuning& Tuning() { return sim.Model().gpus.at(0).state.Get<SimTuning>(); }

    FakeHandOver handOver;
    std::string output;
    std::string error;
    bool mutexCreated = false;
};

TEST_F(AppCommandTest, HelpAndBadSwitchesAnswerBeforeAnythingStarts) {
    host.AnswerModal(kIdCancel);  // Close
    EXPECT_EQ(Run({"-Help"}, InstanceStatus::First), 0);
    EXPECT_EQ(output, std::string(CommandLineHelp()) + "\r\n");
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{std::string(CommandLineHelp())}));
    EXPECT_TRUE(host.ModalRuns().back().Visible(CMsgDlg::kCloseId)) << "a notice, not a question";

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"-Profile4"}, {"-Profile"}, {"-Profile1", "-Turbo"}, {"-Quit"}}) {
        SCOPED_TRACE(testing::PrintToString(bad));
        error.clear();
        const std::string expected = ParseCommandLine(bad).error;
        host.AnswerModal(kIdCancel);
        EXPECT_EQ(Run(bad, InstanceStatus::First), 2);
        EXPECT_EQ(error, expected + "\r\n");
        EXPECT_EQ(MessageTexts().back(), expected);
    }
    EXPECT_FALSE(mutexCreated);
    EXPECT_EQ(CountFiles(dir.Path()), 0) << "nothing was started, nothing written";
    EXPECT_TRUE(handOver.sent.empty());
}

TEST_F(AppCommandTest, CommandGoesToTheRunningCopyInsteadOfTheQuestion) {
    handOver.answers = {kCommandAnswerBase + int(CommandStatus::Done)};
    EXPECT_EQ(Run({"-Profile2", "-Quit"}, InstanceStatus::AlreadyRunning), 0);
    ASSERT_EQ(handOver.sent.size(), 1u);
    EXPECT_EQ(handOver.sent[0].first, kCommandTag);
    EXPECT_EQ(handOver.sent[0].second, std::string("-Profile2\0", 10));
    EXPECT_TRUE(host.ModalRuns().empty()) << "no question, no main window";
    EXPECT_EQ(CountFiles(dir.Path()), 0);
    EXPECT_TRUE(error.empty());

    // A log named relative to this copy's folder travels as a full name: the other copy has its own.
    handOver.sent.clear();
    EXPECT_EQ(Run({"-Log", "sensors 100%.csv"}, InstanceStatus::AlreadyRunning), 0);
    ASSERT_EQ(handOver.sent.size(), 1u);
    const std::vector<std::string> sentArgs = DecodeCommandArgs(handOver.sent[0].second);
    ASSERT_EQ(sentArgs.size(), 2u);
    EXPECT_EQ(sentArgs[0], "-Log");
    EXPECT_EQ(PathFromUtf8(sentArgs[1]), std::filesystem::current_path() / "sensors 100%.csv");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "sensors 100%.csv"))
        << "the copy handing over opens no file";

    // Without a command the question stays.
    handOver.sent.clear();
    host.AnswerModal(2);
    EXPECT_EQ(Run({}, InstanceStatus::AlreadyRunning), 0);
    EXPECT_TRUE(handOver.sent.empty());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{std::string(CCoralvaneApp::kAlreadyRunningText)}));
}

TEST_F(AppCommandTest, RunningCopyStillStartingIsAskedAgainAndSilenceEndsInAMessage) {
    const intptr_t busy = kCommandAnswerBusy;
    handOver.answers = {0, busy, busy, kCommandAnswerBase + int(CommandStatus::ProfileEmpty)};
    EXPECT_EQ(Run({"-Profile1"}, InstanceStatus::AlreadyRunning), 1);
    EXPECT_EQ(handOver.sent.size(), 4u);
    EXPECT_EQ(clock.SleptMs(), 3 * CCoralvaneApp::kHandOverRetryMs);
    EXPECT_EQ(error, "目标功耗不能为0！\r\n");
    EXPECT_TRUE(host.ModalRuns().empty()) << "the running copy shows its own message";

    // A window that never takes the command (an answer of another program counts as none).
    handOver = FakeHandOver();
    handOver.answers = {0x1234};
    error.clear();
    clock.sleeps.clear();
    host.AnswerModal(kIdCancel);
    EXPECT_EQ(Run({"-Profile1"}, InstanceStatus::AlreadyRunning), 1);
    EXPECT_GE(clock.SleptMs(), CCoralvaneApp::kHandOverWaitMs);
    EXPECT_LE(clock.SleptMs(), CCoralvaneApp::kHandOverWaitMs + CCoralvaneApp::kHandOverRetryMs);
    EXPECT_EQ(error, std::string(CommandStatusText(CommandStatus::NotHandedOver)) + "\r\n");
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{std::string(CommandStatusText(CommandStatus::NotHandedOver))}));
    EXPECT_EQ(CountFiles(dir.Path()), 0);
}

TEST_F(AppCommandTest, ProfileAndQuitAppliesWithoutQuestionsAndEnds) {
    WriteConfig({});
    SaveProfile("Profile1", 40, 250, 110);
    host.AnswerModal([&](CDialog&) { host.RunPosted(); });
    EXPECT_EQ(Run({"-Profile1", "-Quit"}, InstanceStatus::First), 0);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 80000);  // 40 MHz as a curve offset, as Load gives it
    EXPECT_EQ(Tuning().memoryOffsetKhz, 250000);
    EXPECT_EQ(sim.Model().gpus.at(0).state.Get<SimPolicies>().power[0].target, 110000);
    ASSERT_EQ(host.ModalRuns().size(), 1u) << "no question on the way";
    EXPECT_EQ(host.ModalRuns()[0].result, kIdOk) << "the window ended itself";
    EXPECT_TRUE(error.empty());

    // A profile never saved: refused in the message dialog and on standard error, nothing written.
    host.AnswerModal([&](CDialog&) { host.RunPosted(); });
    host.AnswerModal(kIdCancel);  // the refusal, shown while the window runs
    sim.ClearJournal();
    EXPECT_EQ(Run({"-Profile3", "-Quit"}, InstanceStatus::First), 1);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"目标功耗不能为0！"}));
    EXPECT_EQ(error, "目标功耗不能为0！\r\n");
    EXPECT_EQ(sim.Calls(QueryId::SetVfPointControl).size(), 0u);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 80000);
}

TEST_F(AppStartTest, SingleInstanceQuestionDecidesWhetherTheMainWindowRuns) {
    struct Case {
        const char* name;
        InstanceStatus guard;
        int answer;  // 0: no question expected
        const char* question;
        bool mainRuns;
    };
    const Case cases[] = {
        {"first copy", InstanceStatus::First, 0, nullptr, true},
        {"second copy, No", InstanceStatus::AlreadyRunning, 2,
         "已经有一个Coralvane运行中，需要再打开多一个Coralvane？", false},
        {"second copy, OK", InstanceStatus::AlreadyRunning, 1,
         "已经有一个Coralvane运行中，需要再打开多一个Coralvane？", true},
        {"no mutex", InstanceStatus::Failed, 1, "初始化失败！", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessHost localHost;
        TempFolder localDir;
        FixedProgramFolder localFolder(localDir.Path());
        FakeInstanceGuard guard(c.guard);
        CoralvaneServices services(localHost, localFolder);
        int driverLoads = 0;
        services.loadDriver = [&] {
            ++driverLoads;
            return sim.QueryInterface();
        };
        CCoralvaneApp app(services, guard);
        if (c.answer != 0) localHost.AnswerModal(c.answer);
        bool sawMainWindow = false;
        if (c.mainRuns) {
            localHost.AnswerModal([&](CDialog& window) {
                sawMainWindow =
                    app.MainWindow() == &window && window.Window().templateId == CCoralvaneDlg::kTemplateId;
            });
        }

        EXPECT_FALSE(app.InitInstance()) << "the process always ends after the main window";
        EXPECT_EQ(guard.names, (std::vector<std::string>{"Coralvane MainFrame mutex"}));
        EXPECT_EQ(app.MainWindow(), nullptr);
        EXPECT_EQ(sawMainWindow, c.mainRuns);
        EXPECT_EQ(driverLoads, c.mainRuns ? 1 : 0) << "the driver is loaded only for a main window that runs";
        EXPECT_EQ(CountFiles(localDir.Path()), c.mainRuns ? 1 : 0) << "a declined copy touches no file";

        const auto& runs = localHost.ModalRuns();
        ASSERT_FALSE(runs.empty());
        if (c.question) {
            EXPECT_EQ(runs.front().Text(CMsgDlg::kTextId), c.question);
            EXPECT_TRUE(runs.front().Visible(CMsgDlg::kOkId)) << "question layout";
            EXPECT_TRUE(runs.front().Visible(CMsgDlg::kNoId));
        } else {
            EXPECT_EQ(runs.front().templateId, CCoralvaneDlg::kTemplateId);
        }
    }
}

}  // namespace
