#pragma once
#include <string>

#include "ui/CWndControl.h"

// A static text with its own colour, font and background. At first: the system's window-text
// colour, default GUI font and button-face background (unset optionals in the state).
class CLabel : public CWndControl {
public:
    CLabel(CDialog& dialog, int id, const Rect& rect);

    // Also repaints the dialog's area under the label.
    CLabel& SetText(std::string text);
    CLabel& SetTextColor(Color color);
    CLabel& SetBkColor(Color color);
    CLabel& SetTransparent(bool transparent);
    CLabel& SetFontName(std::string face);
    // Height in pixels, passed to the system as given.
    CLabel& SetFontSize(int height);
    CLabel& SetFontWeight(int weight);
    CLabel& SetFontBold(bool bold) { return SetFontWeight(bold ? 700 : 400); }
};
