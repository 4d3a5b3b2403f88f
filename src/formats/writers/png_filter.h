#pragma once

#include <cstddef>
#include <cstdint>

// PNG row filters (type 0 of the format's filter method 0).
enum class PngFilter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// Filters one row of size bytes into out (size + 1 bytes: the filter type,
// then the filtered bytes). previous is the row above in the same pass (all
// zeros for a pass's first row); step is the bytes of one pixel (1 below 8
// bits). With choose, the filter whose bytes have the least sum of absolute
// values (as signed bytes) is taken, the usual heuristic for deflate;
// without, the row is stored as it is (kNone).
void filterPngRow(const uint8_t* row, const uint8_t* previous, size_t size, size_t step,
                  bool choose, uint8_t* out);
