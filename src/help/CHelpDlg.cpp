#include "help/CHelpDlg.h"

#include <utility>

#include "controls/CButtonST.h"
#include "controls/CLabel.h"
#include "help/CHyperLink.h"

namespace {

constexpr const char* kHintsC[] = {
    "---------------------------",
    "How to Use Coralvane:",
    "---------------------------",
    "1, How to overclock?",
    "    First, increase the power.If the effect is not good,then you can change the ",
    "    Core Offset,Memory Offset and Base Volt Offset.After that the effect is still",
    "    not good,increase the power again,then you can also change the Offset of all.",
    "2, How to control the fan speed?",
    "    Fan speed have Auto and Manual two working modes.There is two button at the",
    "    right Side of the FanSpeed slider.Auto mode,the fan speed will change ",
    "    automatically according to the VBIOS setting which is the default working Mode.",
    "    Manual mode,the fan speed can be changed by user when you drag the FanSpeed ",
    "    slider to the speedyou want and then click the 'Apply' button to make it take",
    "    effect.",
    "3, How to make your change take effect?",
    "    If you want your setting take effect ,please click the 'Apply' button.",
    "4, More info: ",
    "    The Quick Boot,Advance,Gamer,Setting,BIOS,Info,Help button will afford more",
    "    infomation and functions with Coralvane updating.",
    "",
};

constexpr const char* kHintsOther[] = {
    "---------------------------",
    "How to Use Coralvane:",
    "---------------------------",
    "1. How extract more performance",
    "    Add increments of 10 to the GPU clock and apply. Test for stability. If okay,",
    "    repeat.Add increments of 2 or 3 to GPU Max Volt and apply. Test for stability.",
    "    With more voltage now applied, try increasing the GPU clock some more.",
    "    Test for stability. If okay, repeat.Add increments of 20 or 40 to the Memory",
    "    Clock. Test for stability. If okay, repeat.",
    "2. How to add a manual fan profile or fan curve",
    "    Click on the ADVANCED button in the FAN section. A new window should now appear.",
    "    There are a total of 10 steps that can be configured. The Y axis is the fan ",
    "    speed percentage and the X axis is the temperature. Click on the chart to ",
    "    adjust the white line graph to custom your preferred fan settings and click ",
    "    Apply.",
    "3. How to apply the changes",
    "    Ensure to click on Apply in the corresponding window to apply any changes made.",
    "",
    "",
};

template <size_t N>
std::string Lines(const char* const (&lines)[N]) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace

CHelpDlg::CHelpDlg(UiHost& host, ShellOpener* shellOpener, std::string site, bool lineC)
    : CBkDialogST(host, kTemplateId), SidePanel(kSideHelp), shell(shellOpener), makerSite(std::move(site)),
      productLineC(lineC) {}

std::string CHelpDlg::HelpText(bool lineC) {
    return lineC ? Lines(kHintsC) : Lines(kHintsOther);
}

void CHelpDlg::OnInitDialog() {
    CBkDialogST::OnInitDialog();
    SetTitle("Help");
    SetWindowSize(kWidth, kHeight);
    ApplyStoredTranslucency();
    SetBitmap(kBackgroundBitmap);
    ShapeFromBitmap(kBackgroundBitmap);
    SetEasyMove(true);

    Add<CButtonST>(kCloseButton, Rect{614, 2, 16, 14}).SetIcons("Close.ico", "CloseH.ico");
    CLabel& text = Add<CLabel>(kTextLabel, Rect{25, 60, 600, 350});
    text.SetFontName("DINPro").SetFontSize(-13).SetTextColor(kTextColour).SetTransparent(true);
    text.SetText(HelpText(productLineC));
    Add<CHyperLink>(kLink, Rect{25, 415, 200, 20}, shell).SetLinkTarget(makerSite);
}

void CHelpDlg::OnCommand(int id) {
    if (id == kCloseButton) CloseFromButton();
}
