#include "help/CHyperLink.h"

#include "ui/CDialog.h"

CHyperLink::CHyperLink(CDialog& dialog, int id, const Rect& rect, ShellOpener* shellOpener)
    : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect), shell(shellOpener) {
    MutableState().transparentBackground = true;
    // The dialog's own font, underlined.
    MutableState().font.underline = true;
}

int CHyperLink::SetLinkTarget(std::string_view address) {
    if (address.size() >= kLabelRoom || address.size() >= kTargetRoom) return 0;
    label = std::string(address);
    target = label;
    Invalidate();
    return 1;
}

std::string CHyperLink::ShownText() const {
    return label.empty() ? State().text.substr(0, kLabelRoom) : label;
}

std::string CHyperLink::Address() const {
    return target.empty() ? State().text.substr(0, kLabelRoom) : target;
}

void CHyperLink::SetHover(bool on) {
    if (hover == on) return;
    hover = on;
    if (Dialog().IsWindowCreated()) Dialog().SetCursor(on ? CursorShape::Hand : CursorShape::Arrow);
    Invalidate();
}

bool CHyperLink::OnMouse(const MouseEvent& event) {
    const Size size = State().rect.GetSize();
    const bool inside = Rect{0, 0, size.width, size.height}.Contains(event.pt);
    switch (event.action) {
        case MouseAction::Move:
            // The capture tells us when the pointer leaves, also for a fast move off the link.
            if (!hover && inside) {
                Dialog().CaptureMouse(Id());
                SetHover(true);
            } else if (hover && !inside) {
                SetHover(false);
                Dialog().ReleaseMouse();
            }
            break;
        case MouseAction::Up:
            if (event.button == MouseButton::Left && inside && shell) shell->OpenUrl(Address());
            break;
        case MouseAction::Leave:
            SetHover(false);
            break;
        default:
            break;
    }
    return true;
}

void CHyperLink::OnPaint(Canvas& canvas) {
    const Size size = State().rect.GetSize();
    canvas.DrawString({0, 0, size.width, size.height}, ShownText(), State().font,
                      hover ? kHoverColour : kNormalColour, kTextLeft | kTextVCenter | kTextSingleLine);
}
