#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "formats/bitmap.h"
#include "pipeline/drawing/canvas.h"

// A bpp-bit (24 or 32) bitmap filled with one colour; alpha only for 32.
static inline Bitmap solidBitmap(int width, int height, int bpp, RgbaPixel color) {
  Bitmap bitmap = adoptBitmap(FreeImage_Allocate(width, height, bpp));
  const int bytes = bpp / 8;
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < width; ++x, row += bytes) {
      row[FI_RGBA_RED] = color.r;
      row[FI_RGBA_GREEN] = color.g;
      row[FI_RGBA_BLUE] = color.b;
      if (bytes == 4) row[FI_RGBA_ALPHA] = color.a;
    }
  }
  return bitmap;
}

// The pixel at (x, y) counted from the top-left; alpha 255 without alpha.
static inline RgbaPixel pixelAt(FIBITMAP* bitmap, int x, int y) {
  const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
  const int bytes = static_cast<int>(FreeImage_GetBPP(bitmap)) / 8;
  const BYTE* p = FreeImage_GetScanLine(bitmap, height - 1 - y) + x * bytes;
  return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE],
          static_cast<uint8_t>(bytes == 4 ? p[FI_RGBA_ALPHA] : 255)};
}

static inline bool sameRgb(RgbaPixel a, RgbaPixel b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Saves a result for a person to look at when PELLUCID_EYE_DIR names a folder.
static inline void saveForEye(FIBITMAP* bitmap, const std::string& name) {
  const char* folder = std::getenv("PELLUCID_EYE_DIR");
  if (!folder || !*folder) return;
  FreeImage_Save(FIF_PNG, bitmap, (std::string(folder) + "/" + name + ".png").c_str(), 0);
}

static inline std::string describe(RgbaPixel p) {
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," +
         std::to_string(p.a) + ")";
}
