#pragma once

#include <cstdint>

// The sRGB transfer curve (IEC 61966-2-1, piecewise), values 0..1.

// Encoded value to linear light: v / 12.92 up to 0.04045, else ((v + 0.055) / 1.055)^2.4.
float srgbDecode(float encoded);

// Linear light to the encoded value: 12.92 v up to 0.0031308, else 1.055 v^(1/2.4) - 0.055.
float srgbEncode(float linear);

// srgbDecode(k / 255) for k = 0..255, from a table.
float srgbDecode8(uint8_t encoded);

// round(255 x srgbEncode(v)) for v clamped to 0..1 (NaN gives 0), the same
// code the formula gives in double precision, found by table and compare.
uint8_t srgbEncode8(float linear);

// round(65535 x srgbEncode(v)), v clamped to 0..1 (NaN gives 0).
uint16_t srgbEncode16(float linear);
