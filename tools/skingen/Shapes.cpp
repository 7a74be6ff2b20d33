#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skingen {

Sdf RoundRect(float x, float y, float w, float h, float radius) {
    float cx = x + w / 2, cy = y + h / 2, hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
        float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Sdf Circle(float cx, float cy, float radius) {
    return [=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; };
}

Sdf Ring(float cx, float cy, float inner, float outer) {
    return [=](float px, float py) {
        float d = std::hypot(px - cx, py - cy);
        return std::max(inner - d, d - outer);
    };
}

Sdf AnnularSector(float cx, float cy, float inner, float outer, float fromDeg, float toDeg) {
    float mid = (fromDeg + toDeg) / 2 * std::numbers::pi_v<float> / 180;
    float half = std::fabs(toDeg - fromDeg) / 2 * std::numbers::pi_v<float> / 180;
    return [=](float px, float py) {
        float dx = px - cx, dy = cy - py;
        float d = std::hypot(dx, dy);
        float radial = std::max(inner - d, d - outer);
        float delta = std::remainder(std::atan2(dy, dx) - mid, 2 * std::numbers::pi_v<float>);
        float angular = (std::fabs(delta) - half) * std::max(d, 1.0f);
        return std::max(radial, angular);
    };
}

Sdf Capsule(Point a, Point b, float halfWidth) {
    return [=](float px, float py) {
        float bx = b.x - a.x, by = b.y - a.y;
        float len2 = bx * bx + by * by;
        float t = len2 > 0 ? std::clamp(((px - a.x) * bx + (py - a.y) * by) / len2, 0.0f, 1.0f) : 0.0f;
        return std::hypot(px - a.x - bx * t, py - a.y - by * t) - halfWidth;
    };
}

Sdf ConvexPolygon(std::vector<Point> points) {
    float area = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        Point a = points[i], b = points[(i + 1) % points.size()];
        area += a.x * b.y - b.x * a.y;
    }
    // Either winding is accepted; the distance below assumes clockwise on screen.
    if (area < 0) std::reverse(points.begin(), points.end());
    return [points = std::move(points)](float px, float py) {
        float worst = -1e9f;
        for (size_t i = 0; i < points.size(); ++i) {
            Point a = points[i], b = points[(i + 1) % points.size()];
            float ex = b.x - a.x, ey = b.y - a.y;
            float len = std::hypot(ex, ey);
            if (len <= 0) continue;
            // Distance along the outward normal of a clockwise (screen) polygon's edge.
            float d = ((px - a.x) * ey - (py - a.y) * ex) / len;
            worst = std::max(worst, d);
        }
        return worst;
    };
}

std::vector<Point> ChamferedRect(float x, float y, float w, float h, float tl, float tr, float br, float bl) {
    return {{x + tl, y},         {x + w - tr, y}, {x + w, y + tr}, {x + w, y + h - br},
            {x + w - br, y + h}, {x + bl, y + h}, {x, y + h - bl}, {x, y + tl}};
}

Sdf Outline(Sdf shape, float width) {
    return [=](float px, float py) { return std::fabs(shape(px, py) + width / 2) - width / 2; };
}

Sdf Intersect(Sdf a, Sdf b) {
    return [=](float px, float py) { return std::max(a(px, py), b(px, py)); };
}

Sdf Unite(Sdf a, Sdf b) {
    return [=](float px, float py) { return std::min(a(px, py), b(px, py)); };
}

Sdf Subtract(Sdf a, Sdf b) {
    return [=](float px, float py) { return std::max(a(px, py), -b(px, py)); };
}

Sdf Offset(Sdf shape, float dx, float dy) {
    return [=](float px, float py) { return shape(px - dx, py - dy); };
}

}  // namespace skingen
