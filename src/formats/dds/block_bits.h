#pragma once

#include <cstdint>
#include <cstring>

// The fields of one 128-bit compressed block, numbered least significant bit
// first from the first byte, the way the BC6H and BC7 layouts number them.
// The block is held as two little-endian words, so a field of a fixed place
// is one or two shifts, never a loop over bits.
struct BlockBits {
  uint64_t low = 0;   // bits 0..63
  uint64_t high = 0;  // bits 64..127

  explicit BlockBits(const uint8_t* block) {
    std::memcpy(&low, block, 8);
    std::memcpy(&high, block + 8, 8);
  }

  // count bits (0..63) from position on; position + count is at most 128.
  uint64_t field(int position, int count) const {
    uint64_t window;
    if (position >= 64) {
      window = high >> (position - 64);
    } else if (position == 0) {
      window = low;
    } else {
      window = (low >> position) | (high << (64 - position));
    }
    return window & ((uint64_t{1} << count) - 1);
  }
};

// The index field of a block with one index per pixel of indexBits each,
// stored with the top bit of every anchor's index left out (it is 0). Puts
// that 0 back for the anchor at pixel; anchors must be given from the lowest
// pixel up. After every anchor, pixel i's index is bits i * indexBits on.
inline uint64_t restoreAnchorBit(uint64_t indices, int pixel, int indexBits) {
  const int position = pixel * indexBits + indexBits - 1;
  const uint64_t below = indices & ((uint64_t{1} << position) - 1);
  return below | ((indices >> position) << (position + 1));
}
