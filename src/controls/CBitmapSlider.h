#pragma once
#include "ui/CWndControl.h"

// A horizontal slider drawn from bitmaps (a channel and a thumb, each with an active variant).
// It posts kMsgSliderMoving to its dialog for every position change while the thumb is dragged,
// and kMsgSliderMoved when the mouse is released and after every key; setting the range or the
// position from code posts nothing. Input is honoured only while its own enabled flag is set.
class CBitmapSlider : public CWndControl {
public:
    CBitmapSlider(CDialog& dialog, int id, const Rect& rect);

    // A reversed range is taken the right way round; the position is clamped into it.
    void SetRange(int min, int max);
    int GetRangeMin() const { return State().slider.min; }
    int GetRangeMax() const { return State().slider.max; }
    void SetPos(int position);
    int GetPos() const { return State().slider.position; }
    void SetPageSize(int page);
    void SetMargin(int left, int top, int right, int bottom);
    // The control takes the normal channel bitmap's size (kept when the bitmap is missing).
    void SetBitmapChannel(int normal, int active);
    // Normal and active thumb; 0, 0 removes the thumb (the "locked" look).
    void SetBitmapThumb(int normal, int active, bool transparent);
    void RemoveThumb() { SetBitmapThumb(0, 0, false); }
    void Enable(bool enable);
    bool IsEnabled() const { return State().slider.enabled; }
    bool IsDragging() const { return State().slider.dragging; }

    bool OnMouse(const MouseEvent& event) override;
    bool OnKey(Key key) override;
    void OnSetFocus() override { Sync(); }
    void OnKillFocus() override { Sync(); }
    bool WantsAllKeys() const override { return true; }

private:
    void MoveThumbTo(int centreX);
    int gripOffset = 0;
    // The pixel the dragged thumb's centre was last put on.
    int dragCentre = 0;
};
