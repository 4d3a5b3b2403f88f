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

// Linear light in 16 bits (0..65535) for 8-bit codes and back: the light
// of code k rounded to 16 bits, and the 8-bit code of every 16-bit value
// (SrgbTables::encode of v / 65535). Resampling an 8-bit sRGB image goes
// through these: 16 bits hold a step of the darkest codes (about 20 units)
// and resample as fast as 8-bit colour.
struct SrgbWordTables {
  std::array<uint16_t, 256> decoded{};
  std::array<uint8_t, 65536> encoded{};

  SrgbWordTables();
};

const SrgbWordTables& srgbWordTables();

// round(65535 x srgbEncode(v)), v clamped to 0..1 (NaN gives 0), exact as
// SrgbTables::encode is, by a table made on first use.
uint16_t srgbEncode16(float linear);
