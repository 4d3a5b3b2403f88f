#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "formats/bitmap.h"

enum class SizeUnit : uint8_t { kPixels = 0, kPercent = 1 };
enum class ResizeScope : uint8_t { kAllImages = 0, kLargeImagesOnly = 1 };
enum class ResizeFilter : uint8_t {
  kBox = 0, kBilinear = 1, kBSpline = 2, kBicubic = 3, kCatmullRom = 4, kLanczos = 5,
};

struct ResizeStep {
  bool enabled = false;
  int32_t width = 0;  // in widthUnit
  SizeUnit widthUnit = SizeUnit::kPixels;
  int32_t height = 0;
  SizeUnit heightUnit = SizeUnit::kPixels;
  bool keepAspectRatio = false;
  ResizeScope scope = ResizeScope::kAllImages;
  ResizeFilter filter = ResizeFilter::kBicubic;
};

// Resizes the image to the step's target size when it is enabled.
// width and height are the image's current size. Targets that come out as 0
// or less, or equal to the current size, leave the image alone; LARGEIMAGES
// leaves images smaller than the target in both directions alone. A final
// size FreeImage cannot make (a side kept in proportion that rounds to 0)
// gives an empty Bitmap, so the file fails at the save.
Bitmap resizeImage(Bitmap image, int32_t width, int32_t height, const ResizeStep& step);

// One target side in pixels: pixels take value as it is; percent takes
// value percent of current, an exact half rounding to the even
// neighbour (50 % of 5 is 2, of 7 is 4); any other unit gives 0.
int32_t targetSize(int32_t value, SizeUnit unit, int32_t current);

// FreeImage filter of a resize filter; unknown values give bicubic.
FREE_IMAGE_FILTER resizeFilter(ResizeFilter filter);
