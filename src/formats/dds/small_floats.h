#pragma once

#include <cstdint>

// Exact conversions of the small floating-point encodings found in DDS files
// to 32-bit floats: IEEE half floats, the unsigned 11- and 10-bit floats of
// R11G11B10, and the shared-exponent R9G9B9E5 values.

// A half float (1 sign, 5 exponent, 10 mantissa bits); infinities and NaNs
// stay what they are.
float halfToFloat(uint16_t half);

// An unsigned float with a 5-bit exponent and mantissaBits (6 or 5) mantissa
// bits in the low bits of value.
float unsignedSmallFloatToFloat(uint32_t value, int mantissaBits);

// One channel of R9G9B9E5: mantissa (9 bits) * 2^(exponent - 24).
float sharedExponentToFloat(uint32_t mantissa, uint32_t exponent);
