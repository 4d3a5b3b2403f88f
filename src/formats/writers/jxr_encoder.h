#pragma once

#include <cstdint>
#include <string>

#include "formats/writers/output_bytes.h"

// The libjxr side of the JPEG XR writer. It is kept apart from every FreeImage
// header on purpose: FreeImage.h defines _WINDOWS_, which makes libjxr's
// headers declare a GUID with an 8-byte first field on 64-bit systems, so
// every pixel-format GUID would reach the library mangled.

enum class JxrPixelFormat {
  BlackWhite,   // 1 bit, 1 is white, rows padded to whole bytes
  Gray8,
  Rgb555,       // 16 bits, red in the high bits
  Rgb565,
  Rgb24,        // R, G, B bytes
  Bgra32,       // B, G, R, A bytes; the alpha plane is coded too
  Rgb48,        // R, G, B as 16-bit words
  RgbFloat128,  // R, G, B, unused as 32-bit floats
};

// Encodes losslessly into out, through a library stream of ours (the library
// never sees a file); pixels hold height rows of stride bytes, top row first.
// False when the library fails or memory ran out (out->outOfMemory()).
bool encodeJxr(JxrPixelFormat format, uint32_t width, uint32_t height, uint32_t stride,
               const uint8_t* pixels, OutputBytes* out);
