#include "formats/dds/small_floats.h"

#include <cmath>
#include <cstring>
#include <limits>

float unsignedSmallFloatToFloat(uint32_t value, int mantissaBits) {
  const uint32_t mantissa = value & ((1u << mantissaBits) - 1);
  const uint32_t exponent = (value >> mantissaBits) & 31;
  const float scale = static_cast<float>(1u << mantissaBits);
  if (exponent == 31) {
    return mantissa == 0 ? std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::quiet_NaN();
  }
  if (exponent == 0) return std::ldexp(static_cast<float>(mantissa) / scale, -14);
  return std::ldexp(1.0f + static_cast<float>(mantissa) / scale, static_cast<int>(exponent) - 15);
}

float halfToFloat(uint16_t half) {
  const uint32_t sign = static_cast<uint32_t>(half & 0x8000u) << 16;
  const uint32_t exponent = (half >> 10) & 31;
  const uint32_t mantissa = half & 0x3FFu;
  uint32_t bits;
  if (exponent == 0) {
    // Subnormal or zero: mantissa * 2^-24 is exact in single precision.
    const float magnitude = static_cast<float>(mantissa) * 0x1p-24f;
    return sign ? -magnitude : magnitude;
  }
  if (exponent == 31) {
    bits = sign | 0x7F800000u | (mantissa << 13);
  } else {
    bits = sign | ((exponent - 15 + 127) << 23) | (mantissa << 13);
  }
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

float sharedExponentToFloat(uint32_t mantissa, uint32_t exponent) {
  return std::ldexp(static_cast<float>(mantissa), static_cast<int>(exponent) - 24);
}
