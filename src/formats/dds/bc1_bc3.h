#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/dds/pixel_types.h"

// The colour blocks of BC1 (DXT1), BC2 (DXT3) and BC3 (DXT5) and their alpha
// blocks. Interpolated colours are the exact fractions of the widened 5:6:5
// endpoints, rounded to the nearest 8-bit step.

// Each decoder writes 4 rows of 4 pixels; row r starts at
// pixels + r * rowStride (in pixels; negative for a bitmap kept bottom row
// first). The default stride fills a packed 16-pixel array.

// Decodes one 8-byte BC1 block. When the first endpoint is not greater than
// the second, the block is in three-colour mode: index 3 is transparent black.
void decodeBc1Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride = 4);

// Decodes one 16-byte BC2 block: explicit 4-bit alpha, then a colour block
// that is always read in four-colour mode.
void decodeBc2Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride = 4);

// Decodes one 16-byte BC3 block: interpolated alpha, then a colour block that
// is always read in four-colour mode.
void decodeBc3Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride = 4);
