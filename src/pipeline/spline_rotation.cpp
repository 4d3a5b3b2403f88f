#include "pipeline/spline_rotation.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace {

// The pole of the cubic B-spline prefilter.
const double kPole = std::sqrt(3.0) - 2.0;

// The index of a sample outside 0..count-1 under mirror boundaries (the
// edge sample not repeated), so the line repeats every 2 count - 2.
long mirrored(long index, long count) {
  if (count == 1) return 0;
  const long period = 2 * count - 2;
  index = std::labs(index) % period;
  return index < count ? index : period - index;
}

// One line of samples, stride apart, replaced by its interpolating cubic
// B-spline coefficients: a causal and an anticausal first-order recursion.
void toCoefficients(float* line, long count, std::ptrdiff_t stride, std::vector<double>& work) {
  if (count < 2) return;
  work.resize(static_cast<size_t>(count));
  const double z = kPole;
  const double gain = (1.0 - z) * (1.0 - 1.0 / z);
  for (long n = 0; n < count; ++n) work[n] = line[n * stride] * gain;
  // The causal start sums the mirrored line until the powers of the pole
  // no longer count.
  double start = 0.0;
  double power = 1.0;
  for (long k = 0; power > 1e-16; ++k, power *= -z) {
    start += (k % 2 ? -power : power) * work[mirrored(k, count)];
  }
  work[0] = start;
  for (long n = 1; n < count; ++n) work[n] += z * work[n - 1];
  work[count - 1] = z / (z * z - 1.0) * (z * work[count - 2] + work[count - 1]);
  for (long n = count - 2; n >= 0; --n) work[n] = z * (work[n + 1] - work[n]);
  for (long n = 0; n < count; ++n) line[n * stride] = static_cast<float>(work[n]);
}

// The four cubic B-spline weights and mirrored indices of a position.
struct Taps {
  long index[4];
  double weight[4];

  Taps(double at, long count) {
    const double first = std::floor(at) - 1.0;
    const double w = at - first - 1.0;
    weight[3] = w * w * w / 6.0;
    weight[0] = (1.0 - w) * (1.0 - w) * (1.0 - w) / 6.0;
    weight[1] = 2.0 / 3.0 - w * w + w * w * w / 2.0;
    weight[2] = 1.0 - weight[0] - weight[1] - weight[3];
    for (int k = 0; k < 4; ++k) index[k] = mirrored(static_cast<long>(first) + k, count);
  }
};

}  // namespace

Bitmap rotateBySpline(Bitmap image, double degrees) {
  const FREE_IMAGE_TYPE type = image ? FreeImage_GetImageType(image.get()) : FIT_UNKNOWN;
  if (type != FIT_RGBF && type != FIT_RGBAF) return Bitmap();
  const long width = static_cast<long>(FreeImage_GetWidth(image.get()));
  const long height = static_cast<long>(FreeImage_GetHeight(image.get()));
  const int channels = type == FIT_RGBAF ? 4 : 3;
  const std::ptrdiff_t pitch = FreeImage_GetPitch(image.get()) / sizeof(float);
  Bitmap out = adoptBitmap(FreeImage_AllocateT(type, static_cast<int>(width), static_cast<int>(height)));
  if (!out) return out;

  // The image becomes its coefficients in place, row by row, then column by
  // column (the mirror makes the bottom-up rows no matter).
  float* bits = reinterpret_cast<float*>(FreeImage_GetBits(image.get()));
  std::vector<double> work;
  for (int c = 0; c < channels; ++c) {
    for (long y = 0; y < height; ++y) toCoefficients(bits + y * pitch + c, width, channels, work);
    for (long x = 0; x < width; ++x) toCoefficients(bits + x * channels + c, height, pitch, work);
  }

  // Output pixel (x, y), counted from the top, samples the source at the
  // point the inverse turn about the centre brings it to.
  const double angle = degrees * std::numbers::pi / 180.0;
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  const double originX = width / 2.0;
  const double originY = height / 2.0;
  const double shiftX = originX - (cosine * originX - sine * originY);
  const double shiftY = originY - (sine * originX + cosine * originY);
  for (long y = 0; y < height; ++y) {
    float* target = reinterpret_cast<float*>(FreeImage_GetScanLine(out.get(), static_cast<int>(height - 1 - y)));
    for (long x = 0; x < width; ++x, target += channels) {
      const Taps across(cosine * x - sine * y + shiftX, width);
      const Taps down(sine * x + cosine * y + shiftY, height);
      for (int c = 0; c < channels; ++c) {
        double value = 0.0;
        for (int j = 0; j < 4; ++j) {
          const float* row = bits + (height - 1 - down.index[j]) * pitch + c;
          double sum = 0.0;
          for (int i = 0; i < 4; ++i) sum += across.weight[i] * row[across.index[i] * channels];
          value += down.weight[j] * sum;
        }
        target[c] = static_cast<float>(value);
      }
    }
  }
  return out;
}
