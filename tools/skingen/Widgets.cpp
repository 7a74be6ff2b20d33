#include "Widgets.h"

#include <algorithm>

#include "Shapes.h"
#include "Style.h"

namespace skingen {

using namespace palette;

namespace {

void Title(Canvas& c, std::string_view title) {
    c.FillRect(12, 8, 3, 9, Solid(kAccent));
    c.FillRect(16, 8, 1, 9, Solid(kAccentDeep));
    Caption(c, 22, 9, title, kText, 1.0f, true);
}

}  // namespace

Canvas FlattenKeyed(const Canvas& image, const Canvas& backdrop) {
    Canvas out = backdrop;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            float a = image.Alpha(x, y);
            if (a <= 1.0f / 255.0f)
                out.Set(x, y, Rgb{}, 0.0f);
            else
                out.Set(x, y, Mix(backdrop.Color(x, y), image.Color(x, y), a), 1.0f);
        }
    }
    return out;
}

void CutShape(Canvas& c, const Sdf& shape, Box interior) {
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            // Pixels well inside cannot be near the edge; skipping them keeps the run fast.
            if (x >= interior.x0 && x < interior.x1 && y >= interior.y0 && y < interior.y1) continue;
            float d = shape(x + 0.5f, y + 0.5f);
            if (d > 0.0f) {
                c.Set(x, y, Rgb{}, 0.0f);
                continue;
            }
            float shade =
                std::clamp(1.0f - static_cast<float>(y) / static_cast<float>(c.Height()), 0.0f, 1.0f);
            Rgb light = Mix(Darken(kEdgeLight, 0.55f), kEdgeLight, shade);
            c.Blend(x, y, kEdgeDark, std::clamp(1.5f + d, 0.0f, 1.0f));
            c.Blend(x, y, light, 0.8f * std::clamp(std::min(2.5f + d, -0.5f - d), 0.0f, 1.0f));
        }
    }
}

Canvas ShapedWindow(int width, int height, std::string_view title) {
    float w = static_cast<float>(width), h = static_cast<float>(height);
    Canvas c(width, height, kBodyBottom, 1.0f);
    c.FillRect(0, 0, w, h, VerticalGradient(0, kBodyTop, h, kBodyBottom));
    c.FillRect(0, 0, w, h, RadialGradient(0, 0, w * 0.6f, kAccentDeep, kBodyTop), 0.10f);
    c.FillRect(0, 0, w, kTitleBarHeight, VerticalGradient(0, kTitleTop, kTitleBarHeight, kTitleBottom));
    c.FillRect(0, kTitleBarHeight, w, 1, Solid(kEdgeDark));
    c.FillRect(0, kTitleBarHeight + 1, w, 1, Solid(kEdgeLight), 0.25f);
    CutShape(c, ConvexPolygon(ChamferedRect(0, 0, w, h, 14, 6, 14, 6)), Box{18, 18, width - 18, height - 18});
    float accent = std::min(w * 0.35f, 160.0f);
    c.FillRect(15, 1, accent, 2, HorizontalGradient(15, kAccent, 15 + accent, kTitleTop));
    if (!title.empty()) Title(c, title);
    return c;
}

Canvas PanelBackground(int width, int height, std::string_view title) {
    Canvas c(width, height, kPanel, 1.0f);
    if (!title.empty()) {
        float w = static_cast<float>(width);
        c.FillRect(0, 0, w, 20, VerticalGradient(0, kTitleBottom, 20, kPanel));
        c.FillRect(0, 0, w, 1, Solid(kEdgeLight), 0.35f);
        c.FillRect(0, 20, w, 1, HorizontalGradient(0, kAccentDeep, w, kPanel), 0.9f);
        Caption(c, 12, 7, title, kText, 1.0f, true);
        c.FillRect(6, 7, 2, 7, Solid(kAccent));
    }
    return c;
}

void Well(Canvas& c, float x, float y, float w, float h, float radius) {
    Box box = BoxAround(x, y, w, h);
    c.Fill(RoundRect(x, y, w, h, radius), box, Solid(kWell));
    c.Fill(Outline(RoundRect(x, y, w, h, radius), 1.0f), box,
           VerticalGradient(y, kEdgeDark, y + h, kEdgeLight));
}

void Plate(Canvas& c, float x, float y, float w, float h, float radius) {
    Box box = BoxAround(x, y, w, h);
    c.Fill(RoundRect(x, y, w, h, radius), box,
           VerticalGradient(y, MakeRgb(33, 37, 44), y + h, MakeRgb(24, 27, 32)));
    c.Fill(Outline(RoundRect(x, y, w, h, radius), 1.0f), box,
           VerticalGradient(y, kEdgeLight, y + h, Darken(kEdgeLight, 0.6f)), 0.7f);
}

void Frame(Canvas& c, float x, float y, float w, float h, float radius) {
    Box box = BoxAround(x, y, w, h);
    c.Fill(Outline(RoundRect(x, y, w, h, radius), 1.0f), box, Solid(kEdgeDark));
    c.Fill(Outline(RoundRect(x + 1, y + 1, w - 2, h - 2, std::max(radius - 1, 0.0f)), 1.0f), box,
           Solid(kEdgeLight), 0.35f);
}

void SectionLabel(Canvas& c, float x, float y, std::string_view text) {
    c.FillRect(x, y, 2, 7, Solid(kAccent));
    Caption(c, x + 6, y, text, kTextDim, 1.0f, false);
}

void Caption(Canvas& c, float x, float y, std::string_view text, Rgb colour, float scale, bool bold) {
    TextStyle style{scale, bold, 1};
    DrawText(c, x, y + 1, text, style, Solid(kEdgeDark), 0.7f);
    DrawText(c, x, y, text, style, Solid(colour));
}

void Divider(Canvas& c, float x, float y, float w) {
    c.FillRect(x, y, w, 1, HorizontalGradient(x, kEdgeDark, x + w, kBodyBottom));
    c.FillRect(x, y + 1, w, 1, HorizontalGradient(x, kEdgeLight, x + w, kBodyBottom), 0.35f);
}

}  // namespace skingen
