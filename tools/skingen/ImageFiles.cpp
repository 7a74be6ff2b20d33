#include "ImageFiles.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace skingen {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Get16(const std::vector<uint8_t>& in, size_t at) {
    return static_cast<uint32_t>(in[at]) | static_cast<uint32_t>(in[at + 1]) << 8;
}

uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
    return Get16(in, at) | Get16(in, at + 2) << 16;
}

uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

bool Fail(std::string& problem, const char* why) {
    problem = why;
    return false;
}

uint32_t BmpRowBytes(int width) {
    return (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
}
uint32_t MaskRowBytes(int width) {
    return ((static_cast<uint32_t>(width) + 31) / 32) * 4;
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Canvas& canvas) {
    int w = canvas.Width(), h = canvas.Height();
    uint32_t row = BmpRowBytes(w);
    uint32_t imageSize = row * static_cast<uint32_t>(h);
    std::vector<uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    PutInfoHeader(out, w, h, 24, imageSize);
    for (int y = h - 1; y >= 0; --y) {
        size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            uint8_t r = kKeyRed, g = kKeyGreen, b = kKeyBlue;
            if (canvas.Alpha(x, y) >= 0.5f) {
                Rgb c = canvas.Color(x, y);
                r = ToByte(c.r);
                g = ToByte(c.g);
                b = ToByte(c.b);
                // A drawn pixel must never be mistaken for the transparency key.
                if (r == kKeyRed && g == kKeyGreen && b == kKeyBlue) b = kKeyBlue + 1;
            }
            out.push_back(b);
            out.push_back(g);
            out.push_back(r);
        }
        while (out.size() - start < row) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images) {
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const Canvas& img : images) {
        uint32_t size = 40 + static_cast<uint32_t>(img.Width() * img.Height() * 4) +
                        MaskRowBytes(img.Width()) * static_cast<uint32_t>(img.Height());
        out.push_back(static_cast<uint8_t>(img.Width() >= 256 ? 0 : img.Width()));
        out.push_back(static_cast<uint8_t>(img.Height() >= 256 ? 0 : img.Height()));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, size);
        Put32(out, offset);
        offset += size;
    }
    for (const Canvas& img : images) {
        int w = img.Width(), h = img.Height();
        PutInfoHeader(out, w, h * 2, 32, static_cast<uint32_t>(w * h * 4) + MaskRowBytes(w) * h);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                uint8_t a = ToByte(img.Alpha(x, y));
                Rgb c = a ? img.Color(x, y) : Rgb{};
                out.push_back(ToByte(c.b));
                out.push_back(ToByte(c.g));
                out.push_back(ToByte(c.r));
                out.push_back(a);
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(MaskRowBytes(w), 0);
            for (int x = 0; x < w; ++x) {
                if (ToByte(img.Alpha(x, y)) == 0)
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool CheckBmp(const std::vector<uint8_t>& b, int width, int height, std::string& problem) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Fail(problem, "not a BMP file");
    uint32_t expected = 54 + BmpRowBytes(width) * static_cast<uint32_t>(height);
    if (Get32(b, 2) != b.size() || b.size() != expected)
        return Fail(problem, "file size does not match the image");
    if (Get32(b, 10) != 54 || Get32(b, 14) != 40) return Fail(problem, "unexpected header layout");
    if (static_cast<int>(Get32(b, 18)) != width || static_cast<int>(Get32(b, 22)) != height)
        return Fail(problem, "size differs from the manifest");
    if (Get16(b, 26) != 1 || Get16(b, 28) != 24 || Get32(b, 30) != 0)
        return Fail(problem, "not an uncompressed 24-bit bottom-up image");
    return true;
}

bool CheckIco(const std::vector<uint8_t>& b, int width, int height, std::string& problem) {
    if (b.size() < 22 || Get16(b, 0) != 0 || Get16(b, 2) != 1 || Get16(b, 4) == 0)
        return Fail(problem, "not an ICO file");
    uint32_t count = Get16(b, 4);
    if (b.size() < 6 + 16 * static_cast<size_t>(count)) return Fail(problem, "directory cut short");
    bool sizeFound = false;
    for (uint32_t i = 0; i < count; ++i) {
        size_t e = 6 + 16 * static_cast<size_t>(i);
        int w = b[e] ? b[e] : 256, h = b[e + 1] ? b[e + 1] : 256;
        uint32_t bytes = Get32(b, e + 8), offset = Get32(b, e + 12);
        uint32_t expected =
            40 + static_cast<uint32_t>(w * h * 4) + MaskRowBytes(w) * static_cast<uint32_t>(h);
        if (Get16(b, e + 6) != 32 || bytes != expected)
            return Fail(problem, "image is not 32-bit with a mask");
        if (offset > b.size() || b.size() - offset < bytes)
            return Fail(problem, "image data outside the file");
        if (Get32(b, offset) != 40 || static_cast<int>(Get32(b, offset + 4)) != w ||
            static_cast<int>(Get32(b, offset + 8)) != 2 * h || Get16(b, offset + 14) != 32)
            return Fail(problem, "image header disagrees with the directory");
        if (w == width && h == height) sizeFound = true;
    }
    if (!sizeFound) return Fail(problem, "no image of the manifest's size");
    return true;
}

}  // namespace skingen
