#include "formats/dds/palette_image.h"

Bitmap decodePalettedImage(const DdsFormat& format, const uint8_t* palette, uint32_t width,
                           uint32_t height, const uint8_t* indices, size_t size) {
  if (width == 0 || height == 0 || uint64_t{width} * height > size) return nullptr;
  const bool alpha = format.layout.output == PixelOutput::Rgba8;
  const int bpp = alpha ? 32 : 24;
  Bitmap bitmap = adoptBitmap(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), bpp,
                                                 FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (!bitmap) return nullptr;
  const unsigned step = static_cast<unsigned>(bpp / 8);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(height - 1 - y));
    const uint8_t* source = indices + uint64_t{y} * width;
    for (uint32_t x = 0; x < width; ++x, row += step) {
      const uint8_t* entry = palette + 4 * source[x];
      row[FI_RGBA_BLUE] = entry[0];
      row[FI_RGBA_GREEN] = entry[1];
      row[FI_RGBA_RED] = entry[2];
      if (alpha) row[FI_RGBA_ALPHA] = entry[3];
    }
  }
  return bitmap;
}
