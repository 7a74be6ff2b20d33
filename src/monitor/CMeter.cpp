#include "monitor/CMeter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "controls/CMemoryDC.h"
#include "ui/CDialog.h"

namespace {

FontFaceProbe& Probe() {
    static FontFaceProbe probe;
    return probe;
}

// Seven-segment digits sized so that four of them fit a number box.
constexpr int kDigitWidth = 9;
constexpr int kDigitAdvance = 11;
constexpr int kBar = 2;
constexpr int kLimb = 6;
constexpr int kDigitHeight = 3 * kBar + 2 * kLimb;
constexpr int kDigitTop = (CMeter::kNumberBoxHeight - kDigitHeight) / 2;

// Segments a-g as bits 0-6.
constexpr std::array<uint8_t, 10> kDigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                    0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr uint8_t kMinusSegments = 0x40;

// Segment a-g of a digit whose top-left corner is at (x, y).
Rect SegmentRect(int segment, int x, int y) {
    const int inner = kDigitWidth - 2 * kBar;
    const int right = x + kDigitWidth - kBar;
    const int lowerLimb = y + 2 * kBar + kLimb;
    switch (segment) {
        case 0:
            return {x + kBar, y, inner, kBar};
        case 1:
            return {right, y + kBar, kBar, kLimb};
        case 2:
            return {right, lowerLimb, kBar, kLimb};
        case 3:
            return {x + kBar, y + 2 * kBar + 2 * kLimb, inner, kBar};
        case 4:
            return {x, lowerLimb, kBar, kLimb};
        case 5:
            return {x, y + kBar, kBar, kLimb};
        default:
            return {x + kBar, y + kBar + kLimb, inner, kBar};
    }
}

uint8_t SegmentsOf(char c) {
    if (c >= '0' && c <= '9') return kDigitSegments[c - '0'];
    return c == '-' ? kMinusSegments : 0;
}

}  // namespace

void SetFontFaceProbe(FontFaceProbe probe) {
    Probe() = std::move(probe);
}

CMeter::CMeter(CDialog& dialog, int id, const Rect& rect)
    : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {
    // The dial never paints a background of its own: the dialog's shows through until it draws.
    MutableState().transparentBackground = true;
}

void CMeter::SetMeterFont(std::string face) {
    const FontFaceProbe& probe = Probe();
    segmentDigits = !probe || !probe(face);
    font = FontSpec{std::move(face), 0, kFontPointTenths, 0};
    MutableState().font = font;
    Sync();
    Invalidate();
}

void CMeter::DrawMeterReading(const std::vector<int>& layers, int upper, int lower) {
    DrawMeterReading(layers, upper, lower, true);
}

void CMeter::DrawMeterImage(int bitmap) {
    // Images drawn one after another stack; the first after a finished refresh starts anew.
    std::vector<int> layers;
    if (lastFrame && !lastFrame->numbers) layers = lastFrame->layers;
    layers.push_back(bitmap);
    DrawMeterReading(layers, 0, 0, false);
}

void CMeter::DrawMeterReading(int bitmap, int upper, int lower) {
    DrawMeterImage(bitmap);
    DrawMeterReading(lastFrame->layers, upper, lower, true);
}

void CMeter::DrawMeterReading(const std::vector<int>& layers, int upper, int lower, bool numbers) {
    // A reading that shows exactly what the dial already shows is not composed again: the screen
    // keeps it, and a repaint draws it from the last frame.
    if (numbers && lastFrame && lastFrame->numbers && lastFrame->layers == layers && lastFrame->upper == upper &&
        lastFrame->lower == lower)
        return;
    lastFrame = Frame{layers, upper, lower, numbers};
    if (std::unique_ptr<Canvas> canvas = Dialog().BeginDraw(Id())) Render(*canvas, *lastFrame);
}

void CMeter::OnPaint(Canvas& canvas) {
    if (lastFrame) Render(canvas, *lastFrame);
}

void CMeter::Render(Canvas& canvas, const Frame& frame) const {
    CMemoryDC memory(canvas);
    // Transparent pixels of the layers show the dialog's picture, as they would on screen: the one
    // the host keeps, else the background bitmap (which then stays loaded while the dial draws).
    const DialogState& window = Dialog().Window();
    const Rect& rect = State().rect;
    if (std::unique_ptr<Canvas> picture = Dialog().Picture()) {
        memory.DrawCanvas(*picture, rect, Point{});
    } else if (window.backgroundBitmap != 0) {
        memory.DrawBitmap(window.backgroundBitmap, Rect{rect.left, rect.top, rect.width, rect.height},
                          Point{}, std::nullopt);
    }
    for (int layer : frame.layers) memory.DrawBitmap(layer, Point{}, transparentColour);
    if (!frame.numbers) return;
    DrawNumber(memory, Rect{upperX, upperY, kNumberBoxWidth, kNumberBoxHeight}, frame.upper);
    DrawNumber(memory, Rect{lowerX, lowerY, kNumberBoxWidth, kNumberBoxHeight}, frame.lower);
}

void CMeter::DrawNumber(Canvas& canvas, const Rect& box, int value) const {
    const std::string text = std::to_string(value);
    if (!segmentDigits) {
        canvas.DrawString(box, text, font, textColour, kTextRight | kTextSingleLine);
        return;
    }
    // Right-aligned from the box's right edge; whatever reaches past its left edge is cut there.
    int x = box.Right() - kDigitWidth;
    for (auto it = text.rbegin(); it != text.rend(); ++it, x -= kDigitAdvance) {
        if (x + kDigitWidth <= box.left) break;
        const uint8_t segments = SegmentsOf(*it);
        for (int segment = 0; segment < 7; ++segment) {
            if (!(segments & (1u << segment))) continue;
            Rect bar = SegmentRect(segment, x, box.top + kDigitTop);
            const int left = std::max(bar.left, box.left);
            if (left >= bar.Right()) continue;
            bar.width = bar.Right() - left;
            bar.left = left;
            const std::array<Point, 4> corners = {Point{bar.left, bar.top}, Point{bar.Right(), bar.top},
                                                  Point{bar.Right(), bar.Bottom()},
                                                  Point{bar.left, bar.Bottom()}};
            canvas.FillPolygon(corners, textColour);
        }
    }
}
