#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/CWndControl.h"

// Answers whether the system has a font face; the Win32 layer installs one. Without it no face
// counts as present.
using FontFaceProbe = std::function<bool(std::string_view face)>;
void SetFontFaceProbe(FontFaceProbe probe);

// A read-out dial: a stack of bitmap layers with two right-aligned numbers on top. The owner
// draws it on its timer; the control keeps the last frame only to paint it again. Each frame is
// composed off-screen over the dialog's background and copied in one piece, so the dial never
// flickers. When the numbers' face is missing on the system they are drawn as seven-segment digits.
class CMeter : public CWndControl {
public:
    static constexpr int kNumberBoxWidth = 45;
    static constexpr int kNumberBoxHeight = 25;
    static constexpr int kFontPointTenths = 160;

    CMeter(CDialog& dialog, int id, const Rect& rect);

    // A 16-point font of that face; redraws the control.
    void SetMeterFont(std::string face);
    const FontSpec& MeterFont() const { return font; }

    // Draws the layers in order at the control's top-left corner, leaving out transparentColour,
    // then "%d" of upper and lower right-aligned in their 45 × 25 boxes. Ends a refresh.
    void DrawMeterReading(const std::vector<int>& layers, int upper, int lower);
    // One more layer on the ones drawn since the last refresh ended, without numbers.
    void DrawMeterImage(int bitmap);
    // DrawMeterImage, then the numbers; ends the refresh.
    void DrawMeterReading(int bitmap, int upper, int lower);

    void OnPaint(Canvas& canvas) override;

    Color textColour = 0xFFFFFF;
    std::optional<Color> transparentColour;
    int upperX = 0;
    int upperY = 0;
    int lowerX = 0;
    int lowerY = 0;

private:
    struct Frame {
        std::vector<int> layers;
        int upper = 0;
        int lower = 0;
        bool numbers = false;
    };
    void DrawMeterReading(const std::vector<int>& layers, int upper, int lower, bool numbers);
    void Render(Canvas& canvas, const Frame& frame) const;
    void DrawNumber(Canvas& canvas, const Rect& box, int value) const;

    FontSpec font;
    bool segmentDigits = false;
    std::optional<Frame> lastFrame;
};
