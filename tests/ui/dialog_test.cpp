#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "controls/CBkDialogST.h"
#include "controls/CButtonST.h"
#include "controls/CPrettifyEdit.h"
#include "support/HeadlessHostChecks.h"
#include "ui/HeadlessHost.h"

namespace {

constexpr int kCoreEdit = 1009;
constexpr int kApply = 1026;

// A main window with a child page holding an edit, shaped like the overclock page in the main window.
class MainDlg : public CDialog {
public:
    explicit MainDlg(UiHost& host) : CDialog(host, 102) {}
    void OnCommand(int id) override { commands.push_back(id); }
    void OnTimer(int timerId) override { ticks.push_back(timerId); }
    std::vector<int> commands;
    std::vector<int> ticks;
};

class PanelDlg : public CBkDialogST {
public:
    explicit PanelDlg(UiHost& host) : CBkDialogST(host, 103) {
        MutableWindow().childStyle = true;
        Add<CPrettifyEdit>(kCoreEdit, Rect{238, 13, 25, 14});
        Add<CButtonST>(kApply, Rect{210, 295, 64, 20});
    }
    void OnEditCommit(int id) override { commits.push_back({id, GetItemText(id)}); }
    void OnCommand(int id) override { commands.push_back(id); }
    std::vector<std::pair<int, std::string>> commits;
    std::vector<int> commands;
};

// Opens the main window modelessly and its page inside it.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(main.Create(), 0);
        main.ShowWindow(ShowCommand::Show);
        ASSERT_EQ(panel.Create(&main), 0);
        panel.ShowWindow(ShowCommand::Show);
    }
    HeadlessHost host;
    MainDlg main{host};
    PanelDlg panel{host};
};

TEST_F(PageTest, EnterInAnEditMovesTheFocusToThePageWhichCommitsTheValue) {
    ASSERT_TRUE(host.TypeText(panel, kCoreEdit, "55"));
    EXPECT_EQ(panel.FocusId(), kCoreEdit);
    EXPECT_TRUE(panel.commits.empty());

    EXPECT_TRUE(host.PressKey(panel, Key::Enter));
    EXPECT_EQ(panel.FocusId(), 0);
    EXPECT_EQ(panel.commits, (std::vector<std::pair<int, std::string>>{{kCoreEdit, "55"}}));
    EXPECT_TRUE(main.IsWindowCreated());
    EXPECT_TRUE(main.Window().visible);
}

TEST_F(PageTest, FocusLeavingTheEditAnyWayCommitsOnce) {
    host.TypeText(panel, kCoreEdit, "12");
    host.CommitEdit(panel, kCoreEdit);
    host.TypeText(panel, kCoreEdit, "13");
    host.SetFocus(main, 0);  // a click into another window
    EXPECT_EQ(panel.commits,
              (std::vector<std::pair<int, std::string>>{{kCoreEdit, "12"}, {kCoreEdit, "13"}}));
    EXPECT_EQ(panel.FocusId(), kFocusElsewhere);
}

TEST_F(PageTest, PageSwallowsEnterAndEscapeSoNothingCloses) {
    for (Key key : {Key::Enter, Key::Escape}) {
        EXPECT_TRUE(host.PressKey(panel, key));
        host.SetFocus(panel, kCoreEdit);
        EXPECT_TRUE(host.PressKey(panel, Key::Escape));
    }
    EXPECT_TRUE(panel.Window().visible);
    EXPECT_TRUE(main.Window().visible);
    EXPECT_FALSE(host.PressKey(panel, Key::Tab));  // left to the system
}

TEST_F(PageTest, ClicksReachOnlyShownEnabledControlsOfExistingWindows) {
    EXPECT_TRUE(host.Click(panel, kApply));
    panel.EnableItem(kApply, false);
    EXPECT_FALSE(host.Click(panel, kApply));
    panel.EnableItem(kApply, true);
    panel.ShowItem(kApply, false);
    EXPECT_FALSE(host.Click(panel, kApply));
    panel.ShowItem(kApply, true);
    EXPECT_FALSE(host.Click(panel, 4242));
    main.DestroyWindow();
    EXPECT_FALSE(host.Click(panel, kApply));
    EXPECT_EQ(panel.commands, (std::vector<int>{kApply}));
}

TEST_F(PageTest, DestroyingTheWindowDestroysItsPageAndDropsItsWork) {
    panel.SetTimer(1, 500);
    int ran = 0;
    panel.PostToUi([&] { ++ran; });
    main.DestroyWindow();
    EXPECT_FALSE(panel.IsWindowCreated());
    EXPECT_FALSE(host.IsTimerRunning(panel, 1));
    EXPECT_EQ(host.RunPosted(), 0);
    EXPECT_EQ(ran, 0);
}

TEST(DialogLifetime, PageCannotBeCreatedInAWindowThatDoesNotExist) {
    HeadlessHost host;
    MainDlg main(host);
    PanelDlg panel(host);
    EXPECT_EQ(panel.Create(&main), 1);
    EXPECT_FALSE(panel.IsWindowCreated());
}

TEST(DialogTimers, TimersFireOnlyWhileRunning) {
    HeadlessHost host;
    MainDlg main(host);
    ASSERT_EQ(main.Create(), 0);
    main.SetTimer(1, 500);
    main.SetTimer(3, 100);
    EXPECT_EQ(host.TimerInterval(main, 1), 500u);
    EXPECT_TRUE(host.FireTimer(main, 3));
    main.KillTimer(3);
    EXPECT_FALSE(host.FireTimer(main, 3));
    EXPECT_TRUE(host.FireTimer(main, 1));
    EXPECT_FALSE(host.FireTimer(main, 2));
    EXPECT_EQ(main.ticks, (std::vector<int>{3, 1}));
}

TEST(DialogPosting, WorkPostedByAWorkerThreadRunsOnTheUiThread) {
    HeadlessHost host;
    MainDlg main(host);
    ASSERT_EQ(main.Create(), 0);
    std::vector<std::thread::id> ranOn;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) main.PostToUi([&] { ranOn.push_back(std::this_thread::get_id()); });
    });
    worker.join();
    EXPECT_TRUE(ranOn.empty());
    EXPECT_EQ(host.PendingPosts(), 3u);
    EXPECT_EQ(host.RunPosted(), 3);
    EXPECT_EQ(ranOn, std::vector<std::thread::id>(3, std::this_thread::get_id()));
}

class AskDlg : public CBkDialogST {
public:
    AskDlg(UiHost& host, bool keepKeys) : CBkDialogST(host, 232) {
        SetKeepDialogKeys(keepKeys);
        AddControl(1132, ControlKind::Label, {130, 30, 320, 100});
    }
    void OnInitDialog() override { SetItemText(1132, "question"); }
};

TEST(DialogModal, ScriptsAnswerModalRunsInOrder) {
    HeadlessHost host;
    host.AnswerModal(7);
    host.AnswerModal([&](CDialog& dlg) { host.PressKey(dlg, Key::Escape); });
    host.AnswerModal([&](CDialog& dlg) { host.PressKey(dlg, Key::Enter); });

    AskDlg keeps(host, true);
    EXPECT_EQ(keeps.DoModal(), 7);
    EXPECT_EQ(keeps.DoModal(), kIdCancel);
    EXPECT_EQ(keeps.DoModal(), kIdOk);
    {
        CollectedScriptProblems reported;
        EXPECT_EQ(keeps.DoModal(), kIdCancel);  // unanswered
        ASSERT_EQ(reported.problems.size(), 1u);
        EXPECT_EQ(reported.problems[0],
                  "modal dialog 232 ran without a scripted answer and ended as Cancel; it showed \"question\"");
    }
    EXPECT_FALSE(keeps.IsWindowCreated());

    ASSERT_EQ(host.ModalRuns().size(), 4u);
    EXPECT_EQ(host.ModalRuns()[0].templateId, 232);
    EXPECT_EQ(host.ModalRuns()[0].Text(1132), "question");
    EXPECT_TRUE(host.ModalRuns()[2].answered);
    EXPECT_FALSE(host.ModalRuns()[3].answered);
}

TEST(DialogModal, AScriptedAnswerNoDialogUsedIsReported) {
    CollectedScriptProblems reported;
    {
        HeadlessHost host;
        host.AnswerModal(1);
        host.AnswerModal(2);
        AskDlg keeps(host, true);
        EXPECT_EQ(keeps.DoModal(), 1);
    }
    EXPECT_EQ(reported.problems, (std::vector<std::string>{
                                     "1 scripted modal answer(s) left unused: the dialog they were meant for never ran"}));
}

TEST(DialogModal, SkinnedDialogWithoutDialogKeysIsNotClosedByThem) {
    HeadlessHost host;
    bool stillOpen = false;
    host.AnswerModal([&](CDialog& dlg) {
        host.PressKey(dlg, Key::Enter);
        host.PressKey(dlg, Key::Escape);
        stillOpen = host.IsOpen(dlg);
        dlg.HandleCommand(1130);  // no handler: nothing happens
        host.Close(dlg);          // the system close ends it as Cancel
    });
    AskDlg swallows(host, false);
    EXPECT_EQ(swallows.DoModal(), kIdCancel);
    EXPECT_TRUE(stillOpen);
}

TEST(DialogModal, EndDialogOnAModelessWindowHidesIt) {
    HeadlessHost host;
    MainDlg side(host);
    ASSERT_EQ(side.Create(), 0);
    side.ShowWindow(ShowCommand::Show);
    side.HandleKey(0, Key::Escape);
    EXPECT_TRUE(side.IsWindowCreated());
    EXPECT_FALSE(side.Window().visible);
    EXPECT_EQ(side.Result(), kIdCancel);
}

}  // namespace
