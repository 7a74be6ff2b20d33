#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Canvas.h"

namespace skingen {

struct BitmapItem {
    int number = 0;
    std::string role;
    Canvas image;
};

struct IconItem {
    std::string name;
    Canvas image;
};

// Everything one run draws, in the order it was drawn.
class Skin {
public:
    void AddBitmap(int number, std::string role, Canvas image);
    void AddIcon(std::string name, Canvas image);
    // Later pictures are cut from earlier backgrounds so that they sit on them without a seam. The
    // reference stays valid while more bitmaps are added.
    const Canvas& Bitmap(int number) const;

    const std::deque<BitmapItem>& Bitmaps() const { return bitmaps_; }
    const std::vector<IconItem>& Icons() const { return icons_; }

private:
    std::deque<BitmapItem> bitmaps_;
    std::vector<IconItem> icons_;
};

// Drawing steps, in the order Output runs them: later steps cut pieces out of earlier backgrounds.
void DrawMainBackground(Skin& skin);
void DrawSideWindowBackgrounds(Skin& skin);
void DrawPanelBackgrounds(Skin& skin);
void DrawDials(Skin& skin);
void DrawControlBitmaps(Skin& skin);
void DrawMainIcons(Skin& skin);
void DrawToolIcons(Skin& skin);
void DrawLightingIcons(Skin& skin);
// The program's own icon (resource 128) in the usual sizes.
std::vector<Canvas> DrawAppIcon();

}  // namespace skingen
