#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// How an image's pixels are laid out in a PNG file: the IHDR values, the
// colour table and the way one of the image's rows becomes a PNG row. The
// choices are those of FreeImage's PNG writer, so files keep their colour
// type, depth, palette and transparency:
// - 1, 4 and 8-bit images: grey when FreeImage calls the palette a grey ramp
//   (a reversed ramp is written inverted), else a palette (all 2^depth
//   entries) with a tRNS chunk when the image has a transparency table;
// - 24 bits: RGB; 32 bits: RGBA, or RGB when every alpha value is opaque;
// - 16 bits per sample (FreeImage's UINT16, RGB16 and RGBA16): grey, RGB
//   and RGBA, most significant byte first.
struct PngLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bitDepth = 8;     // bits per sample
  uint8_t colorType = 0;    // 0 grey, 2 RGB, 3 palette, 6 RGBA
  size_t rowBytes = 0;      // bytes of one full row, without its filter byte
  size_t pixelBytes = 1;    // bytes of one pixel, 1 below 8 bits (the filters' step)
  uint32_t bitsPerPixel = 8;
  std::string palette;      // PLTE contents (palette colour type only)
  std::string transparency; // tRNS contents, empty for none
  uint32_t dotsPerMeterX = 0;  // pHYs, written when both are above 0
  uint32_t dotsPerMeterY = 0;

  // How an image row becomes a PNG row.
  enum class Rows {
    kCopy,         // as stored (1 to 8-bit samples)
    kInvert,       // every bit inverted (a reversed grey ramp)
    kBgrToRgb,     // 24-bit bitmap
    kBgraToRgba,   // 32-bit bitmap with alpha
    kBgraToRgb,    // 32-bit bitmap whose alpha is opaque throughout
    kWordsToBigEndian,  // 16-bit samples
  } rows = Rows::kCopy;
};

// The PNG layout of image, or false for a kind of image this writer leaves
// to FreeImage (float images, 16-bit bitmaps, CMYK, ...).
bool pngLayoutOf(FIBITMAP* image, PngLayout* layout);

// Turns one of an image's rows (a scanline, in) into PNG row bytes: the
// layout.rowBytes bytes at out, memory apart from in (32-bit rows without
// alpha shrink to 24 bits).
void convertPngRow(const uint8_t* in, uint8_t* out, const PngLayout& layout);

// Row y (0 is the top row) of an image, in the order of a PNG file.
inline const uint8_t* pngRowOf(FIBITMAP* image, const PngLayout& layout, uint32_t y) {
  return FreeImage_GetScanLine(image, static_cast<int>(layout.height - 1 - y));
}
