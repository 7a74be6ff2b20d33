#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace skingen {

Rgb Mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Lighten(Rgb c, float amount) {
    return Mix(c, Rgb{1, 1, 1}, amount);
}

Rgb Darken(Rgb c, float amount) {
    return Mix(c, Rgb{0, 0, 0}, amount);
}

Paint Solid(Rgb c) {
    return [c](float, float) { return c; };
}

Paint VerticalGradient(float y0, Rgb top, float y1, Rgb bottom) {
    return [=](float, float y) {
        float t = y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f) : 0.0f;
        return Mix(top, bottom, t);
    };
}

Paint HorizontalGradient(float x0, Rgb left, float x1, Rgb right) {
    return [=](float x, float) {
        float t = x1 > x0 ? std::clamp((x - x0) / (x1 - x0), 0.0f, 1.0f) : 0.0f;
        return Mix(left, right, t);
    };
}

Paint RadialGradient(float cx, float cy, float radius, Rgb inner, Rgb outer) {
    return [=](float x, float y) {
        float d = std::hypot(x - cx, y - cy);
        return Mix(inner, outer, std::clamp(d / radius, 0.0f, 1.0f));
    };
}

Box BoxAround(float x, float y, float w, float h, float margin) {
    return Box{static_cast<int>(std::floor(x - margin)), static_cast<int>(std::floor(y - margin)),
               static_cast<int>(std::ceil(x + w + margin)), static_cast<int>(std::ceil(y + h + margin))};
}

Canvas::Canvas(int width, int height, Rgb fill, float alpha)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, fill),
      alpha_(static_cast<size_t>(width) * height, alpha) {}

void Canvas::Set(int x, int y, Rgb c, float alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[Index(x, y)] = c;
    alpha_[Index(x, y)] = alpha;
}

void Canvas::Blend(int x, int y, Rgb c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0f) return;
    coverage = std::min(coverage, 1.0f);
    size_t i = Index(x, y);
    float da = alpha_[i];
    float outA = coverage + da * (1.0f - coverage);
    if (outA <= 0.0f) return;
    float keep = da * (1.0f - coverage) / outA;
    float add = coverage / outA;
    Rgb& d = pixels_[i];
    d = Rgb{c.r * add + d.r * keep, c.g * add + d.g * keep, c.b * add + d.b * keep};
    alpha_[i] = outA;
}

void Canvas::Fill(const Sdf& shape, Box bounds, const Paint& paint, float opacity) {
    int x0 = std::max(bounds.x0, 0), y0 = std::max(bounds.y0, 0);
    int x1 = std::min(bounds.x1, width_), y1 = std::min(bounds.y1, height_);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = std::clamp(0.5f - shape(px, py), 0.0f, 1.0f);
            if (coverage > 0.0f) Blend(x, y, paint(px, py), coverage * opacity);
        }
    }
}

void Canvas::FillRect(float x, float y, float w, float h, const Paint& paint, float opacity) {
    // Exact area coverage, so rectangles on whole pixels stay crisp.
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    int x1 = static_cast<int>(std::ceil(x + w)), y1 = static_cast<int>(std::ceil(y + h));
    for (int py = y0; py < y1; ++py) {
        float cy = std::min<float>(py + 1, y + h) - std::max<float>(py, y);
        for (int px = x0; px < x1; ++px) {
            float cx = std::min<float>(px + 1, x + w) - std::max<float>(px, x);
            if (cx > 0 && cy > 0) Blend(px, py, paint(px + 0.5f, py + 0.5f), cx * cy * opacity);
        }
    }
}

void Canvas::FillMask(const std::vector<float>& mask, int mw, int mh, int x, int y, const Paint& paint,
                      float opacity) {
    for (int my = 0; my < mh; ++my) {
        for (int mx = 0; mx < mw; ++mx) {
            float m = mask[static_cast<size_t>(my) * mw + mx];
            if (m > 0.0f) Blend(x + mx, y + my, paint(x + mx + 0.5f, y + my + 0.5f), m * opacity);
        }
    }
}

void Canvas::Draw(const Canvas& src, int x, int y, float opacity) {
    for (int sy = 0; sy < src.height_; ++sy) {
        for (int sx = 0; sx < src.width_; ++sx) {
            Blend(x + sx, y + sy, src.Color(sx, sy), src.Alpha(sx, sy) * opacity);
        }
    }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
    Canvas out(w, h, Rgb{}, 0.0f);
    for (int cy = 0; cy < h; ++cy) {
        for (int cx = 0; cx < w; ++cx) {
            int sx = x + cx, sy = y + cy;
            if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_)
                out.Set(cx, cy, Color(sx, sy), Alpha(sx, sy));
        }
    }
    return out;
}

void Canvas::KeepChangesFrom(const Canvas& base) {
    for (int y = 0; y < height_ && y < base.height_; ++y) {
        for (int x = 0; x < width_ && x < base.width_; ++x) {
            Rgb a = Color(x, y), b = base.Color(x, y);
            float diff = std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
            if (diff < 1.0f / 512.0f) alpha_[Index(x, y)] = 0.0f;
        }
    }
}

void Canvas::MakeAllTransparent() {
    std::fill(alpha_.begin(), alpha_.end(), 0.0f);
}

}  // namespace skingen
