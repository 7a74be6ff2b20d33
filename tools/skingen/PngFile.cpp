#include "PngFile.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace skingen {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// Rows from the top as RGB bytes; false unless a 24-bit uncompressed BMP of a sane size.
bool BmpRows(const std::vector<uint8_t>& bmp, int& width, int& height, std::vector<uint8_t>& rgb) {
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M') return false;
    const uint32_t offset = Le32(bmp, 10);
    width = static_cast<int32_t>(Le32(bmp, 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(bmp, 22));
    const unsigned bits = bmp[28] | bmp[29] << 8;
    if (bits != 24 || Le32(bmp, 30) != 0 || width <= 0 || width > 16384 || rawHeight == 0 ||
        std::abs(rawHeight) > 16384)
        return false;
    height = std::abs(rawHeight);
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    if (offset + rowBytes * height > bmp.size()) return false;
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int stored = rawHeight > 0 ? height - 1 - y : y;
        const uint8_t* in = bmp.data() + offset + rowBytes * stored;
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out[x * 3] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3];
        }
    }
    return true;
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Predictor of byte i of a row from its left (a), upper (b) and upper-left (c) neighbours.
uint8_t Predict(int filter, int a, int b, int c) {
    switch (filter) {
        case 1: return static_cast<uint8_t>(a);
        case 2: return static_cast<uint8_t>(b);
        case 3: return static_cast<uint8_t>((a + b) / 2);
        case 4: return static_cast<uint8_t>(Paeth(a, b, c));
        default: return 0;
    }
}

}  // namespace

std::vector<uint8_t> PngFromBmp(const std::vector<uint8_t>& bmp) {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!BmpRows(bmp, width, height, rgb)) return {};
    // Each row takes the filter whose output has the smallest sum of magnitudes (the usual heuristic).
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((stride + 1) * height);
    std::vector<uint8_t> best, trial(stride);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgb.data() + y * stride;
        const uint8_t* up = y > 0 ? row - stride : nullptr;
        long bestScore = -1;
        int bestFilter = 0;
        for (int filter = 0; filter <= 4; ++filter) {
            long score = 0;
            for (size_t i = 0; i < stride; ++i) {
                const int a = i >= 3 ? row[i - 3] : 0, b = up ? up[i] : 0, c = up && i >= 3 ? up[i - 3] : 0;
                trial[i] = static_cast<uint8_t>(row[i] - Predict(filter, a, b, c));
                score += trial[i] < 128 ? trial[i] : 256 - trial[i];
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                bestFilter = filter;
                best = trial;
            }
        }
        raw.push_back(static_cast<uint8_t>(bestFilter));
        raw.insert(raw.end(), best.begin(), best.end());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
    packed.resize(packedSize);

    std::vector<uint8_t> png(kSignature, kSignature + 8), header;
    PutBe32(header, static_cast<uint32_t>(width));
    PutBe32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, deflate, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

bool PngMatchesBmp(const std::vector<uint8_t>& png, const std::vector<uint8_t>& bmp, std::string& problem) {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!BmpRows(bmp, width, height, rgb)) return problem = "its BMP is not 24-bit", false;
    if (png.size() < 33 || std::memcmp(png.data(), kSignature, 8) != 0) return problem = "not a PNG", false;
    std::vector<uint8_t> packed;
    size_t at = 8;
    bool sawHeader = false;
    while (at + 12 <= png.size()) {
        const uint32_t length = Be32(png, at);
        if (at + 12 + length > png.size()) return problem = "chunk past the end", false;
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        const uint8_t* data = png.data() + at + 8;
        if (Be32(png, at + 8 + length) != crc32(0, png.data() + at + 4, length + 4)) return problem = "bad CRC", false;
        if (type == "IHDR") {
            const std::vector<uint8_t> h(data, data + length);
            if (length != 13 || Be32(h, 0) != static_cast<uint32_t>(width) ||
                Be32(h, 4) != static_cast<uint32_t>(height) || h[8] != 8 || h[9] != 2 || h[12] != 0)
                return problem = "header differs from the BMP", false;
            sawHeader = true;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    if (!sawHeader) return problem = "no header", false;
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw((stride + 1) * height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        rawSize != raw.size())
        return problem = "image data does not inflate to the image's size", false;
    std::vector<uint8_t> pixels(stride * height);
    for (int y = 0; y < height; ++y) {
        const int filter = raw[y * (stride + 1)];
        if (filter > 4) return problem = "unknown row filter", false;
        const uint8_t* in = raw.data() + y * (stride + 1) + 1;
        uint8_t* row = pixels.data() + y * stride;
        const uint8_t* up = y > 0 ? row - stride : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = up ? up[i] : 0, c = up && i >= 3 ? up[i - 3] : 0;
            row[i] = static_cast<uint8_t>(in[i] + Predict(filter, a, b, c));
        }
    }
    if (pixels != rgb) return problem = "pixels differ from the BMP", false;
    return true;
}

}  // namespace skingen
