#include "formats/writers/half_range.h"

#include <cmath>

namespace {

constexpr float kLargestHalf = 65504.0f;

// Floats per pixel of a float image type; 0 for any other type.
unsigned floatsPerPixel(FIBITMAP* image) {
  switch (FreeImage_GetImageType(image)) {
    case FIT_FLOAT: return 1;
    case FIT_RGBF: return 3;
    case FIT_RGBAF: return 4;
    default: return 0;
  }
}

bool beyondHalf(float value) { return std::isfinite(value) && std::fabs(value) > kLargestHalf; }

// Calls visit(row, count) for the floats of each row.
template <typename Visit>
bool forEachRow(FIBITMAP* image, Visit visit) {
  const unsigned channels = image ? floatsPerPixel(image) : 0;
  if (channels == 0) return false;
  const unsigned count = FreeImage_GetWidth(image) * channels;
  for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
    if (visit(reinterpret_cast<float*>(FreeImage_GetScanLine(image, static_cast<int>(y))), count)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool needsHalfClamp(FIBITMAP* image) {
  return forEachRow(image, [](const float* row, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
      if (beyondHalf(row[i])) return true;
    }
    return false;
  });
}

Bitmap clampedForHalf(FIBITMAP* image) {
  Bitmap copy = adoptBitmap(FreeImage_Clone(image));
  if (!copy) return copy;
  forEachRow(copy.get(), [](float* row, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
      if (beyondHalf(row[i])) row[i] = std::copysign(kLargestHalf, row[i]);
    }
    return false;
  });
  return copy;
}
