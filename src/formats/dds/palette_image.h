#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/dds/dds_format.h"
#include "formats/bitmap.h"

// Decodes a width x height image of one index byte per pixel through palette
// (256 entries of blue, green, red, alpha) into a 24-bit bitmap, or a 32-bit
// one when the format's output keeps alpha. Empty when size is less than the
// image needs or the bitmap cannot be allocated.
Bitmap decodePalettedImage(const DdsFormat& format, const uint8_t* palette, uint32_t width,
                           uint32_t height, const uint8_t* indices, size_t size);
