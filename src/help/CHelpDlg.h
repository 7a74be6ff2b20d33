#pragma once
#include <string>
#include <string_view>

#include "app/SidePanel.h"
#include "controls/CBkDialogST.h"
#include "platform/ShellOpen.h"

// The help side window: usage hints for the product line and a link to the maker's web site.
class CHelpDlg : public CBkDialogST, public SidePanel {
public:
    static constexpr int kTemplateId = 280;
    static constexpr int kBackgroundBitmap = 281;
    static constexpr int kWidth = 650;
    static constexpr int kHeight = 445;
    static constexpr int kCloseButton = 1145;
    static constexpr int kTextLabel = 1146;
    static constexpr int kLink = 1147;
    static constexpr Color kTextColour = Rgb(255, 255, 1);

    CHelpDlg(UiHost& host, ShellOpener* shell, std::string makerSite, bool productLineC);

    CDialog& Dialog() override { return *this; }

    // The hints shown for a product line.
    static std::string HelpText(bool productLineC);

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    ShellOpener* shell;
    std::string makerSite;
    bool productLineC;
};
