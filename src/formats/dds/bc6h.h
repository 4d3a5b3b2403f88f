#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>

#include "formats/dds/pixel_types.h"

// Decodes one 16-byte BC6H block into 4 rows of 4 float pixels; row r starts
// at pixels + r * rowStride (in pixels; negative for a bitmap kept bottom row
// first, 4 for a packed 16-pixel array). The values are the block's half
// floats, widened exactly. isSigned selects the signed variant. All 14 modes
// are read; a block in a reserved mode decodes to zeros.
void decodeBc6hBlock(const uint8_t* block, bool isSigned, FIRGBF* pixels, ptrdiff_t rowStride = 4);
