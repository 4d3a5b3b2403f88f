#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <cstring>

// One decoded 8-bit pixel. Its fields lie in memory in the order FreeImage
// keeps the bytes of a 32-bit pixel (blue, green, red, alpha on every
// little-endian build), so decoded rows are copied into a bitmap as they are.
struct Rgba8 {
  uint8_t b = 0;
  uint8_t g = 0;
  uint8_t r = 0;
  uint8_t a = 0;
};
static_assert(FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3,
              "Rgba8 follows FreeImage's byte order");
static_assert(sizeof(Rgba8) == 4);

constexpr Rgba8 makeRgba8(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Rgba8 pixel;
  pixel.r = r;
  pixel.g = g;
  pixel.b = b;
  pixel.a = a;
  return pixel;
}

// Stores a pixel given as the 32-bit word it is in memory (blue in the low
// byte); one store, where four byte stores or a staging array read back in
// wider pieces would cost more.
inline void storePixelWord(Rgba8* pixel, uint32_t word) {
  std::memcpy(static_cast<void*>(pixel), &word, 4);
}

// Pixels of a decoded 4x4 block, row by row, top left first.
inline constexpr int kBlockPixels = 16;
