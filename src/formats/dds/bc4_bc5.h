#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/dds/pixel_types.h"

// Single- and two-channel interpolated blocks: BC4 (ATI1) and BC5 (ATI2),
// unsigned and signed. Interpolated values are the exact fractions of the
// endpoints, rounded to the nearest 8-bit step. A signed value v (-1..1) is
// shown as (v + 1) / 2, so -1 becomes 0, 0 becomes 128 and 1 becomes 255.

// The eight values an unsigned BC4 block's 3-bit indices select from.
void bc4Palette(const uint8_t* block, uint8_t* palette);

// The 3-bit index of each of the 16 pixels of a BC4 block, in the low bits
// of two words: pixels 0-7 in the first, 8-15 in the second.
inline void bc4Indices(const uint8_t* block, uint32_t* low, uint32_t* high) {
  *low = block[2] | (block[3] << 8) | (static_cast<uint32_t>(block[4]) << 16);
  *high = block[5] | (block[6] << 8) | (static_cast<uint32_t>(block[7]) << 16);
}

// Decodes one 8-byte BC4 block (also the alpha block of BC3) into 16 values.
void decodeBc4Block(const uint8_t* block, uint8_t* values);
void decodeBc4SignedBlock(const uint8_t* block, uint8_t* values);

// Decode a whole block straight into bitmap rows, rowStride bytes apart:
// BC4 as 8-bit grey, BC5 as 24-bit colour (red and green, blue 0), both in
// FreeImage's byte order.
void decodeBc4BlockToGrey(const uint8_t* block, bool isSigned, uint8_t* top, ptrdiff_t rowStride);
void decodeBc5BlockToRgb(const uint8_t* block, bool isSigned, uint8_t* top, ptrdiff_t rowStride);

// Decodes one 16-byte BC5 block: red from the first half, green from the
// second; blue is 0 and alpha 255.
void decodeBc5Block(const uint8_t* block, Rgba8* pixels);
void decodeBc5SignedBlock(const uint8_t* block, Rgba8* pixels);
