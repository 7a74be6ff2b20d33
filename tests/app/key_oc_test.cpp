#include <gtest/gtest.h>

#include "panels/CKeyOCDlg.h"
#include "ui/HeadlessHost.h"

namespace {

TEST(KeyOcDlgTest, OpensWithTheStoredChoiceAtItsPlaces) {
    HeadlessHost host(CORALVANE_SKIN_DIR);
    for (int initial : {0, 1}) {
        CKeyOCDlg dlg(host, initial);
        host.AnswerModal(2);
        dlg.DoModal();
        const ModalRecord& shown = host.ModalRuns().back();
        EXPECT_EQ(shown.templateId, 303);
        const char* icon = initial ? "KeyOC_H.ico" : "KeyOC.ico";
        const ControlState* oc = shown.Find(1232);
        ASSERT_NE(oc, nullptr);
        EXPECT_EQ(oc->rect, (Rect{135, 95, 16, 16}));
        EXPECT_EQ(oc->iconNormal, icon);
        EXPECT_EQ(oc->iconHover, icon);
        EXPECT_EQ(shown.Find(1)->rect, (Rect{130, 140, 100, 32}));
        EXPECT_EQ(shown.Find(1)->iconHover, "Msg_Yes_H.ico");
        EXPECT_EQ(shown.Find(2)->rect, (Rect{270, 140, 100, 32}));
        EXPECT_EQ(shown.Find(2)->iconNormal, "Msg_No.ico");
    }
    CKeyOCDlg dlg(host, 0);
    host.AnswerModal(2);
    dlg.DoModal();
    EXPECT_EQ(dlg.Window().backgroundBitmap, 304);
    EXPECT_EQ(dlg.Window().shapeBitmap, 304);
    EXPECT_TRUE(dlg.Window().easyMove);
    EXPECT_EQ(dlg.Window().rect.width, 500);
    EXPECT_EQ(dlg.Window().rect.height, 222);
}

TEST(KeyOcDlgTest, SwitchFlipsTheChoiceAndTheButtonsEndTheDialog) {
    struct Case {
        int initial;
        int switchClicks;
        int endId;
        int result;
        int choice;
    };
    const Case cases[] = {
        {1, 2, 1, 1, 1},
        {0, 1, 1, 1, 1},
        {1, 1, 1, 1, 0},
        {0, 1, 2, 2, 1},  // the caller ignores the choice after Cancel
    };
    for (const Case& c : cases) {
        HeadlessHost host;
        CKeyOCDlg dlg(host, c.initial);
        host.AnswerModal([&](CDialog& d) {
            for (int i = 0; i < c.switchClicks; ++i) host.Click(d, 1232);
            EXPECT_EQ(d.Control(1232).iconNormal, c.choice ? "KeyOC_H.ico" : "KeyOC.ico");
            host.Click(d, c.endId);
        });
        EXPECT_EQ(dlg.DoModal(), c.result) << c.initial << " " << c.switchClicks;
        EXPECT_EQ(dlg.choice, c.choice);
        EXPECT_EQ(dlg.initialChoice, c.initial);
    }
}

TEST(KeyOcDlgTest, EnterAndEscapeActAsOkAndCancel) {
    HeadlessHost host;
    for (auto [key, result] : {std::pair{Key::Enter, 1}, std::pair{Key::Escape, 2}}) {
        CKeyOCDlg dlg(host, 0);
        host.AnswerModal([&](CDialog& d) {
            host.Click(d, 1232);
            host.PressKey(d, key);
        });
        EXPECT_EQ(dlg.DoModal(), result);
        EXPECT_TRUE(host.ModalRuns().back().answered);
    }
}

}  // namespace
