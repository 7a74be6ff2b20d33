#pragma once
#include <string>
#include <string_view>

#include "platform/ShellOpen.h"
#include "ui/CWndControl.h"

// An underlined link on a static: white, orange while the pointer is over it, a hand cursor, and the
// shell opens its address when the left button is released over it.
class CHyperLink : public CWndControl {
public:
    static constexpr size_t kLabelRoom = 32;
    static constexpr size_t kTargetRoom = 1024;
    static constexpr Color kNormalColour = Rgb(255, 255, 255);
    static constexpr Color kHoverColour = Rgb(246, 171, 0);

    CHyperLink(CDialog& dialog, int id, const Rect& rect, ShellOpener* shell);

    // The address becomes label and target when it fits both (shorter than 32 characters); 1 when
    // accepted, 0 otherwise (the link then shows and opens the static's own text).
    int SetLinkTarget(std::string_view address);
    bool IsHovering() const { return hover; }
    // What the link shows, and what a click opens.
    std::string ShownText() const;
    std::string Address() const;

    bool OnMouse(const MouseEvent& event) override;
    void OnPaint(Canvas& canvas) override;

private:
    void SetHover(bool on);

    ShellOpener* shell;
    std::string label;
    std::string target;
    bool hover = false;
};
