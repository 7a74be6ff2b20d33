#pragma once
#include <cstdint>

#include "controls/CBkDialogST.h"

class ZoneCommandSender;

// The fan/voltage panel below the zone lighting page: one working switch whose state lives in the
// zone controller, and a row of inert controls.
class CFanVoltDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 300;
    static constexpr int kBackgroundBitmap = 301;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 327;
    static constexpr int kSwitch = 1228;
    static constexpr int kSlider1 = 1229;
    static constexpr int kEdit1 = 1230;
    static constexpr int kDefault1 = 1231;
    static constexpr int kApply1 = 1232;
    static constexpr int kSlider2 = 1233;
    static constexpr int kEdit2 = 1234;
    static constexpr int kDefault2 = 1235;
    static constexpr int kApply2 = 1236;

    CFanVoltDlg(UiHost& host, ZoneCommandSender& sender);

    // The switch state from the controller's status (its fan/voltage byte).
    void SetSwitchState(uint8_t state);
    bool SwitchOn() const { return switchOn; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void ShowSwitch();

    ZoneCommandSender& sender;
    bool switchOn = false;
};
