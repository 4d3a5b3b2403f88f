#pragma once

#include <cstdint>

// One decoded 8-bit pixel, channels in the order red, green, blue, alpha.
struct Rgba8 {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;
};

// Pixels of a decoded 4x4 block, row by row, top left first.
inline constexpr int kBlockPixels = 16;
