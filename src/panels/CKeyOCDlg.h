#pragma once
#include "controls/CBkDialogST.h"

// The one-key overclock switch behind the overclock page's Key button: shows the stored choice,
// lets the user flip it, and ends with OK (1) or Cancel (2). The caller reads `choice` after OK.
class CKeyOCDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 303;
    static constexpr int kBackgroundBitmap = 304;
    static constexpr int kSwitchButton = 1232;
    static constexpr int kOkButton = kIdOk;
    static constexpr int kCancelButton = kIdCancel;

    CKeyOCDlg(UiHost& host, int initialChoice);

    int initialChoice = 0;
    int choice = 0;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void ShowChoice();
};
