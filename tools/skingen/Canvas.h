#pragma once

#include <functional>
#include <vector>

namespace skingen {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

constexpr Rgb MakeRgb(int r, int g, int b) {
    return Rgb{static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
               static_cast<float>(b) / 255.0f};
}

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Lighten(Rgb c, float amount);
Rgb Darken(Rgb c, float amount);

// A paint gives the colour at a point; shapes give a signed distance (negative inside), so every
// edge is anti-aliased the same way.
using Paint = std::function<Rgb(float x, float y)>;
using Sdf = std::function<float(float x, float y)>;

Paint Solid(Rgb c);
Paint VerticalGradient(float y0, Rgb top, float y1, Rgb bottom);
Paint HorizontalGradient(float x0, Rgb left, float x1, Rgb right);
Paint RadialGradient(float cx, float cy, float radius, Rgb inner, Rgb outer);

struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1 and y1 exclusive
};

Box BoxAround(float x, float y, float w, float h, float margin = 2);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgb fill = {}, float alpha = 1.0f);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Color(int x, int y) const { return pixels_[Index(x, y)]; }
    float Alpha(int x, int y) const { return alpha_[Index(x, y)]; }

    void Set(int x, int y, Rgb c, float alpha = 1.0f);
    void Blend(int x, int y, Rgb c, float coverage);
    void Fill(const Sdf& shape, Box bounds, const Paint& paint, float opacity = 1.0f);
    void FillRect(float x, float y, float w, float h, const Paint& paint, float opacity = 1.0f);
    void FillMask(const std::vector<float>& mask, int mw, int mh, int x, int y, const Paint& paint,
                  float opacity = 1.0f);
    void Draw(const Canvas& src, int x, int y, float opacity = 1.0f);
    Canvas Crop(int x, int y, int w, int h) const;
    // Pixels equal to the same pixel of base become fully transparent, so a layer keeps only what it adds.
    void KeepChangesFrom(const Canvas& base);
    void MakeAllTransparent();

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + x; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
    std::vector<float> alpha_;
};

}  // namespace skingen
