#include "formats/writers/rgbe_range.h"

namespace {

// The largest float below 2^127: frexp gives it the exponent 127, stored as
// 127 + 128 = 255, and a mantissa of 255.
constexpr float kLargestRgbe = 0x1.fffffep+126f;

bool fits(float value) { return value >= 0.0f && value <= kLargestRgbe; }

float clampToRgbe(float value) {
  if (!(value > 0.0f)) return 0.0f;  // negative, zero and NaN
  return value < kLargestRgbe ? value : kLargestRgbe;
}

}  // namespace

bool needsRgbeClamp(FIBITMAP* image) {
  if (!image || FreeImage_GetImageType(image) != FIT_RGBF) return false;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  for (unsigned y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const FIRGBF*>(FreeImage_GetScanLine(image, static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) {
      if (!fits(row[x].red) || !fits(row[x].green) || !fits(row[x].blue)) return true;
    }
  }
  return false;
}

Bitmap clampedForRgbe(FIBITMAP* image) {
  Bitmap copy = adoptBitmap(FreeImage_Clone(image));
  if (!copy) return copy;
  const unsigned width = FreeImage_GetWidth(copy.get());
  const unsigned height = FreeImage_GetHeight(copy.get());
  for (unsigned y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(copy.get(), static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) {
      row[x] = FIRGBF{clampToRgbe(row[x].red), clampToRgbe(row[x].green), clampToRgbe(row[x].blue)};
    }
  }
  return copy;
}
