#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/dds/dds_format.h"
#include "formats/bitmap.h"

// Decodes a width x height image of one index byte per pixel through palette
// (256 entries of red, green, blue, alpha: the layout of Direct3D's palette
// entry, whose last byte is alpha) into a 24-bit bitmap, or a 32-bit one when
// the format's output keeps alpha or the palette's alpha bytes are neither
// all 0 nor all 255. Empty when size is less than the image needs or the
// bitmap cannot be allocated.
Bitmap decodePalettedImage(const DdsFormat& format, const uint8_t* palette, uint32_t width,
                           uint32_t height, const uint8_t* indices, size_t size);
