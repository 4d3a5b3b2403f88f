#include "pipeline/resize.h"

#include <cmath>
#include <limits>

namespace {

// Rounds a size computed in floating point and clamps it into int32, so that
// absurd requests turn into a size FreeImage refuses instead of overflowing.
int32_t clampToInt32(double value) {
  if (!(value > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (!(value < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

double roundHalfToEven(double value) {
  if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
  return std::round(value);
}

struct Size {
  int32_t width;
  int32_t height;
};

// The longer side takes its target; the other follows from the image's ratio,
// held in single precision and rounded with halves away from zero.
Size keepProportions(int32_t width, int32_t height, int32_t newWidth, int32_t newHeight) {
  if (width >= height) {
    const float ratio = static_cast<float>(width) / static_cast<float>(height);
    const float derived = static_cast<float>(newWidth) / ratio;
    return {newWidth, clampToInt32(std::round(static_cast<double>(derived)))};
  }
  const float ratio = static_cast<float>(height) / static_cast<float>(width);
  const float derived = static_cast<float>(newHeight) / ratio;
  return {clampToInt32(std::round(static_cast<double>(derived))), newHeight};
}

}  // namespace

int32_t targetSize(int32_t value, SizeUnit unit, int32_t current) {
  switch (unit) {
    case SizeUnit::kPixels:
      return value;
    case SizeUnit::kPercent:
      return clampToInt32(roundHalfToEven(value / 100.0 * current));
    default:
      return 0;
  }
}

FREE_IMAGE_FILTER resizeFilter(ResizeFilter filter) {
  switch (filter) {
    case ResizeFilter::kBox: return FILTER_BOX;
    case ResizeFilter::kBilinear: return FILTER_BILINEAR;
    case ResizeFilter::kBSpline: return FILTER_BSPLINE;
    case ResizeFilter::kBicubic: return FILTER_BICUBIC;
    case ResizeFilter::kCatmullRom: return FILTER_CATMULLROM;
    case ResizeFilter::kLanczos: return FILTER_LANCZOS3;
    default: return FILTER_BICUBIC;
  }
}

Bitmap resizeImage(Bitmap image, int32_t width, int32_t height, const ResizeStep& step) {
  if (!image || !step.enabled) return image;
  const int32_t newWidth = targetSize(step.width, step.widthUnit, width);
  const int32_t newHeight = targetSize(step.height, step.heightUnit, height);
  if (newWidth <= 0 || newHeight <= 0) return image;
  if (newWidth == width && newHeight == height) return image;
  // LARGEIMAGES: an image that reaches the target in one direction is resized,
  // even when that enlarges the other direction.
  if (step.scope == ResizeScope::kLargeImagesOnly && width < newWidth && height < newHeight) {
    return image;
  }

  Size final{newWidth, newHeight};
  if (step.keepAspectRatio && width > 0 && height > 0) {
    final = keepProportions(width, height, newWidth, newHeight);
  }
  // A very wide image brought to a small width keeps a height of 0: no image
  // can be made, and the file fails rather than going on with a bad size.
  if (final.width <= 0 || final.height <= 0) return Bitmap();
  return adoptBitmap(FreeImage_Rescale(image.get(), final.width, final.height,
                                       resizeFilter(step.filter)));
}
