#pragma once

#include <array>
#include <cstdint>

// The sRGB transfer curve (IEC 61966-2-1, piecewise), values 0..1.

// Encoded value to linear light: v / 12.92 up to 0.04045, else ((v + 0.055) / 1.055)^2.4.
float srgbDecode(float encoded);

// Linear light to the encoded value: 12.92 v up to 0.0031308, else 1.055 v^(1/2.4) - 0.055.
float srgbEncode(float linear);

// Tables for 8-bit codes, made once per process. The steps fetch them once
// per image and use them per channel.
struct SrgbTables {
  static constexpr int kBins = 4096;
  std::array<float, 256> decoded{};  // srgbDecode(k / 255)
  // threshold[k]: the least float whose code is above k (the decoded
  // midpoint of codes k and k + 1). start[i]: the code of i / kBins, so a
  // value's code is found from its bin's start in a step or two.
  std::array<float, 255> threshold{};
  std::array<uint8_t, kBins> start{};

  SrgbTables();

  // round(255 x srgbEncode(v)) for v clamped to 0..1 (NaN gives 0): the
  // code the formula gives in double precision.
  uint8_t encode(float linear) const {
    if (!(linear > 0.0f)) return 0;
    if (linear >= 1.0f) return 255;
    int code = start[static_cast<int>(linear * kBins)];
    while (code < 255 && linear >= threshold[code]) ++code;
    return static_cast<uint8_t>(code);
  }
};

const SrgbTables& srgbTables();

// round(65535 x srgbEncode(v)), v clamped to 0..1 (NaN gives 0).
uint16_t srgbEncode16(float linear);
