#include "pipeline/srgb_curve.h"

#include <array>
#include <cmath>

namespace {

double decode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double encode(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

// The smallest float at or above value, so that for any float x,
// x >= roundedUp(value) exactly when x >= value.
float roundedUp(double value) {
  float f = static_cast<float>(value);
  if (static_cast<double>(f) < value) f = std::nextafter(f, 2.0f);
  return f;
}

// threshold[k]: the least linear value whose code is above k (the decoded
// midpoint between codes k and k + 1). start[i]: the code of i / kBins, so
// that a value's code is found from its bin's start in a step or two.
struct EncodeTables {
  static constexpr int kBins = 4096;
  std::array<float, 255> threshold{};
  std::array<uint8_t, kBins> start{};
  std::array<float, 256> decoded{};

  EncodeTables() {
    for (int k = 0; k < 255; ++k) threshold[k] = roundedUp(decode((k + 0.5) / 255.0));
    int code = 0;
    for (int i = 0; i < kBins; ++i) {
      const float low = static_cast<float>(i) / kBins;
      while (code < 255 && low >= threshold[code]) ++code;
      start[i] = static_cast<uint8_t>(code);
    }
    for (int k = 0; k < 256; ++k) decoded[k] = static_cast<float>(decode(k / 255.0));
  }
};

const EncodeTables& tables() {
  static const EncodeTables kTables;
  return kTables;
}

}  // namespace

float srgbDecode(float encoded) { return static_cast<float>(decode(encoded)); }

float srgbEncode(float linear) { return static_cast<float>(encode(linear)); }

float srgbDecode8(uint8_t encoded) { return tables().decoded[encoded]; }

uint8_t srgbEncode8(float linear) {
  if (!(linear > 0.0f)) return 0;
  if (linear >= 1.0f) return 255;
  const EncodeTables& t = tables();
  int code = t.start[static_cast<int>(linear * EncodeTables::kBins)];
  while (code < 255 && linear >= t.threshold[code]) ++code;
  return static_cast<uint8_t>(code);
}

uint16_t srgbEncode16(float linear) {
  if (!(linear > 0.0f)) return 0;
  if (linear >= 1.0f) return 65535;
  return static_cast<uint16_t>(std::lround(encode(linear) * 65535.0));
}
