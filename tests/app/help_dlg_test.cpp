#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "help/CHelpDlg.h"
#include "help/CHyperLink.h"
#include "ui/HeadlessHost.h"

namespace {

class RecordingShell : public ShellOpener {
public:
    int OpenUrl(std::string_view url) override {
        opened.emplace_back(url);
        return 0;
    }
    std::vector<std::string> opened;
};

constexpr Point kOnLink{25 + 10, 415 + 10};

class HelpDlgTest : public ::testing::Test {
protected:
    void Open(bool productLineC, std::string site = "https://coralvane.example/") {
        dlg = std::make_unique<CHelpDlg>(host, &shell, std::move(site), productLineC);
        ASSERT_EQ(dlg->Create(), 0);
        dlg->ShowWindow(ShowCommand::Show);
    }
    CHyperLink& Link() { return *dlg->ControlAs<CHyperLink>(CHelpDlg::kLink); }
    Color LinkColour() {
        for (const DrawCall& call : host.Paint(*dlg, CHelpDlg::kLink)) {
            if (call.op == DrawOp::String) return call.color;
        }
        return 0;
    }

    HeadlessHost host{CORALVANE_SKIN_DIR};
    RecordingShell shell;
    std::unique_ptr<CHelpDlg> dlg;
};

TEST_F(HelpDlgTest, ShowsTheHintsOfItsProductLine) {
    Open(true);
    EXPECT_EQ(dlg->Window().rect.GetSize(), (Size{650, 445}));
    EXPECT_EQ(dlg->Window().backgroundBitmap, 281);
    const std::string text = dlg->GetItemText(CHelpDlg::kTextLabel);
    EXPECT_EQ(text.rfind("---------------------------\r\nHow to Use Coralvane:\r\n", 0), 0u);
    EXPECT_NE(text.find("2, How to control the fan speed?\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n") << "ends with an empty line";
    EXPECT_EQ(dlg->Control(CHelpDlg::kTextLabel).rect, (Rect{25, 60, 600, 350}));
    EXPECT_EQ(dlg->Control(CHelpDlg::kTextLabel).textColor, Rgb(255, 255, 1));
    EXPECT_EQ(dlg->Control(CHelpDlg::kLink).rect, (Rect{25, 415, 200, 20}));
    EXPECT_TRUE(dlg->Control(CHelpDlg::kLink).font.underline);

    const std::string other = CHelpDlg::HelpText(false);
    EXPECT_NE(other.find("2. How to add a manual fan profile or fan curve\r\n"), std::string::npos);
    EXPECT_EQ(other.substr(other.size() - 7), ".\r\n\r\n\r\n") << "two empty lines at the end";
}

TEST_F(HelpDlgTest, LinkTurnsOrangeUnderThePointerAndOpensOnceOnRelease) {
    Open(true);
    EXPECT_EQ(Link().ShownText(), "https://coralvane.example/");
    EXPECT_EQ(LinkColour(), CHyperLink::kNormalColour);
    host.MouseMove(*dlg, kOnLink);
    EXPECT_TRUE(Link().IsHovering());
    EXPECT_EQ(LinkColour(), CHyperLink::kHoverColour);
    EXPECT_EQ(host.Cursor(*dlg), CursorShape::Hand);

    host.MouseDown(*dlg, kOnLink);
    EXPECT_TRUE(shell.opened.empty()) << "not on the press";
    host.MouseUp(*dlg, kOnLink);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://coralvane.example/"}));

    host.MouseMove(*dlg, {300, 200});
    EXPECT_FALSE(Link().IsHovering());
    EXPECT_EQ(LinkColour(), CHyperLink::kNormalColour);
    host.MouseUp(*dlg, {300, 200});
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(HelpDlgTest, AnAddressTooLongForTheLabelIsRefused) {
    Open(false, "https://coralvane.example/a/long/way");
    EXPECT_EQ(Link().SetLinkTarget(std::string(32, 'x')), 0);
    EXPECT_EQ(Link().SetLinkTarget(std::string(31, 'x')), 1);
    EXPECT_EQ(Link().ShownText(), std::string(31, 'x'));
}

TEST_F(HelpDlgTest, WithoutATargetTheStaticsOwnTextIsShownAndOpened) {
    Open(true, std::string(40, 'y'));
    dlg->SetItemText(CHelpDlg::kLink, "https://own.example/");
    EXPECT_EQ(Link().ShownText(), "https://own.example/");
    host.MouseMove(*dlg, kOnLink);
    host.MouseUp(*dlg, kOnLink);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://own.example/"}));
}

}  // namespace
