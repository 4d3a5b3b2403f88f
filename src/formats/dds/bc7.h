#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/dds/pixel_types.h"

// Decodes one 16-byte BC7 block into 4 rows of 4 pixels; row r starts at
// pixels + r * rowStride (in pixels; negative for a bitmap kept bottom row
// first, 4 for a packed 16-pixel array). All eight modes are read; a block
// whose first byte is 0 (the reserved mode) decodes to transparent black.
void decodeBc7Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride = 4);
