#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CCoralvaneApp.h"
#include "main_window_fixture.h"

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

using AppStartTest = MainWindowTest;

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
