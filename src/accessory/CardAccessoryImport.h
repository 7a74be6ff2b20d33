#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "accessory/CardAccessoryFrames.h"

// A mode or colour in the controller's status that none of the page's codes stands for.
constexpr int kNotRecognised = -1;
// Bytes in the accessory-model controller's status block.
constexpr size_t kCardAccessoryStatusSize = 140;

// What the page takes from the controller's status block.
struct CardAccessoryImport {
    // Both settings words are zero: the controller holds no settings; the page restores defaults.
    bool holdsNoSettings = false;
    AccessorySet idle;
    AccessorySet turbo;
    bool frontLit = false;
    bool rearLit = false;
};

// Reads the status block (bytes past its end count as zero). Modes and colours that match no code
// come out as kNotRecognised.
CardAccessoryImport DecodeCardAccessoryStatus(std::span<const uint8_t> status);
// The palette code whose triple equals (r, g, b) exactly, else kNotRecognised.
int PaletteCodeOf(uint8_t r, uint8_t g, uint8_t b);
