#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/UiTypes.h"

// Pixels of a bitmap, rows from the top, each a Color (0x00BBGGRR).
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;
    Color At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Bitmaps larger than this in either direction are refused rather than allocated.
constexpr int kMaxBmpSide = 16384;

// Size of a BMP file from its headers (core or info header). 0 on success, 1 when the bytes are not
// a bitmap this program can use.
int ReadBmpSize(std::span<const uint8_t> bytes, Size& size);
// Size of a PNG image from its header chunk, without decoding it. 0 on success, 1 when the bytes
// do not start as a PNG image or its size is empty or beyond kMaxBmpSide.
int ReadPngSize(std::span<const uint8_t> bytes, Size& size);
// Uncompressed 1, 4, 8, 24 and 32 bits per pixel; every offset is checked against the data.
int DecodeBmp(std::span<const uint8_t> bytes, PixelImage& image);
// Reads a whole file of at most `limit` bytes. 0 on success.
int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit = 64u << 20);
