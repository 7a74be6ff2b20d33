#include "Glyphs.h"

#include <cmath>
#include <numbers>

#include "Font.h"
#include "Shapes.h"

namespace skingen {

namespace {

Box Around(float cx, float cy, float r) {
    return BoxAround(cx - r, cy - r, 2 * r, 2 * r);
}

}  // namespace

void DrawGear(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity) {
    float inner = radius * 0.72f;
    Sdf gear = Ring(cx, cy, radius * 0.34f, inner);
    for (int i = 0; i < 8; ++i) {
        float a = i * std::numbers::pi_v<float> / 4;
        float ca = std::cos(a), sa = std::sin(a);
        gear = Unite(gear,
                     Intersect(Capsule({cx + ca * inner * 0.8f, cy + sa * inner * 0.8f},
                                       {cx + ca * radius * 0.86f, cy + sa * radius * 0.86f}, radius * 0.15f),
                               Circle(cx, cy, radius)));
    }
    c.Fill(gear, Around(cx, cy, radius + 1), paint, opacity);
}

void DrawChartGlyph(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity) {
    float h = size / 2;
    Box box = Around(cx, cy, h + 2);
    c.Fill(Outline(RoundRect(cx - h, cy - h * 0.8f, size, size * 0.8f, 2), 1.4f), box, paint, opacity);
    Point pts[] = {{cx - h * 0.7f, cy + h * 0.35f},
                   {cx - h * 0.3f, cy - h * 0.1f},
                   {cx, cy + h * 0.15f},
                   {cx + h * 0.35f, cy - h * 0.45f},
                   {cx + h * 0.7f, cy - h * 0.2f}};
    for (int i = 0; i + 1 < 5; ++i) c.Fill(Capsule(pts[i], pts[i + 1], 0.9f), box, paint, opacity);
}

void DrawChip(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity) {
    float h = size / 2, body = size * 0.62f;
    Box box = Around(cx, cy, h + 2);
    c.Fill(Outline(RoundRect(cx - body / 2, cy - body / 2, body, body, 2), 1.4f), box, paint, opacity);
    c.Fill(RoundRect(cx - body / 5, cy - body / 5, body * 0.4f, body * 0.4f, 1), box, paint, opacity);
    for (int i = 0; i < 3; ++i) {
        float o = (i - 1) * body * 0.3f;
        c.Fill(Capsule({cx + o, cy - h}, {cx + o, cy - body / 2}, 0.8f), box, paint, opacity);
        c.Fill(Capsule({cx + o, cy + body / 2}, {cx + o, cy + h}, 0.8f), box, paint, opacity);
        c.Fill(Capsule({cx - h, cy + o}, {cx - body / 2, cy + o}, 0.8f), box, paint, opacity);
        c.Fill(Capsule({cx + body / 2, cy + o}, {cx + h, cy + o}, 0.8f), box, paint, opacity);
    }
}

void DrawHelpGlyph(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity) {
    c.Fill(Ring(cx, cy, radius - 1.5f, radius), Around(cx, cy, radius + 1), paint, opacity);
    float scale = radius >= 9 ? 2.0f : 1.0f;
    DrawTextCentered(c, cx + 0.5f, cy, "?", TextStyle{scale, radius >= 9, 1}, paint, opacity);
}

void DrawPadlock(Canvas& c, float cx, float cy, bool closed, const Paint& paint) {
    Box box = Around(cx, cy, 9);
    c.Fill(RoundRect(cx - 5, cy - 1, 10, 8, 1.5f), box, paint);
    c.Fill(Circle(cx, cy + 2.5f, 1.2f), box, Solid(Rgb{0.05f, 0.06f, 0.07f}));
    // The shackle: closed it enters the body on both sides; open it is lifted and swung to the right.
    float lift = closed ? 0.0f : 2.0f, shift = closed ? 0.0f : 3.0f;
    Sdf shackle = Intersect(Ring(cx + shift, cy - 2 - lift, 2.2f, 3.6f),
                            RoundRect(cx - 8 + shift, cy - 10 - lift, 16, 8, 0));
    shackle = Unite(shackle, Capsule({cx - 2.9f + shift, cy - 2 - lift},
                                     {cx - 2.9f + shift, cy - 1 + (closed ? 0 : -1)}, 0.7f));
    shackle = Unite(shackle, Capsule({cx + 2.9f + shift, cy - 2 - lift}, {cx + 2.9f + shift, cy - 1}, 0.7f));
    c.Fill(shackle, box, paint);
}

void DrawChevron(Canvas& c, float cx, float cy, float size, bool up, const Paint& paint) {
    float d = up ? -size / 2 : size / 2;
    Box box = Around(cx, cy, size + 2);
    c.Fill(Capsule({cx - size * 0.6f, cy - d / 2}, {cx, cy + d / 2}, 1.0f), box, paint);
    c.Fill(Capsule({cx + size * 0.6f, cy - d / 2}, {cx, cy + d / 2}, 1.0f), box, paint);
}

void DrawCross(Canvas& c, float cx, float cy, float size, const Paint& paint) {
    float h = size / 2;
    Box box = Around(cx, cy, size);
    c.Fill(Capsule({cx - h, cy - h}, {cx + h, cy + h}, 0.8f), box, paint);
    c.Fill(Capsule({cx - h, cy + h}, {cx + h, cy - h}, 0.8f), box, paint);
}

void DrawBolt(Canvas& c, float cx, float cy, float size, const Paint& paint, float opacity) {
    float s = size / 2;
    Box box = Around(cx, cy, s + 2);
    c.Fill(ConvexPolygon(
               {{cx + s * 0.25f, cy - s}, {cx + s * 0.1f, cy + s * 0.1f}, {cx - s * 0.55f, cy + s * 0.1f}}),
           box, paint, opacity);
    c.Fill(ConvexPolygon(
               {{cx + s * 0.55f, cy - s * 0.1f}, {cx - s * 0.25f, cy + s}, {cx - s * 0.1f, cy - s * 0.1f}}),
           box, paint, opacity);
}

void DrawFanGlyph(Canvas& c, float cx, float cy, float radius, const Paint& paint, float opacity) {
    Box box = Around(cx, cy, radius + 1);
    c.Fill(Ring(cx, cy, radius - std::max(1.3f, radius * 0.1f), radius), box, paint, opacity);
    c.Fill(Circle(cx, cy, radius * 0.18f), box, paint, opacity);
    // Each blade is a crescent: a disc with a neighbouring disc cut out of its leading side.
    for (int i = 0; i < 3; ++i) {
        float a = static_cast<float>(i) * 2 * std::numbers::pi_v<float> / 3;
        float b = a + 0.75f;
        Sdf blade = Subtract(
            Circle(cx + std::cos(a) * radius * 0.42f, cy + std::sin(a) * radius * 0.42f, radius * 0.36f),
            Circle(cx + std::cos(b) * radius * 0.62f, cy + std::sin(b) * radius * 0.62f, radius * 0.4f));
        c.Fill(Intersect(blade, Circle(cx, cy, radius * 0.78f)), box, paint, opacity);
    }
}

void DrawArrow(Canvas& c, float x0, float x1, float cy, float head, const Paint& paint) {
    Box box = BoxAround(std::fmin(x0, x1), cy - head, std::fabs(x1 - x0), 2 * head);
    float dir = x1 > x0 ? 1.0f : -1.0f;
    c.Fill(Capsule({x0, cy}, {x1 - dir * 1.0f, cy}, 0.75f), box, paint);
    c.Fill(ConvexPolygon(
               dir > 0 ? std::vector<Point>{{x1 - head, cy - head}, {x1 + 0.5f, cy}, {x1 - head, cy + head}}
                       : std::vector<Point>{{x1 + head, cy + head}, {x1 - 0.5f, cy}, {x1 + head, cy - head}}),
           box, paint);
}

void DrawTick(Canvas& c, float cx, float cy, float size, const Paint& paint) {
    float s = size / 2;
    Box box = Around(cx, cy, size);
    c.Fill(Capsule({cx - s, cy}, {cx - s * 0.25f, cy + s * 0.7f}, 1.0f), box, paint);
    c.Fill(Capsule({cx - s * 0.25f, cy + s * 0.7f}, {cx + s, cy - s * 0.7f}, 1.0f), box, paint);
}

}  // namespace skingen
