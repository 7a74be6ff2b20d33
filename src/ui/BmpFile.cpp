#include "ui/BmpFile.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

uint32_t U16(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8);
}

uint32_t U32(std::span<const uint8_t> b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

struct BmpHeader {
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored top-down
    uint32_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t paletteCount = 0;
    size_t paletteEntrySize = 4;
};

int ParseHeader(std::span<const uint8_t> b, BmpHeader& h) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return 1;
    h.dataOffset = U32(b, 10);
    h.headerSize = U32(b, 14);
    if (h.headerSize == 12) {
        h.width = U16(b, 18);
        h.height = U16(b, 20);
        h.bitsPerPixel = U16(b, 24);
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 40 && b.size() >= 14 + size_t(40)) {
        h.width = int32_t(U32(b, 18));
        h.height = int32_t(U32(b, 22));
        h.bitsPerPixel = U16(b, 28);
        h.compression = U32(b, 30);
        h.paletteCount = U32(b, 46);
    } else {
        return 1;
    }
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width <= 0 || rows <= 0 || h.width > kMaxBmpSide || rows > kMaxBmpSide) return 1;
    return 0;
}

}  // namespace

int ReadBmpSize(std::span<const uint8_t> bytes, Size& size) {
    BmpHeader h;
    if (ParseHeader(bytes, h) != 0) return 1;
    size = {int(h.width), int(h.height < 0 ? -h.height : h.height)};
    return 0;
}

int ReadPngSize(std::span<const uint8_t> b, Size& size) {
    // Signature, then the header chunk first: its length (13), its type, width and height, big-endian.
    static constexpr uint8_t kStart[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                         0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    if (b.size() < sizeof kStart + 8 || !std::equal(std::begin(kStart), std::end(kStart), b.begin()))
        return 1;
    const auto big = [&](size_t at) {
        return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
               uint32_t(b[at + 3]);
    };
    const uint32_t width = big(16);
    const uint32_t height = big(20);
    if (width == 0 || height == 0 || width > uint32_t(kMaxBmpSide) || height > uint32_t(kMaxBmpSide))
        return 1;
    size = {int(width), int(height)};
    return 0;
}

int DecodeBmp(std::span<const uint8_t> b, PixelImage& image) {
    BmpHeader h;
    if (ParseHeader(b, h) != 0 || h.compression != 0) return 1;
    const uint32_t bpp = h.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return 1;

    std::vector<Color> palette;
    if (bpp <= 8) {
        const uint64_t count = h.paletteCount == 0 ? (1u << bpp) : h.paletteCount;
        if (count > 256) return 1;
        const uint64_t start = 14 + uint64_t(h.headerSize);
        if (start + count * h.paletteEntrySize > b.size()) return 1;
        for (uint64_t i = 0; i < count; ++i) {
            const size_t at = size_t(start + i * h.paletteEntrySize);
            palette.push_back(Rgb(b[at + 2], b[at + 1], b[at]));
        }
    }

    const int width = int(h.width);
    const int height = int(h.height < 0 ? -h.height : h.height);
    const uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (uint64_t(h.dataOffset) + stride * uint64_t(height) > b.size()) return 1;

    PixelImage decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const int sourceRow = h.height < 0 ? y : height - 1 - y;
        const size_t row = size_t(h.dataOffset + stride * uint64_t(sourceRow));
        for (int x = 0; x < width; ++x) {
            Color c = 0;
            if (bpp >= 24) {
                const size_t at = row + size_t(x) * (bpp / 8);
                c = Rgb(b[at + 2], b[at + 1], b[at]);
            } else {
                const size_t bit = size_t(x) * bpp;
                const uint32_t byte = b[row + bit / 8];
                const uint32_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index >= palette.size()) return 1;
                c = palette[index];
            }
            decoded.pixels[size_t(y) * size_t(width) + size_t(x)] = c;
        }
    }
    image = std::move(decoded);
    return 0;
}

int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
    // A C file, not a stream: streams would bring the locale machinery into the program.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 1;
    std::vector<uint8_t> data;
    char chunk[4096];
    size_t got = 0;
    bool tooLarge = false;
    while (!tooLarge && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.insert(data.end(), chunk, chunk + got);
        tooLarge = data.size() > limit;
    }
    const bool failed = tooLarge || std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return 1;
    bytes = std::move(data);
    return 0;
}
