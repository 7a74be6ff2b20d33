#include "Skin.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace skingen {

void Skin::AddBitmap(int number, std::string role, Canvas image) {
    for (const BitmapItem& item : bitmaps_) {
        if (item.number == number) {
            std::fprintf(stderr, "skingen: bitmap %d drawn twice\n", number);
            std::abort();
        }
    }
    bitmaps_.push_back(BitmapItem{number, std::move(role), std::move(image)});
}

void Skin::AddIcon(std::string name, Canvas image) {
    icons_.push_back(IconItem{std::move(name), std::move(image)});
}

const Canvas& Skin::Bitmap(int number) const {
    for (const BitmapItem& item : bitmaps_) {
        if (item.number == number) return item.image;
    }
    std::fprintf(stderr, "skingen: bitmap %d used before it was drawn\n", number);
    std::abort();
}

}  // namespace skingen
