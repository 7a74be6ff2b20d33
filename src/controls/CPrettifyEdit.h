#pragma once
#include <string>

#include "ui/CWndControl.h"

// An edit box with three looks: 0 black on white, 1 its text colour over a pattern bitmap, 2 its
// text colour over its background colour. Enter moves the focus to the dialog, so the dialog's
// focus-loss handling (OnEditCommit) takes the value.
class CPrettifyEdit : public CWndControl {
public:
    CPrettifyEdit(CDialog& dialog, int id, const Rect& rect);

    void SetLookMode(int mode);
    // Bitmap resource used as the pattern brush of look mode 1.
    void SetBackgroundBitmap(int resourceId);
    void SetFontSize(int pointTenths);
    void SetFontName(std::string face);
    void SetTextColor(Color color);
    void SetBkColor(Color color);
    void SetDigitsOnly(bool digitsOnly);

    bool OnKey(Key key) override;
};
