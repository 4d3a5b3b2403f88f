#pragma once

#include <cstdint>

#include "formats/dds/pixel_types.h"

// Single- and two-channel interpolated blocks: BC4 (ATI1) and BC5 (ATI2),
// unsigned and signed. Interpolated values are the exact fractions of the
// endpoints, rounded to the nearest 8-bit step. A signed value v (-1..1) is
// shown as (v + 1) / 2, so -1 becomes 0, 0 becomes 128 and 1 becomes 255.

// Decodes one 8-byte BC4 block (also the alpha block of BC3) into 16 values.
void decodeBc4Block(const uint8_t* block, uint8_t* values);
void decodeBc4SignedBlock(const uint8_t* block, uint8_t* values);

// Decodes one 16-byte BC5 block: red from the first half, green from the
// second; blue is 0 and alpha 255.
void decodeBc5Block(const uint8_t* block, Rgba8* pixels);
void decodeBc5SignedBlock(const uint8_t* block, Rgba8* pixels);
