#include "formats/writers/png_filter.h"

#include <cstdlib>
#include <cstring>

namespace {

uint8_t paethPredictor(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<uint8_t>(left);
  return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// |value| of a filtered byte read as a signed byte.
inline uint32_t magnitude(uint8_t value) { return value < 128 ? value : 256u - value; }

uint64_t sumOf(const uint8_t* bytes, size_t size) {
  uint64_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += magnitude(bytes[i]);
  return sum;
}

void subFilter(const uint8_t* row, size_t size, size_t step, uint8_t* out) {
  std::memcpy(out, row, step < size ? step : size);
  for (size_t i = step; i < size; ++i) out[i] = static_cast<uint8_t>(row[i] - row[i - step]);
}

void upFilter(const uint8_t* row, const uint8_t* previous, size_t size, uint8_t* out) {
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(row[i] - previous[i]);
}

void averageFilter(const uint8_t* row, const uint8_t* previous, size_t size, size_t step,
                   uint8_t* out) {
  for (size_t i = 0; i < size && i < step; ++i) {
    out[i] = static_cast<uint8_t>(row[i] - (previous[i] >> 1));
  }
  for (size_t i = step; i < size; ++i) {
    out[i] = static_cast<uint8_t>(row[i] - ((row[i - step] + previous[i]) >> 1));
  }
}

void paethFilter(const uint8_t* row, const uint8_t* previous, size_t size, size_t step,
                 uint8_t* out) {
  for (size_t i = 0; i < size && i < step; ++i) {
    out[i] = static_cast<uint8_t>(row[i] - previous[i]);
  }
  for (size_t i = step; i < size; ++i) {
    out[i] = static_cast<uint8_t>(
        row[i] - paethPredictor(row[i - step], previous[i], previous[i - step]));
  }
}

}  // namespace

void filterPngRow(const uint8_t* row, const uint8_t* previous, size_t size, size_t step,
                  bool choose, uint8_t* scratch, uint8_t* out) {
  if (!choose) {
    out[0] = static_cast<uint8_t>(PngFilter::kNone);
    std::memcpy(out + 1, row, size);
    return;
  }
  // The unfiltered row goes straight to out; the others to scratch, and the
  // best of them over it.
  std::memcpy(out + 1, row, size);
  uint8_t* candidates[4] = {scratch, scratch + size, scratch + 2 * size, scratch + 3 * size};
  subFilter(row, size, step, candidates[0]);
  upFilter(row, previous, size, candidates[1]);
  averageFilter(row, previous, size, step, candidates[2]);
  paethFilter(row, previous, size, step, candidates[3]);
  uint64_t best = sumOf(row, size);
  int chosen = 0;
  for (int f = 0; f < 4; ++f) {
    const uint64_t sum = sumOf(candidates[f], size);
    if (sum < best) {
      best = sum;
      chosen = f + 1;
    }
  }
  out[0] = static_cast<uint8_t>(chosen);
  if (chosen != 0) std::memcpy(out + 1, candidates[chosen - 1], size);
}
