#include "formats/dds/palette_image.h"

namespace {

constexpr size_t kEntries = 256;
constexpr size_t kEntryBytes = 4;  // red, green, blue, alpha
constexpr size_t kAlphaByte = 3;

// Whether the palette's fourth bytes carry alpha. Writers that predate alpha
// in palettes leave them all 0 (or all 255); such a palette is opaque, unless
// the pixel format's alpha flag says otherwise. Any other mix is alpha, as
// other readers take it.
bool paletteCarriesAlpha(const uint8_t* palette) {
  bool allZero = true;
  bool allOpaque = true;
  for (size_t i = 0; i < kEntries; ++i) {
    const uint8_t alpha = palette[i * kEntryBytes + kAlphaByte];
    allZero = allZero && alpha == 0;
    allOpaque = allOpaque && alpha == 255;
  }
  return !allZero && !allOpaque;
}

}  // namespace

Bitmap decodePalettedImage(const DdsFormat& format, const uint8_t* palette, uint32_t width,
                           uint32_t height, const uint8_t* indices, size_t size) {
  if (width == 0 || height == 0 || uint64_t{width} * height > size) return nullptr;
  const bool alpha = format.layout.output == PixelOutput::Rgba8 || paletteCarriesAlpha(palette);
  const int bpp = alpha ? 32 : 24;
  Bitmap bitmap = adoptBitmap(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), bpp,
                                                 FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (!bitmap) return nullptr;
  const unsigned step = static_cast<unsigned>(bpp / 8);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(height - 1 - y));
    const uint8_t* source = indices + uint64_t{y} * width;
    for (uint32_t x = 0; x < width; ++x, row += step) {
      const uint8_t* entry = palette + kEntryBytes * source[x];
      row[FI_RGBA_RED] = entry[0];
      row[FI_RGBA_GREEN] = entry[1];
      row[FI_RGBA_BLUE] = entry[2];
      if (alpha) row[FI_RGBA_ALPHA] = entry[kAlphaByte];
    }
  }
  return bitmap;
}
