#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "ui/BmpFile.h"

// Skin bitmaps are files a user can replace, so any bytes must be refused or decoded within bounds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    Size header;
    int sizeResult = ReadBmpSize(bytes, header);
    PixelImage image;
    int decodeResult = DecodeBmp(bytes, image);
    if (decodeResult != 0) return 0;
    FuzzCheck(sizeResult == 0 && image.width == header.width && image.height == header.height,
              "a decoded picture has the size its header gives");
    FuzzCheck(
        image.width > 0 && image.height > 0 && image.width <= kMaxBmpSide && image.height <= kMaxBmpSide,
        "a decoded picture is within the program's limit");
    FuzzCheck(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
              "a decoded picture has a pixel for every place");
    return 0;
}
