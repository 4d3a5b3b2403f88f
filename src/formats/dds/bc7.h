#pragma once

#include <cstdint>

#include "formats/dds/pixel_types.h"

// Decodes one 16-byte BC7 block into 16 pixels, row by row. All eight modes
// are read; a block whose first byte is 0 (the reserved mode) decodes to
// transparent black.
void decodeBc7Block(const uint8_t* block, Rgba8* pixels);
