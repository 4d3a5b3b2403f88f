#include "formats/writers/png_filter.h"

#include <cstdlib>
#include <cstring>

namespace {

// The predictor of each filter from the bytes to the left, above and above
// left (all zero where the row or image has none). Written without
// branches, so the loops below vectorize.
template <PngFilter kFilter>
inline int predictor(int left, int up, int upLeft) {
  if constexpr (kFilter == PngFilter::kSub) return left;
  if constexpr (kFilter == PngFilter::kUp) return up;
  if constexpr (kFilter == PngFilter::kAverage) return (left + up) >> 1;
  if constexpr (kFilter == PngFilter::kPaeth) {
    const int toLeft = std::abs(up - upLeft);           // |estimate - left|
    const int toUp = std::abs(left - upLeft);           // |estimate - up|
    const int toUpLeft = std::abs(left + up - 2 * upLeft);  // |estimate - upLeft|
    const int upOrUpLeft = toUp <= toUpLeft ? up : upLeft;
    return toLeft <= toUp && toLeft <= toUpLeft ? left : upOrUpLeft;
  }
  return 0;
}

template <PngFilter kFilter>
inline uint8_t filtered(const uint8_t* row, const uint8_t* previous, size_t i, size_t step) {
  const int left = i >= step ? row[i - step] : 0;
  const int upLeft = i >= step ? previous[i - step] : 0;
  return static_cast<uint8_t>(row[i] - predictor<kFilter>(left, previous[i], upLeft));
}

// Sum of |filtered byte| (as a signed byte) over the row: the heuristic's
// measure. The first pixel, which has nothing to its left, is apart so the
// main loop has no test in it.
template <PngFilter kFilter>
uint64_t filteredSum(const uint8_t* row, const uint8_t* previous, size_t size, size_t step) {
  uint64_t sum = 0;
  const size_t head = step < size ? step : size;
  for (size_t i = 0; i < head; ++i) {
    sum += static_cast<uint32_t>(std::abs(static_cast<int8_t>(filtered<kFilter>(row, previous, i, step))));
  }
  for (size_t i = head; i < size; ++i) {
    const int left = row[i - step], up = previous[i], upLeft = previous[i - step];
    const auto value = static_cast<uint8_t>(row[i] - predictor<kFilter>(left, up, upLeft));
    sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(value)));
  }
  return sum;
}

template <PngFilter kFilter>
void applyFilter(const uint8_t* row, const uint8_t* previous, size_t size, size_t step, uint8_t* out) {
  const size_t head = step < size ? step : size;
  for (size_t i = 0; i < head; ++i) out[i] = filtered<kFilter>(row, previous, i, step);
  for (size_t i = head; i < size; ++i) {
    out[i] = static_cast<uint8_t>(row[i] - predictor<kFilter>(row[i - step], previous[i], previous[i - step]));
  }
}

}  // namespace

void filterPngRow(const uint8_t* row, const uint8_t* previous, size_t size, size_t step,
                  bool choose, uint8_t* out) {
  PngFilter chosen = PngFilter::kNone;
  if (choose) {
    uint64_t best = filteredSum<PngFilter::kNone>(row, previous, size, step);
    const auto consider = [&](PngFilter filter, uint64_t sum) {
      if (sum < best) {
        best = sum;
        chosen = filter;
      }
    };
    consider(PngFilter::kSub, filteredSum<PngFilter::kSub>(row, previous, size, step));
    consider(PngFilter::kUp, filteredSum<PngFilter::kUp>(row, previous, size, step));
    consider(PngFilter::kAverage, filteredSum<PngFilter::kAverage>(row, previous, size, step));
    consider(PngFilter::kPaeth, filteredSum<PngFilter::kPaeth>(row, previous, size, step));
  }
  out[0] = static_cast<uint8_t>(chosen);
  switch (chosen) {
    case PngFilter::kNone: std::memcpy(out + 1, row, size); return;
    case PngFilter::kSub: applyFilter<PngFilter::kSub>(row, previous, size, step, out + 1); return;
    case PngFilter::kUp: applyFilter<PngFilter::kUp>(row, previous, size, step, out + 1); return;
    case PngFilter::kAverage: applyFilter<PngFilter::kAverage>(row, previous, size, step, out + 1); return;
    case PngFilter::kPaeth: applyFilter<PngFilter::kPaeth>(row, previous, size, step, out + 1); return;
  }
}
