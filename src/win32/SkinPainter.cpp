#include "win32/SkinPainter.h"

#include <algorithm>

void TileBitmap(Canvas& canvas, int resourceId, Size bitmap, Size area) {
    if (bitmap.IsEmpty()) return;
    for (int y = 0; y < area.height; y += bitmap.height) {
        for (int x = 0; x < area.width; x += bitmap.width) canvas.DrawBitmap(resourceId, {x, y});
    }
}

Rect SliderThumbRect(const SliderState& slider, Size control) {
    if (!slider.HasThumb() || slider.thumbSize.IsEmpty()) return {};
    const int centre = slider.ThumbCentre(slider.position, control.width);
    const int inner = control.height - slider.marginTop - slider.marginBottom;
    return {centre - slider.thumbSize.width / 2, slider.marginTop + (inner - slider.thumbSize.height) / 2,
            slider.thumbSize.width, slider.thumbSize.height};
}

int SliderThumbBitmap(const SliderState& slider) {
    return slider.dragging && slider.activeThumbBitmap != 0 ? slider.activeThumbBitmap : slider.thumbBitmap;
}

void PaintSliderSkin(Canvas& canvas, const SliderState& slider, std::optional<Color> thumbKey) {
    const Size control = canvas.GetSize();
    if (slider.channelBitmap != 0) {
        const Size channel = canvas.BitmapSize(slider.channelBitmap);
        if (slider.activeChannelBitmap != 0 && slider.enabled) {
            const int split =
                std::clamp(slider.ThumbCentre(slider.position, control.width), 0, channel.width);
            if (split > 0)
                canvas.DrawBitmap(slider.activeChannelBitmap, {0, 0, split, channel.height}, {0, 0});
            if (split < channel.width) {
                canvas.DrawBitmap(slider.channelBitmap, {split, 0, channel.width - split, channel.height},
                                  {split, 0});
            }
        } else {
            canvas.DrawBitmap(slider.channelBitmap, {0, 0});
        }
    }
    const Rect thumb = SliderThumbRect(slider, control);
    if (thumb.width <= 0) return;
    canvas.DrawBitmap(SliderThumbBitmap(slider), {thumb.left, thumb.top},
                      slider.thumbTransparent ? thumbKey : std::nullopt);
}

const std::string& ButtonIconName(const ControlState& button) {
    if (!button.enabled && !button.iconDisabled.empty()) return button.iconDisabled;
    if (button.hover && !button.iconHover.empty()) return button.iconHover;
    return button.iconNormal;
}
