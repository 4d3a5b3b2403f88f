#pragma once

#include <cstdint>

// Reads the fields of one 128-bit compressed block, least significant bit
// first, the way the BC6H and BC7 layouts number their bits. Reading past bit
// 127 yields zero bits, so a malformed layout can never read outside the
// block.
class BlockBits {
 public:
  explicit BlockBits(const uint8_t* block) {
    for (int i = 0; i < 8; ++i) {
      low_ |= static_cast<uint64_t>(block[i]) << (8 * i);
      high_ |= static_cast<uint64_t>(block[8 + i]) << (8 * i);
    }
  }

  // The next count bits (0..32) as an unsigned number.
  uint32_t read(int count) {
    uint32_t value = peekAt(position_, count);
    position_ += count;
    return value;
  }

  void skip(int count) { position_ += count; }
  int position() const { return position_; }

 private:
  uint32_t peekAt(int position, int count) const {
    if (count == 0 || position >= 128) return 0;
    uint64_t window;
    if (position == 0) {
      window = low_;
    } else if (position < 64) {
      window = (low_ >> position) | (high_ << (64 - position));
    } else {
      window = high_ >> (position - 64);
    }
    return static_cast<uint32_t>(window & ((uint64_t{1} << count) - 1));
  }

  uint64_t low_ = 0;
  uint64_t high_ = 0;
  int position_ = 0;
};
