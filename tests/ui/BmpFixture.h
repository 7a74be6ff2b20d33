#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/BmpFile.h"

// Builds a 24-bit bottom-up BMP file from top-down pixels, as the skin generator writes them.
inline std::vector<uint8_t> MakeBmp24(const PixelImage& image) {
    const uint32_t stride = ((uint32_t(image.width) * 24 + 31) / 32) * 4;
    const uint32_t dataSize = stride * uint32_t(image.height);
    std::vector<uint8_t> b(54 + dataSize, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        b[at] = uint8_t(v);
        b[at + 1] = uint8_t(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(image.width));
    put32(22, uint32_t(image.height));
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    for (int y = 0; y < image.height; ++y) {
        const size_t row = 54 + size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const Color c = image.At(x, y);
            b[row + size_t(x) * 3] = BlueOf(c);
            b[row + size_t(x) * 3 + 1] = GreenOf(c);
            b[row + size_t(x) * 3 + 2] = RedOf(c);
        }
    }
    return b;
}

inline PixelImage SolidImage(int width, int height, Color c) {
    return PixelImage{width, height, std::vector<Color>(size_t(width) * size_t(height), c)};
}

// A throw-away skin folder with bitmaps/<number>.bmp files.
class TempSkin {
public:
    TempSkin() {
        dir = std::filesystem::temp_directory_path() /
              ("coralvane-skin-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(dir / "bitmaps");
    }
    ~TempSkin() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    void Write(int number, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(dir / "bitmaps" / (std::to_string(number) + ".bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::string Path() const { return dir.string(); }

private:
    std::filesystem::path dir;
};
