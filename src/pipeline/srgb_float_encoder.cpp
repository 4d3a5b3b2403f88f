#include "pipeline/srgb_float_encoder.h"

SrgbFloatEncoder::SrgbFloatEncoder() : codes8_(kEntries), codes16_(kEntries) {
  const SrgbTables& tables = srgbTables();
  for (uint32_t at = 0; at < kEntries; ++at) {
    const float value = std::bit_cast<float>(kLowest + (at << kDroppedBits));
    codes8_[at] = tables.encode(value);
    codes16_[at] = srgbEncode16(value);
  }
}

const SrgbFloatEncoder& srgbFloatEncoder() {
  static const SrgbFloatEncoder kEncoder;
  return kEncoder;
}
