#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "pipeline/srgb_curve.h"

// sRGB codes of linear floats by table for the values half-float textures
// hold. A float from 2^-24 up to 2 whose mantissa fits in a half float's
// 10 bits (every half in that range, and such a value times a whole power
// of two) finds its code in one table read; any other float goes to
// SrgbTables::encode or srgbEncode16. The table holds what those give, so
// the codes equal theirs for every float, NaN and infinities included.
class SrgbFloatEncoder {
 public:
  SrgbFloatEncoder();

  uint8_t code8(float linear) const {
    const uint32_t at = indexOf(linear);
    return at < kEntries ? codes8_[at] : srgbTables().encode(linear);
  }
  uint16_t code16(float linear) const {
    const uint32_t at = indexOf(linear);
    return at < kEntries ? codes16_[at] : srgbEncode16(linear);
  }

 private:
  static constexpr uint32_t kLowest = 0x33800000u;  // 2^-24
  static constexpr int kDroppedBits = 13;           // float mantissa bits a half lacks
  static constexpr uint32_t kEntries = 25u << 10;   // 25 octaves, 2^-24 up to 2

  // The entry of the value, or kEntries and above when it has none.
  static uint32_t indexOf(float linear) {
    const uint32_t offset = std::bit_cast<uint32_t>(linear) - kLowest;
    if (offset & ((1u << kDroppedBits) - 1)) return kEntries;
    return offset >> kDroppedBits;
  }

  std::vector<uint8_t> codes8_;
  std::vector<uint16_t> codes16_;
};

const SrgbFloatEncoder& srgbFloatEncoder();
