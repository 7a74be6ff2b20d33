#pragma once
// The skin's bitmaps as compressed images for the program's resources: a 24-bit PNG holding exactly
// the pixels of a 24-bit bottom-up BMP, and the reverse for the check.
#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

// Empty when the BMP is not a 24-bit uncompressed one.
std::vector<uint8_t> PngFromBmp(const std::vector<uint8_t>& bmp);
// Whether the PNG holds the same pixels as the BMP; on failure says why in `problem`.
bool PngMatchesBmp(const std::vector<uint8_t>& png, const std::vector<uint8_t>& bmp, std::string& problem);

}  // namespace skingen
