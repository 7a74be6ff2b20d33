#pragma once
#include <string>

#include "controls/CBkDialogST.h"

// The program's only message box: one text and either OK + No (question) or Close (notice).
// Result 1 for OK or Enter, 2 for Close, No or Escape; callers take 1 as yes and anything else as no.
class CMsgDlg : public CBkDialogST {
public:
    static constexpr int kTemplateId = 232;
    static constexpr int kBackgroundBitmap = 233;
    static constexpr int kTextId = 1132;
    static constexpr int kOkId = 1130;
    static constexpr int kCloseId = 1131;
    static constexpr int kNoId = 1133;
    static constexpr int kQuestion = 1;
    static constexpr int kNotice = 2;

    explicit CMsgDlg(UiHost& host, int mode = kQuestion);

    void SetText(std::string message) { text = std::move(message); }
    const std::string& Text() const { return text; }

    // 1 question layout, 2 notice layout, any other value shows all three buttons. May be changed
    // until the dialog is shown.
    int mode = kQuestion;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    std::string text;
};
