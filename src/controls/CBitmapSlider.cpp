#include "controls/CBitmapSlider.h"

#include <algorithm>
#include <cstdlib>

#include "ui/CDialog.h"

CBitmapSlider::CBitmapSlider(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::Slider, rect) {}

void CBitmapSlider::SetRange(int min, int max) {
    SliderState& s = MutableState().slider;
    s.min = std::min(min, max);
    s.max = std::max(min, max);
    s.position = std::clamp(s.position, s.min, s.max);
    Sync();
}

void CBitmapSlider::SetPos(int position) {
    SliderState& s = MutableState().slider;
    s.position = std::clamp(position, s.min, s.max);
    Sync();
}

void CBitmapSlider::SetPageSize(int page) {
    MutableState().slider.page = page;
    Sync();
}

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom) {
    SliderState& s = MutableState().slider;
    s.marginLeft = std::max(0, left);
    s.marginTop = std::max(0, top);
    s.marginRight = std::max(0, right);
    s.marginBottom = std::max(0, bottom);
    Sync();
}

void CBitmapSlider::SetBitmapChannel(int normal, int active) {
    SliderState& s = MutableState().slider;
    s.channelBitmap = normal;
    s.activeChannelBitmap = active;
    const Size size = normal != 0 ? Dialog().Host().BitmapSize(normal) : Size{};
    if (!size.IsEmpty()) {
        MutableState().rect.width = size.width;
        MutableState().rect.height = size.height;
    }
    Sync();
}

void CBitmapSlider::SetBitmapThumb(int normal, int active, bool transparent) {
    SliderState& s = MutableState().slider;
    s.thumbBitmap = normal;
    s.activeThumbBitmap = active;
    s.thumbTransparent = transparent;
    s.thumbSize = normal != 0 ? Dialog().Host().BitmapSize(normal) : Size{};
    Sync();
}

void CBitmapSlider::Enable(bool enable) {
    SliderState& s = MutableState().slider;
    s.enabled = enable;
    if (!enable && s.dragging) {
        // A drag cut short by disabling must not leave the mouse captured.
        s.dragging = false;
        Dialog().ReleaseMouse();
    }
    Sync();
}

void CBitmapSlider::MoveThumbTo(int centreX) {
    SliderState& s = MutableState().slider;
    const int width = State().rect.width;
    const int lowest = s.marginLeft + s.thumbSize.width / 2;
    const int highest = lowest + s.UsableLength(width);
    centreX = std::clamp(centreX, lowest, highest);
    // Only a thumb that lands on another pixel changes the value (the pixel a position is drawn on
    // may stand for the position before it). At either end of the track the end value is always
    // reachable, even when more positions than pixels share the end pixel.
    const bool atEnd = centreX == lowest || centreX == highest;
    if (centreX == dragCentre && !atEnd) return;
    dragCentre = centreX;
    const int position = s.PositionAt(centreX, width);
    if (position == s.position) return;
    s.position = position;
    Sync();
    PostToParent(kMsgSliderMoving, Id(), position);
}

bool CBitmapSlider::OnMouse(const MouseEvent& event) {
    SliderState& s = MutableState().slider;
    switch (event.action) {
        case MouseAction::Down:
        case MouseAction::DoubleClick: {
            if (event.button != MouseButton::Left || !s.enabled) return true;
            Dialog().CaptureMouse(Id());
            Dialog().SetFocus(Id());
            s.dragging = true;
            const int centre = s.ThumbCentre(s.position, State().rect.width);
            const bool onThumb = s.HasThumb() && std::abs(event.pt.x - centre) <= s.thumbSize.width / 2;
            dragCentre = centre;
            Sync();
            // A press on the thumb keeps the grip and changes nothing; elsewhere the thumb jumps there.
            if (onThumb) {
                gripOffset = event.pt.x - centre;
                return true;
            }
            gripOffset = 0;
            MoveThumbTo(event.pt.x);
            return true;
        }
        case MouseAction::Move:
            if (s.dragging && s.enabled) MoveThumbTo(event.pt.x - gripOffset);
            return true;
        case MouseAction::Up:
            if (event.button != MouseButton::Left || !s.dragging) return true;
            Dialog().ReleaseMouse();
            s.dragging = false;
            Sync();
            if (s.enabled) PostToParent(kMsgSliderMoved, Id(), s.position);
            return true;
        case MouseAction::Leave:
            return false;
    }
    return false;
}

bool CBitmapSlider::OnKey(Key key) {
    SliderState& s = MutableState().slider;
    long long target = s.position;
    switch (key) {
        case Key::PageUp:
            target = (long long)s.position - s.page;
            break;
        case Key::PageDown:
            target = (long long)s.position + s.page;
            break;
        case Key::End:
            target = s.max;
            break;
        case Key::Home:
            target = s.min;
            break;
        case Key::Right:
        case Key::Down:
            target = (long long)s.position + 1;
            break;
        case Key::Left:
        case Key::Up:
            target = (long long)s.position - 1;
            break;
        default:
            return false;
    }
    if (!s.enabled) return true;
    s.position = int(std::clamp<long long>(target, s.min, s.max));
    Sync();
    PostToParent(kMsgSliderMoved, Id(), s.position);
    return true;
}
