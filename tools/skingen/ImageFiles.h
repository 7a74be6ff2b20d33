#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

namespace skingen {

// Pixels of a bitmap that are transparent in the canvas become this colour, which the program's shaped
// windows, dials and thumbs leave out.
inline constexpr uint8_t kKeyRed = 77, kKeyGreen = 0, kKeyBlue = 85;

// 24-bit bottom-up BMP with rows padded to four bytes.
std::vector<uint8_t> EncodeBmp(const Canvas& canvas);
// ICO holding one 32-bit image per canvas, each with its AND mask.
std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes);

// Header checks used by --check; on failure they return false and say why in `problem`.
bool CheckBmp(const std::vector<uint8_t>& bytes, int width, int height, std::string& problem);
bool CheckIco(const std::vector<uint8_t>& bytes, int width, int height, std::string& problem);

}  // namespace skingen
