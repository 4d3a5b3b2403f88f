#pragma once

#include <cstdint>

#include "formats/dds/pixel_types.h"

// Decodes one 16-byte BC6H block into 16 pixels of three half floats
// (red, green, blue), row by row. isSigned selects the signed variant. All 14
// modes are read; a block in a reserved mode decodes to zeros.
void decodeBc6hBlock(const uint8_t* block, bool isSigned, uint16_t (*halves)[3]);
