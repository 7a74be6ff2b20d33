#include <gtest/gtest.h>

#include "app/CMsgDlg.h"
#include "ui/HeadlessHost.h"

namespace {

class MsgDlgTest : public ::testing::Test {
protected:
    // Runs a message dialog whose modal run is answered by `drive`; returns its result.
    int Run(CMsgDlg& dlg, std::function<void(CDialog&)> drive) {
        host.AnswerModal([&, drive](CDialog& shown) {
            alphaShown = host.Alpha(shown);
            drive(shown);
        });
        return dlg.DoModal();
    }
    HeadlessHost host;
    int alphaShown = -1;
};

TEST_F(MsgDlgTest, QuestionLayoutShowsOkAndNoAtTheirPlaces) {
    CMsgDlg dlg(host);
    dlg.SetText("调整GPU设置可能会导致系统不稳定，继续？");
    host.AnswerModal(2);
    dlg.DoModal();

    const ModalRecord& shown = host.ModalRuns().back();
    EXPECT_EQ(shown.templateId, 232);
    EXPECT_EQ(shown.Text(1132), "调整GPU设置可能会导致系统不稳定，继续？");
    EXPECT_TRUE(shown.Visible(1130));
    EXPECT_TRUE(shown.Visible(1133));
    EXPECT_FALSE(shown.Visible(1131));

    const ControlState* text = shown.Find(1132);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->rect, (Rect{130, 30, 320, 100}));
    EXPECT_EQ(text->textColor, Rgb(255, 255, 255));
    EXPECT_TRUE(text->transparentBackground);

    struct Button {
        int id;
        Rect rect;
        const char* normal;
        const char* hover;
    };
    const Button buttons[] = {
        {1130, {130, 150, 100, 32}, "Msg_Yes.ico", "Msg_Yes_H.ico"},
        {1131, {200, 150, 100, 32}, "Msg_Close.ico", "Msg_Close_H.ico"},
        {1133, {270, 150, 100, 32}, "Msg_No.ico", "Msg_No_H.ico"},
    };
    for (const Button& b : buttons) {
        const ControlState* s = shown.Find(b.id);
        ASSERT_NE(s, nullptr) << b.id;
        EXPECT_EQ(s->kind, ControlKind::Button);
        EXPECT_EQ(s->rect, b.rect) << b.id;
        EXPECT_EQ(s->iconNormal, b.normal);
        EXPECT_EQ(s->iconHover, b.hover);
    }
}

TEST_F(MsgDlgTest, WindowIsSkinnedMovableAndAlways85PercentOpaque) {
    CMsgDlg dlg(host, CMsgDlg::kNotice);
    Rect rect;
    int alpha = -1;
    host.AnswerModal([&](CDialog& shown) {
        rect = shown.Window().rect;
        alpha = host.Alpha(shown);
        host.MouseDown(shown, {20, 20});
        EXPECT_EQ(host.WindowMoveStarts(shown), 1);
        EXPECT_EQ(shown.Window().backgroundBitmap, 233);
        EXPECT_EQ(shown.Window().shapeBitmap, 233);
    });
    dlg.DoModal();
    EXPECT_EQ(rect.GetSize(), (Size{500, 222}));
    EXPECT_EQ(alpha, 216);
}

TEST_F(MsgDlgTest, NoticeLayoutShowsOnlyClose) {
    CMsgDlg dlg(host);
    dlg.mode = CMsgDlg::kNotice;  // as callers do for the second product line
    host.AnswerModal(2);
    dlg.DoModal();
    const ModalRecord& shown = host.ModalRuns().back();
    EXPECT_FALSE(shown.Visible(1130));
    EXPECT_FALSE(shown.Visible(1133));
    EXPECT_TRUE(shown.Visible(1131));
}

TEST_F(MsgDlgTest, AnyOtherModeShowsAllThreeButtons) {
    CMsgDlg dlg(host, 5);
    host.AnswerModal(2);
    dlg.DoModal();
    const ModalRecord& shown = host.ModalRuns().back();
    EXPECT_TRUE(shown.Visible(1130) && shown.Visible(1131) && shown.Visible(1133));
}

TEST_F(MsgDlgTest, ResultsOfButtonsAndKeysInEitherLayout) {
    struct Case {
        int mode;
        std::function<void(HeadlessHost&, CDialog&)> act;
        int expected;
        const char* what;
    };
    const auto click = [](int id) {
        return [id](HeadlessHost& h, CDialog& d) { EXPECT_TRUE(h.Click(d, id)); };
    };
    const auto press = [](Key key) { return [key](HeadlessHost& h, CDialog& d) { h.PressKey(d, key); }; };
    const Case cases[] = {
        {1, click(1130), 1, "OK"},
        {1, click(1133), 2, "No"},
        {2, click(1131), 2, "Close"},
        {1, press(Key::Enter), 1, "Enter in a question"},
        {2, press(Key::Enter), 1, "Enter in a notice, without a visible OK"},
        {1, press(Key::Escape), 2, "Escape in a question"},
        {2, press(Key::Escape), 2, "Escape in a notice"},
        {1, [](HeadlessHost& h, CDialog& d) { h.Close(d); }, 2, "system close"},
    };
    for (const Case& c : cases) {
        CMsgDlg dlg(host, c.mode);
        dlg.SetText("初始化失败！");
        EXPECT_EQ(Run(dlg, [&](CDialog& shown) { c.act(host, shown); }), c.expected) << c.what;
        EXPECT_EQ(alphaShown, 216) << c.what;
        EXPECT_TRUE(host.ModalRuns().back().answered);
    }
}

TEST_F(MsgDlgTest, HiddenButtonsCannotBeClicked) {
    CMsgDlg dlg(host, CMsgDlg::kNotice);
    EXPECT_EQ(Run(dlg,
                  [&](CDialog& shown) {
                      EXPECT_FALSE(host.Click(shown, 1130));
                      EXPECT_FALSE(host.Click(shown, 1133));
                      EXPECT_TRUE(host.IsOpen(shown));
                      host.Click(shown, 1131);
                  }),
              2);
}

TEST_F(MsgDlgTest, ShowingAgainRebuildsTheDialogWithTheNewText) {
    CMsgDlg dlg(host, CMsgDlg::kNotice);
    dlg.SetText("Nvapi无法初始化！");
    host.AnswerModal(2);
    dlg.DoModal();
    dlg.SetText("程序运行不正常！");
    host.AnswerModal(2);
    dlg.DoModal();
    ASSERT_EQ(host.ModalRuns().size(), 2u);
    EXPECT_EQ(host.ModalRuns()[0].Text(1132), "Nvapi无法初始化！");
    EXPECT_EQ(host.ModalRuns()[1].Text(1132), "程序运行不正常！");
}

}  // namespace
