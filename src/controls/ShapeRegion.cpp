#include "controls/ShapeRegion.h"

std::vector<Rect> ComputeShapeRuns(const PixelImage& image, Color key) {
    std::vector<Rect> runs;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < size_t(image.width) * size_t(image.height)) {
        return runs;
    }
    for (int y = 0; y < image.height; ++y) {
        int x = 0;
        while (x < image.width) {
            while (x < image.width && image.At(x, y) == key) ++x;
            const int start = x;
            while (x < image.width && image.At(x, y) != key) ++x;
            if (x > start) runs.push_back({start, y, x - start, 1});
        }
    }
    return runs;
}
