#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// The accessory's seven palette colours by code (0 red .. 6 white) as red, green, blue.
inline constexpr std::array<std::array<uint8_t, 3>, 7> kAccessoryPalette{{
    {255, 0, 0},      // red
    {255, 255, 0},    // yellow
    {0, 255, 0},      // green
    {0, 255, 255},    // cyan
    {0, 0, 255},      // blue
    {255, 0, 255},    // purple
    {255, 255, 255},  // white
}};
