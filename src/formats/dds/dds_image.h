#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/bitmap.h"
#include "formats/dds/dds_format.h"

// Decodes a width x height image of a supported format from data into a new
// FreeImage bitmap (bottom row first, as FreeImage keeps them): 8-bit grey,
// 24- or 32-bit colour, FIT_RGB16/FIT_RGBA16 or FIT_RGBF/FIT_RGBAF. Blocks at
// the right and bottom edges are cropped to the image. Premultiplied formats
// come out with straight alpha. Empty when size is less than the image needs,
// when the bitmap would exceed kMaxDecodedBytes or cannot be allocated.
// rowPitch is the distance of uncompressed rows in bytes; 0 means packed rows.
Bitmap decodeDdsImage(const DdsFormat& format, uint32_t width, uint32_t height,
                      const uint8_t* data, size_t size, uint64_t rowPitch = 0);

// The empty bitmap decodeDdsImage would fill for a width x height image of
// format; empty when it would exceed kMaxDecodedBytes or cannot be allocated.
Bitmap allocateDdsBitmap(const DdsFormat& format, uint32_t width, uint32_t height);

// True when every stored row of format is, byte for byte, the bitmap's
// scanline with nothing left to do afterwards, so a reader may place the
// rows there itself.
bool ddsRowsAreScanlines(const DdsFormat& format);
